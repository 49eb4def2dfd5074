// The Preferences window: two check boxes that exclude each other and choose the dialogs
// of the hot key's print. The View flags follow the boxes at once; the files are written
// when the window closes. One window at a time, made on first reference.
#pragma once

#include "common/singleinstance.h"

#include <QWidget>

class QCheckBox;
class QLabel;

class PreferencesWindow : public QWidget {
    Q_OBJECT
  public:
    // The one window: made (reading the files, hidden) when none exists.
    static PreferencesWindow &instance();
    static bool exists();
    // Opening the preferences: the window made visible and brought forward.
    static void showWindow();

    QCheckBox *PageSetUpCheckbox;
    QCheckBox *PrintDialogCheckbox;
    QLabel *StaticText1;
    QLabel *StaticText2;

    // Mouse down on a box, before the click toggles it; never takes the click over.
    bool PageSetUpCheckbox_MouseDown();
    bool PrintDialogCheckbox_MouseDown();
    // A box's value changed by the user.
    void PageSetUpCheckbox_Action();
    void PrintDialogCheckbox_Action();

  protected:
    void closeEvent(QCloseEvent *event) override;

  private:
    friend class SingleInstance<PreferencesWindow>;
    PreferencesWindow();
    void CreateControls();
    void Open();
    void Close();
    bool closing_ = false;
    bool placed_ = false;
    bool closed_ = false; // saved and on its way out: the next reference makes a new one
};

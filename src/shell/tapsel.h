// The palette window: hosts the print commands as push buttons, the hidden fields in which
// every document is composed and the user's clipboard is kept, and the commands' timers.
// It hides itself when it opens; the triggers push its buttons from code.
#pragma once

#include "shell/timers.h"

#include <QWidget>

class QAction;
class QLabel;
class QPushButton;
class QFrame;

namespace platform {
class GlobalHotKey;
class StyledTextField;
class WASTEfield;
} // namespace platform

class Tapsel : public QWidget {
    Q_OBJECT
  public:
    // The one palette, made on first reference.
    static Tapsel &instance();
    static bool exists();
    static void destroy();

    platform::StyledTextField *EditField1;
    platform::StyledTextField *EditField2;
    QLabel *PrintOneLabel;
    QLabel *PrintMultipleCopiesLabel;
    QLabel *PMGraphic;
    QFrame *Separator1;
    QPushButton *PMPrintOneCopy;
    QPushButton *PrintOneCopyWNote;
    QPushButton *PMPrintOneCopyNoStamp;
    QPushButton *PMPrintMultpleCopiesNoStamp;
    QPushButton *PMPrintMultipleCopies;
    QPushButton *PrintMultipleCopiesWNote;
    QPushButton *PreferencesPushButton;
    platform::GlobalHotKey *GlobalHotKey1;
    timers::PrintNoStampTimer1 *PrintNoStampTimer1;
    timers::PrintNoStampTimer2 *PrintNoStampTimer2;
    platform::WASTEfield *saveoldClipboardWASTEfield;
    platform::WASTEfield *SaveLastJobWASTEfield;
    timers::SetHotKeyTimer *SetHotKeyTimer;
    timers::PrintMultipleCopiesNoStampTimer1 *PrintMultipleCopiesNoStampTimer1;
    timers::PrintMultipleCopiesNoStampTimer2 *PrintMultipleCopiesNoStampTimer2;

    // The menu bar's items, looked up by name.
    QAction *FilePreferences() const;
    QAction *FileQuit() const;
    QAction *EditUndo() const;
    QAction *UntitledMenu1() const;
    QAction *EditCut() const;
    QAction *EditCopy() const;
    QAction *EditPaste() const;
    QAction *EditClear() const;
    QAction *AboutTapsel() const;

    // The timer-driven commands' shared steps.
    void SaveUserClipboard();
    void RestoreSavedClipboard();

    // One-copy "No Stamp": save the clipboard, copy, print at once, restore.
    void PMPrintOneCopyNoStamp_Action();
    void PrintNoStampTimer1_Action();
    void PrintNoStampTimer2_Action();
    // Multiple-copies "No Stamp": the same through the dialogs the flags choose.
    void PMPrintMultpleCopiesNoStamp_Action();
    void PrintMultipleCopiesNoStampTimer1_Action();
    void PrintMultipleCopiesNoStampTimer2_Action();
    void PrintThroughPrintDialog(platform::StyledTextField &field);
    // Stamped commands.
    void PMPrintOneCopy_Action();
    void PMPrintMultipleCopies_Action();
    // Note commands: open the note window.
    void PrintOneCopyWNote_Action();
    void PrintMultipleCopiesWNote_Action();
    void PreferencesPushButton_Action();
    void SetHotKeyTimer_Action() {}

  protected:
    void closeEvent(QCloseEvent *event) override;

  private:
    Tapsel();
    void Layout();
    void CreateControls();
    void Open();
    // Timer 1 of both timer-driven commands; arms the given timer 2.
    void RequestCopy(platform::Timer &next);
    // Timer 2 of both: the three warnings, in their order; true when one was given.
    bool WarnUnlessPrintable(const QString &noSelection, bool frontAgainOnNoText);
    // The copied text and runs into the document field, an empty block field.
    void TakeCopyAsDocument();
};

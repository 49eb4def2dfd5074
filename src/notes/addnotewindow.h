// The floating window in which the user writes the note that a note print puts after the
// selection. Its two "Add Note" buttons lie on top of each other; the palette button that
// opens the window shows the one of its own flow.
#pragma once

#include "common/singleinstance.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>
#include <functional>

// The note field: plain text only; a drop or paste adds only the text it carries itself.
class NoteField : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit NoteField(QWidget *parent);
    std::function<void()> onDrop;

protected:
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
    void dropEvent(QDropEvent *event) override;
};

// A push button whose handler runs when the mouse button goes down on it.
class MouseDownButton : public QPushButton {
    Q_OBJECT
public:
    MouseDownButton(const QString &caption, QWidget *parent);
    std::function<bool(int x, int y)> onMouseDown;

protected:
    void mousePressEvent(QMouseEvent *event) override;
};

class AddNoteWindow : public QWidget {
    Q_OBJECT
public:
    enum class Flow { OneCopy, Dialogs };

    static AddNoteWindow &instance() { return SingleInstance<AddNoteWindow>::instance(); }
    static bool exists() { return SingleInstance<AddNoteWindow>::exists(); }
    static AddNoteWindow *existing() { return SingleInstance<AddNoteWindow>::existing(); }

    // Top and left in points of the main screen, kept on the screen.
    void Place(int top, int left);

    NoteField *EditField3;
    MouseDownButton *AddNoteButton;
    QPushButton *CancelButton;
    MouseDownButton *AddNotePrMultButton;

    void EditField3_Open();
    void EditField3_SelChange();
    void EditField3_TextChange();
    void EditField3_DropObject() {}
    void AddNoteButton_Open();
    void AddNotePrMultButton_Open();
    void CancelButton_Action();
    bool AddNoteButton_MouseDown(int x, int y);
    bool AddNotePrMultButton_MouseDown(int x, int y);

private:
    friend class SingleInstance<AddNoteWindow>;
    AddNoteWindow();
    // The print with note (noteprint.cpp).
    void PrintWithNote(Flow flow);
    bool printing_ = false;
    bool bringingForward_ = false;
};

// The palette's two "W/Date+Note" buttons: remember the application in front, come forward
// and open the note window with the "Add Note" button of their own flow.
#include "common/module1.h"
#include "notes/addnotewindow.h"
#include "platform/services.h"
#include "shell/tapsel.h"

namespace {

void OpenNoteWindow(AddNoteWindow::Flow flow)
{
    platform::Processes &p = platform::processes();
    Module1::FrontMostApp = p.GetFrontProcessCreator();
    p.BringProcessFront();
    AddNoteWindow &window = AddNoteWindow::instance();
    window.show();
    window.raise();
    window.activateWindow();
    const QSize screen = platform::framework().mainScreenSize();
    window.Place(screen.height() - 700, screen.width() - 350);
    const bool oneCopy = flow == AddNoteWindow::Flow::OneCopy;
    window.AddNotePrMultButton->setVisible(!oneCopy);
    window.AddNoteButton->setVisible(oneCopy);
}

} // namespace

void Tapsel::PrintOneCopyWNote_Action() { OpenNoteWindow(AddNoteWindow::Flow::OneCopy); }

void Tapsel::PrintMultipleCopiesWNote_Action() { OpenNoteWindow(AddNoteWindow::Flow::Dialogs); }

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
    const bool fresh = !AddNoteWindow::exists();
    AddNoteWindow &window = AddNoteWindow::instance();
    const QSize screen = platform::framework().mainScreenSize();
    auto place = [&] { window.Place(screen.height() - 700, screen.width() - 350); };
    // Before its first showing the window manager places a window frame and all; after it,
    // only once it knows the frame. A fresh window is therefore placed before it shows.
    if (fresh)
        place();
    window.show();
    window.raise();
    window.activateWindow();
    if (!fresh)
        place();
    const bool oneCopy = flow == AddNoteWindow::Flow::OneCopy;
    window.AddNotePrMultButton->setVisible(!oneCopy);
    window.AddNoteButton->setVisible(oneCopy);
}

} // namespace

void Tapsel::PrintOneCopyWNote_Action() { OpenNoteWindow(AddNoteWindow::Flow::OneCopy); }

void Tapsel::PrintMultipleCopiesWNote_Action() { OpenNoteWindow(AddNoteWindow::Flow::Dialogs); }

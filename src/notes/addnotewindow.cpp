#include "notes/addnotewindow.h"
#include "common/windowsetup.h"

#include "platform/points.h"
#include "platform/services.h"

#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>

using platform::classicFont;
using platform::pt;
using platform::ptRect;

namespace {

// Only the text the data carries itself: Qt would otherwise turn a file list into text.
bool carriesText(const QMimeData *source)
{
    if (!source)
        return false;
    for (const QString &format : source->formats())
        if (format == QLatin1String("text/plain") ||
            format.startsWith(QLatin1String("text/plain;")))
            return true;
    return false;
}

// Files of the kinds declared at start-up, "text" and "text clipping".
bool isTextFileDrag(const QMimeData *source)
{
    if (!source || !source->hasUrls())
        return false;
    for (const QUrl &url : source->urls()) {
        const QString name = url.fileName().toLower();
        if (name.endsWith(QLatin1String(".txt")) || name.endsWith(QLatin1String(".textclipping")))
            return true;
    }
    return false;
}

} // namespace

NoteField::NoteField(QWidget *parent) : QPlainTextEdit(parent) {}

bool NoteField::canInsertFromMimeData(const QMimeData *source) const
{
    return (carriesText(source) && !source->text().isEmpty()) || isTextFileDrag(source);
}

void NoteField::insertFromMimeData(const QMimeData *source)
{
    // A text file's drag adds only the text it carries; its contents are not read.
    if (carriesText(source))
        QPlainTextEdit::insertFromMimeData(source);
}

void NoteField::dropEvent(QDropEvent *event)
{
    QPlainTextEdit::dropEvent(event);
    if (onDrop)
        onDrop();
}

MouseDownButton::MouseDownButton(const QString &caption, QWidget *parent)
    : QPushButton(caption, parent)
{
}

void MouseDownButton::mousePressEvent(QMouseEvent *event)
{
    // The handler never claims the press: the button's own press handling goes on.
    if (event->button() == Qt::LeftButton && onMouseDown) {
        const QPoint at = event->position().toPoint();
        onMouseDown(at.x(), at.y());
    }
    QPushButton::mousePressEvent(event);
}

AddNoteWindow::AddNoteWindow() : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("AddNoteWindow"));
    SetUpWindow(*this, QStringLiteral("Add a Note to Your Selection"), 300, 300,
                QColor(193, 193, 204));

    const QFont geneva = classicFont(QStringLiteral("Geneva"), 12);
    EditField3 = new NoteField(this);
    EditField3->setObjectName(QStringLiteral("EditField3"));
    EditField3->setGeometry(ptRect(-1, -1, 302, 263));
    EditField3->setFont(geneva);
    connect(EditField3, &QPlainTextEdit::cursorPositionChanged, this,
            &AddNoteWindow::EditField3_SelChange);
    connect(EditField3, &QPlainTextEdit::selectionChanged, this,
            &AddNoteWindow::EditField3_SelChange);
    connect(EditField3, &QPlainTextEdit::textChanged, this, &AddNoteWindow::EditField3_TextChange);
    EditField3->onDrop = [this] { EditField3_DropObject(); };
    EditField3_Open();

    auto button = [&](auto *b, const char *name, QRect r) {
        b->setObjectName(QLatin1String(name));
        b->setGeometry(r);
        b->setFont(geneva);
        return b;
    };
    AddNoteButton = button(new MouseDownButton(QStringLiteral("Add Note"), this), "AddNoteButton",
                           ptRect(202, 272, 76, 20));
    AddNoteButton->onMouseDown = [this](int x, int y) { return AddNoteButton_MouseDown(x, y); };
    AddNoteButton_Open();
    CancelButton = button(new QPushButton(QStringLiteral("Cancel"), this), "CancelButton",
                          ptRect(25, 272, 72, 20));
    connect(CancelButton, &QPushButton::clicked, this, &AddNoteWindow::CancelButton_Action);
    AddNotePrMultButton = button(new MouseDownButton(QStringLiteral("Add Note"), this),
                                 "AddNotePrMultButton", ptRect(202, 272, 76, 20));
    AddNotePrMultButton->onMouseDown = [this](int x, int y) {
        return AddNotePrMultButton_MouseDown(x, y);
    };
    AddNotePrMultButton_Open();
}

void AddNoteWindow::Place(int top, int left)
{
    const QSize screen = platform::framework().mainScreenSize();
    // Frame and all, the window stays on the screen, also on screens too small for the
    // usual place.
    const QSize outer = frameGeometry().size().expandedTo(size());
    const int x = qMax(0, qMin(pt(left), pt(screen.width()) - outer.width()));
    const int y = qMax(0, qMin(pt(top), pt(screen.height()) - outer.height()));
    move(x, y);
}

void AddNoteWindow::EditField3_Open()
{
    EditField3->setFocus();
    EditField3->setAcceptDrops(true);
}

void AddNoteWindow::EditField3_SelChange()
{
    // Bringing Tapsel forward changes no selection, but the guard makes sure it never
    // comes back here.
    if (bringingForward_)
        return;
    bringingForward_ = true;
    platform::processes().BringProcessFront();
    bringingForward_ = false;
}

void AddNoteWindow::EditField3_TextChange()
{
    const bool hasNote = !EditField3->document()->isEmpty();
    AddNoteButton->setEnabled(hasNote);
    AddNotePrMultButton->setEnabled(hasNote);
}

void AddNoteWindow::AddNoteButton_Open() { AddNoteButton->setEnabled(false); }

void AddNoteWindow::AddNotePrMultButton_Open() { AddNotePrMultButton->setEnabled(false); }

void AddNoteWindow::CancelButton_Action() { close(); }

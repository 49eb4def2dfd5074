#include "shell/tapsel.h"
#include "common/windowsetup.h"

#include "platform/globalhotkey.h"
#include "platform/points.h"
#include "platform/styledtextfield.h"
#include "platform/wastefield.h"
#include "shell/menu.h"
#include "shell/pictures.h"

#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

using platform::classicFont;
using platform::pt;
using platform::ptRect;

namespace {

QPointer<Tapsel> &thePalette()
{
    static QPointer<Tapsel> p;
    return p;
}

QAction *menuItem(const char *name) { return Menu::instance().item(QLatin1String(name)); }

QString withBreaks(QString text) { return text.replace(QChar('\r'), QChar('\n')); }

const QString kPrintOneHelp = QStringLiteral(
    "The three buttons under \"Print One Copy\" quickly print your selected text and eliminate "
    "the need  to navigate Page Setup and Print dialog boxes.\r\rUse the buttons under \"Print "
    "Multiple Copies\" if you wish to access the Page Setup or Print dialog boxes.\r\r");
const QString kPrintMultipleHelp = QStringLiteral(
    "Use the buttons under \"Print Multiple Copies\" if you wish to access the Page Setup or "
    "Print dialog boxes.\r\rOtherwise, use the three buttons under \"Print One Copy\" to quickly "
    "print your selected text and eliminate the need  to navigate dialog boxes.");

} // namespace

Tapsel &Tapsel::instance()
{
    if (!thePalette())
        thePalette() = new Tapsel();
    return *thePalette();
}

bool Tapsel::exists() { return !thePalette().isNull(); }

void Tapsel::destroy() { delete thePalette().data(); }

Tapsel::Tapsel() : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Tapsel"));
    Layout();
    CreateControls();
    Open();
}

void Tapsel::Layout()
{
    Menu::instance(); // the palette's menu bar is the application's one Menu
    SetUpWindow(*this, QStringLiteral("Tapsel"), 176, 58, QColor(158, 198, 255));
}

void Tapsel::CreateControls()
{
    auto place = [](QWidget *w, const char *name, QRect r) {
        w->setObjectName(QLatin1String(name));
        w->setGeometry(r);
    };
    auto label = [&](const char *name, QRect r, const QString &text, const QString &help) {
        auto *l = new QLabel(text, this);
        place(l, name, r);
        l->setFont(classicFont(QStringLiteral("Geneva"), 11));
        QPalette pal = l->palette();
        pal.setColor(QPalette::WindowText, QColor(0, 0, 255));
        l->setPalette(pal);
        l->setToolTip(withBreaks(help));
        return l;
    };
    auto button = [&](const char *name, QRect r, const QString &caption, int size,
                      const QString &help, void (Tapsel::*action)()) {
        auto *b = new QPushButton(caption, this);
        place(b, name, r);
        b->setFont(classicFont(QStringLiteral("Geneva"), size));
        b->setToolTip(withBreaks(help));
        connect(b, &QPushButton::clicked, this, action);
        return b;
    };
    auto timer = [&](auto *t, const char *name, void (Tapsel::*action)()) {
        t->setObjectName(QLatin1String(name));
        t->setMode(0);
        t->setPeriod(1000);
        connect(t, &platform::Timer::Action, this, action);
        return t;
    };
    auto waste = [&](const char *name, QRect r) {
        auto *w = new platform::WASTEfield(this);
        // Settings first, then name, position and size.
        w->MonoStyled = false;
        w->NoIntCutandPaste = true;
        w->ReadOnly = false;
        w->TabSize = 32;
        w->InvisiblesColor = QColor(200, 0, 0);
        w->BackColor = Qt::white;
        w->LineDirection = 1;
        w->setText(QString());
        w->setFont(classicFont(QStringLiteral("Lucida Grande"), 12));
        place(w, name, r);
        return w;
    };

    EditField1 = new platform::StyledTextField(classicFont(QStringLiteral("System"), 12), this);
    place(EditField1, "EditField1", ptRect(-100, 4, 80, 22));
    setFocus(); // EditField1's Open
    EditField2 = new platform::StyledTextField(classicFont(QStringLiteral("system"), 10), this);
    place(EditField2, "EditField2", ptRect(-100, 44, 80, 22));
    PrintOneLabel = label("PrintOneLabel", ptRect(34, 59, 108, 18),
                          QStringLiteral("Print One Copy:"), kPrintOneHelp);
    PrintMultipleCopiesLabel = label("PrintMultipleCopiesLabel", ptRect(29, 135, 120, 18),
                                     QStringLiteral("Print Multiple Copies:"), kPrintMultipleHelp);
    PMGraphic = new QLabel(this);
    PMGraphic->setPixmap(Pictures::TapselNewIcon2Larger()); // backdrop before position and size
    PMGraphic->setScaledContents(true);
    place(PMGraphic, "PMGraphic", ptRect(58, 4, 60, 49));
    Separator1 = new QFrame(this);
    Separator1->setFrameShape(QFrame::HLine);
    place(Separator1, "Separator1", ptRect(1, 212, 174, 4));
    PMPrintOneCopy =
        button("PMPrintOneCopy", ptRect(79, 81, 94, 20), QStringLiteral("W/Date Stamp"), 10,
               QStringLiteral("Prints one copy of selection with a time-date stamp."),
               &Tapsel::PMPrintOneCopy_Action);
    PrintOneCopyWNote = button(
        "PrintOneCopyWNote", ptRect(45, 109, 88, 20), QStringLiteral("W/Date+Note"), 10,
        QStringLiteral("Prints one copy of selection and allows you to add a note/comment.\r\r"
                       "Notes support drag-and-drop of text selections & clipping files.\r\r"
                       "When printing from a web page, you can copy & paste or drag & drop a web "
                       "page's URL to include it in the note."),
        &Tapsel::PrintOneCopyWNote_Action);
    PMPrintOneCopyNoStamp =
        button("PMPrintOneCopyNoStamp", ptRect(3, 81, 69, 20), QStringLiteral("No Stamp"), 10,
               QStringLiteral("Prints one copy of selection without a time-date stamp."),
               &Tapsel::PMPrintOneCopyNoStamp_Action);
    PMPrintMultpleCopiesNoStamp = button(
        "PMPrintMultpleCopiesNoStamp", ptRect(3, 157, 69, 20), QStringLiteral("No Stamp"), 10,
        QStringLiteral("Prints your selection without a time-date stamp and brings up the Page "
                       "Setup and Print dialog boxes."),
        &Tapsel::PMPrintMultpleCopiesNoStamp_Action);
    PMPrintMultipleCopies = button(
        "PMPrintMultipleCopies", ptRect(79, 157, 94, 20), QStringLiteral("W/Date Stamp"), 10,
        QStringLiteral("Prints your selection with a time-date stamp and brings up the Page Setup "
                       "and Print dialog boxes."),
        &Tapsel::PMPrintMultipleCopies_Action);
    PrintMultipleCopiesWNote = button(
        "PrintMultipleCopiesWNote", ptRect(45, 185, 88, 20), QStringLiteral("W/Date+Note"), 10,
        QStringLiteral("Brings up Page Setup & Print dialog boxes & allows you to add a "
                       "note/comment to selection.\r\rNotes support drag-and-drop of text "
                       "selections & clipping files.\r\rWhen printing from a web page, you can "
                       "copy & paste or drag & drop a web page's URL to the note."),
        &Tapsel::PrintMultipleCopiesWNote_Action);
    PreferencesPushButton =
        button("PreferencesPushButton", ptRect(45, 222, 88, 20), QStringLiteral("Preferences"), 11,
               QStringLiteral("Click once to access Lumvane's preference settings."),
               &Tapsel::PreferencesPushButton_Action);
    // A second hot-key control; the live hot key is the hot-key window's.
    GlobalHotKey1 = new platform::GlobalHotKey(this);
    GlobalHotKey1->setObjectName(QStringLiteral("GlobalHotKey1"));
    PrintNoStampTimer1 = timer(new timers::PrintNoStampTimer1(this), "PrintNoStampTimer1",
                               &Tapsel::PrintNoStampTimer1_Action);
    PrintNoStampTimer2 = timer(new timers::PrintNoStampTimer2(this), "PrintNoStampTimer2",
                               &Tapsel::PrintNoStampTimer2_Action);
    saveoldClipboardWASTEfield = waste("saveoldClipboardWASTEfield", ptRect(20, 100, 10, 10));
    SaveLastJobWASTEfield = waste("SaveLastJobWASTEfield", ptRect(20, 128, 10, 10));
    SetHotKeyTimer =
        timer(new timers::SetHotKeyTimer(this), "SetHotKeyTimer", &Tapsel::SetHotKeyTimer_Action);
    PrintMultipleCopiesNoStampTimer1 =
        timer(new timers::PrintMultipleCopiesNoStampTimer1(this),
              "PrintMultipleCopiesNoStampTimer1", &Tapsel::PrintMultipleCopiesNoStampTimer1_Action);
    PrintMultipleCopiesNoStampTimer2 =
        timer(new timers::PrintMultipleCopiesNoStampTimer2(this),
              "PrintMultipleCopiesNoStampTimer2", &Tapsel::PrintMultipleCopiesNoStampTimer2_Action);
}

void Tapsel::Open() { hide(); }

QAction *Tapsel::FilePreferences() const { return menuItem("FilePreferences"); }
QAction *Tapsel::FileQuit() const { return menuItem("FileQuit"); }
QAction *Tapsel::EditUndo() const { return menuItem("EditUndo"); }
QAction *Tapsel::UntitledMenu1() const { return menuItem("UntitledMenu1"); }
QAction *Tapsel::EditCut() const { return menuItem("EditCut"); }
QAction *Tapsel::EditCopy() const { return menuItem("EditCopy"); }
QAction *Tapsel::EditPaste() const { return menuItem("EditPaste"); }
QAction *Tapsel::EditClear() const { return menuItem("EditClear"); }
QAction *Tapsel::AboutTapsel() const { return menuItem("AboutTapsel"); }

void Tapsel::closeEvent(QCloseEvent *event) { QWidget::closeEvent(event); }

// The palette window: its controls in order with their places, captions and help; hidden
// from the start and still live; the menu bar's items; the picture read once.
#include "platform/globalhotkey.h"
#include "platform/points.h"
#include "platform/styledtextfield.h"
#include "platform/timer.h"
#include "platform/wastefield.h"
#include "shell/menu.h"
#include "shell/pictures.h"
#include "shell/tapsel.h"
#include "support/fixture.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

using platform::pt;
using platform::ptRect;

namespace {

QString shown(QString text) { return text.replace(QChar('\r'), QChar('\n')); }

struct ControlRow {
    const char *name;
    const char *kind; // QObject class the control is made of
    QRect place;      // points; empty for controls without a place
    const char *caption;
    const char *family;
    int size;
    QString help;
};

const QString kWebNote = QStringLiteral("Notes support drag-and-drop of text selections & "
                                        "clipping files.\r\rWhen printing from a web page, you "
                                        "can copy & paste or drag & drop a web page's URL to ");

const QList<ControlRow> kControls = {
    {"EditField1", "platform::StyledTextField", {-100, 4, 80, 22}, "", "System", 12, {}},
    {"EditField2", "platform::StyledTextField", {-100, 44, 80, 22}, "", "system", 10, {}},
    {"PrintOneLabel",
     "QLabel",
     {34, 59, 108, 18},
     "Print One Copy:",
     "Geneva",
     11,
     "The three buttons under \"Print One Copy\" quickly print your selected text and "
     "eliminate the need  to navigate Page Setup and Print dialog boxes.\r\rUse the buttons "
     "under \"Print Multiple Copies\" if you wish to access the Page Setup or Print dialog "
     "boxes.\r\r"},
    {"PrintMultipleCopiesLabel",
     "QLabel",
     {29, 135, 120, 18},
     "Print Multiple Copies:",
     "Geneva",
     11,
     "Use the buttons under \"Print Multiple Copies\" if you wish to access the Page Setup or "
     "Print dialog boxes.\r\rOtherwise, use the three buttons under \"Print One Copy\" to "
     "quickly print your selected text and eliminate the need  to navigate dialog boxes."},
    {"PMGraphic", "QLabel", {58, 4, 60, 49}, "", nullptr, 0, {}},
    {"Separator1", "QFrame", {1, 212, 174, 4}, "", nullptr, 0, {}},
    {"PMPrintOneCopy",
     "QPushButton",
     {79, 81, 94, 20},
     "W/Date Stamp",
     "Geneva",
     10,
     "Prints one copy of selection with a time-date stamp."},
    {"PrintOneCopyWNote",
     "QPushButton",
     {45, 109, 88, 20},
     "W/Date+Note",
     "Geneva",
     10,
     "Prints one copy of selection and allows you to add a note/comment.\r\r" + kWebNote +
         "include it in the note."},
    {"PMPrintOneCopyNoStamp",
     "QPushButton",
     {3, 81, 69, 20},
     "No Stamp",
     "Geneva",
     10,
     "Prints one copy of selection without a time-date stamp."},
    {"PMPrintMultpleCopiesNoStamp",
     "QPushButton",
     {3, 157, 69, 20},
     "No Stamp",
     "Geneva",
     10,
     "Prints your selection without a time-date stamp and brings up the Page Setup and Print "
     "dialog boxes."},
    {"PMPrintMultipleCopies",
     "QPushButton",
     {79, 157, 94, 20},
     "W/Date Stamp",
     "Geneva",
     10,
     "Prints your selection with a time-date stamp and brings up the Page Setup and Print "
     "dialog boxes."},
    {"PrintMultipleCopiesWNote",
     "QPushButton",
     {45, 185, 88, 20},
     "W/Date+Note",
     "Geneva",
     10,
     "Brings up Page Setup & Print dialog boxes & allows you to add a note/comment to "
     "selection.\r\r" +
         kWebNote + "the note."},
    {"PreferencesPushButton",
     "QPushButton",
     {45, 222, 88, 20},
     "Preferences",
     "Geneva",
     11,
     "Click once to access Lumvane's preference settings."},
    {"GlobalHotKey1", "platform::GlobalHotKey", {}, "", nullptr, 0, {}},
    {"PrintNoStampTimer1", "timers::PrintNoStampTimer1", {}, "", nullptr, 0, {}},
    {"PrintNoStampTimer2", "timers::PrintNoStampTimer2", {}, "", nullptr, 0, {}},
    {"saveoldClipboardWASTEfield",
     "platform::WASTEfield",
     {20, 100, 10, 10},
     "",
     "Lucida Grande",
     12,
     {}},
    {"SaveLastJobWASTEfield",
     "platform::WASTEfield",
     {20, 128, 10, 10},
     "",
     "Lucida Grande",
     12,
     {}},
    {"SetHotKeyTimer", "timers::SetHotKeyTimer", {}, "", nullptr, 0, {}},
    {"PrintMultipleCopiesNoStampTimer1",
     "timers::PrintMultipleCopiesNoStampTimer1",
     {},
     "",
     nullptr,
     0,
     {}},
    {"PrintMultipleCopiesNoStampTimer2",
     "timers::PrintMultipleCopiesNoStampTimer2",
     {},
     "",
     nullptr,
     0,
     {}},
};

QString captionOf(QObject *o)
{
    if (auto *b = qobject_cast<QPushButton *>(o))
        return b->text();
    if (auto *l = qobject_cast<QLabel *>(o))
        return l->text();
    return {};
}

} // namespace

using Palette = PlatformTest;

TEST_F(Palette, ControlsComeInTheirOrderWithTheirPlacesCaptionsFontsAndHelp)
{
    Tapsel &palette = Tapsel::instance();
    QStringList order;
    for (QObject *child : palette.children())
        if (!child->objectName().isEmpty() && !child->objectName().startsWith(QLatin1String("qt_")))
            order.append(child->objectName());
    QStringList expected;
    for (const auto &row : kControls)
        expected.append(QLatin1String(row.name));
    EXPECT_EQ(order, expected);

    for (const auto &row : kControls) {
        SCOPED_TRACE(row.name);
        QObject *o = palette.findChild<QObject *>(QLatin1String(row.name));
        ASSERT_NE(o, nullptr);
        EXPECT_STREQ(o->metaObject()->className(), row.kind);
        EXPECT_EQ(captionOf(o), QLatin1String(row.caption));
        auto *w = qobject_cast<QWidget *>(o);
        if (row.place.isNull()) {
            EXPECT_EQ(w, nullptr);
            continue;
        }
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->geometry(),
                  ptRect(row.place.x(), row.place.y(), row.place.width(), row.place.height()));
        if (row.family) {
            auto *field = qobject_cast<platform::StyledTextField *>(w);
            const QFont font = field ? field->ownStyle() : w->font();
            EXPECT_EQ(font.families().value(0), QLatin1String(row.family));
            EXPECT_EQ(font.pointSizeF(), row.size);
        }
        EXPECT_EQ(w->toolTip(), shown(row.help));
    }
}

TEST_F(Palette, WindowLabelsFieldsAndTimersAreSetUpAsBuilt)
{
    Tapsel &palette = Tapsel::instance();
    EXPECT_EQ(palette.windowTitle(), "Tapsel");
    EXPECT_TRUE(palette.windowFlags() & Qt::Tool);
    EXPECT_TRUE(palette.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(palette.width(), pt(176));
    EXPECT_EQ(palette.minimumSize(), QSize(pt(64), pt(64)));
    EXPECT_EQ(palette.maximumSize(), QSize(pt(32000), pt(32000)));
    EXPECT_EQ(palette.palette().color(QPalette::Window), QColor(158, 198, 255));
    for (QLabel *l : {palette.PrintOneLabel, palette.PrintMultipleCopiesLabel})
        EXPECT_EQ(l->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    for (platform::WASTEfield *f :
         {palette.saveoldClipboardWASTEfield, palette.SaveLastJobWASTEfield}) {
        EXPECT_FALSE(f->MonoStyled);
        EXPECT_TRUE(f->NoIntCutandPaste);
        EXPECT_EQ(f->TabSize, 32);
        EXPECT_EQ(f->InvisiblesColor, QColor(200, 0, 0));
        EXPECT_EQ(f->Text(), QString());
        // Below the window's 58 points: never seen.
        EXPECT_GE(f->y(), pt(58));
    }
    for (QWidget *f :
         {static_cast<QWidget *>(palette.EditField1), static_cast<QWidget *>(palette.EditField2)})
        EXPECT_LT(f->x() + f->width(), 0);
    const auto timers = palette.findChildren<platform::Timer *>();
    EXPECT_EQ(timers.size(), 5);
    for (platform::Timer *t : timers) {
        SCOPED_TRACE(t->objectName().toStdString());
        EXPECT_EQ(t->Mode(), 0);
        EXPECT_EQ(t->Period(), 1000);
    }
    EXPECT_FALSE(palette.GlobalHotKey1->isRegistered());
    EXPECT_FALSE(palette.PMGraphic->pixmap().isNull());
    EXPECT_EQ(palette.PMGraphic->pixmap().size(), QSize(60, 49));
}

TEST_F(Palette, HiddenFromTheStartAndStaysHidden)
{
    Tapsel &palette = Tapsel::instance();
    EXPECT_TRUE(palette.isHidden());
    palette.hide();
    EXPECT_TRUE(palette.isHidden());
    EXPECT_EQ(&Tapsel::instance(), &palette);
}

TEST_F(Palette, PushingAButtonWhileHiddenRunsItsAction)
{
    Tapsel &palette = Tapsel::instance();
    fx().clipboard.setPlain(QStringLiteral("the user's text"));
    palette.PMPrintOneCopyNoStamp->click();
    EXPECT_TRUE(palette.isHidden());
    // The action ran: the clipboard put aside and emptied, timer 1 armed.
    EXPECT_EQ(palette.PrintNoStampTimer1->Mode(), 1);
    EXPECT_EQ(palette.saveoldClipboardWASTEfield->Text(), "the user's text");
    EXPECT_EQ(fx().clipboard.text(), QString());

    palette.PMPrintMultpleCopiesNoStamp->click();
    EXPECT_EQ(palette.PrintMultipleCopiesNoStampTimer1->Mode(), 1);
}

TEST_F(Palette, PictureIsReadOnceHoweverOftenItIsUsed)
{
    Tapsel::instance();
    for (int i = 0; i < 3; ++i) {
        Tapsel::destroy();
        EXPECT_FALSE(Tapsel::instance().PMGraphic->pixmap().isNull());
        EXPECT_FALSE(Pictures::TapselNewIcon2Larger().isNull());
    }
    EXPECT_EQ(Pictures::loads(), 1);
}

TEST_F(Palette, MenuBarHasItsMenusAndItemsInOrder)
{
    struct Item {
        const char *name, *text, *shortcut;
        QAction::MenuRole role;
        bool separator;
    };
    const QList<std::pair<const char *, QList<Item>>> menus = {
        {"File",
         {{"FilePreferences", "Preferences", "", QAction::PreferencesRole, false},
          {"FileQuit", "Quit", "Ctrl+Q", QAction::QuitRole, false}}},
        {"Edit",
         {{"EditUndo", "Undo", "Ctrl+Z", QAction::NoRole, false},
          {"UntitledMenu1", "", "", QAction::NoRole, true},
          {"EditCut", "Cut", "Ctrl+X", QAction::NoRole, false},
          {"EditCopy", "Copy", "Ctrl+C", QAction::NoRole, false},
          {"EditPaste", "Paste", "Ctrl+V", QAction::NoRole, false},
          {"EditClear", "Clear", "", QAction::NoRole, false},
          {"AboutTapsel", "About Tapsel...", "", QAction::AboutRole, false}}},
    };
    Menu &menu = Menu::instance();
    const QList<QMenu *> bar = {menu.UntitledMenu2, menu.UntitledMenu0};
    ASSERT_EQ(menu.actions().size(), 2);
    for (int m = 0; m < menus.size(); ++m) {
        EXPECT_EQ(menu.actions()[m]->menu(), bar[m]);
        EXPECT_EQ(bar[m]->title(), QLatin1String(menus[m].first));
        const QList<QAction *> actions = bar[m]->actions();
        ASSERT_EQ(actions.size(), menus[m].second.size());
        for (int i = 0; i < actions.size(); ++i) {
            const Item &want = menus[m].second[i];
            SCOPED_TRACE(want.name);
            EXPECT_EQ(actions[i]->objectName(), QLatin1String(want.name));
            EXPECT_EQ(actions[i]->isSeparator(), want.separator);
            if (!want.separator) {
                EXPECT_EQ(actions[i]->text(), QLatin1String(want.text));
            }
            EXPECT_EQ(actions[i]->shortcut(), QKeySequence(QLatin1String(want.shortcut)));
            EXPECT_EQ(actions[i]->menuRole(), want.role);
            EXPECT_EQ(menu.item(QLatin1String(want.name)), actions[i]);
        }
    }
    EXPECT_EQ(Tapsel::instance().FilePreferences(), menu.item("FilePreferences"));
    EXPECT_EQ(Tapsel::instance().AboutTapsel(), menu.item("AboutTapsel"));
}

TEST_F(Palette, EditItemsActOnTheFocusedTextField)
{
    QLineEdit field;
    field.setText(QStringLiteral("abc"));
    field.show();
    field.activateWindow();
    field.setFocus();
    QApplication::processEvents();
    if (QApplication::focusWidget() != &field)
        GTEST_SKIP() << "no keyboard focus on this platform";
    field.setSelection(1, 1);
    Menu::instance().item("EditClear")->trigger();
    EXPECT_EQ(field.text(), "ac");
    Menu::instance().item("EditUndo")->trigger();
    EXPECT_EQ(field.text(), "abc");
}

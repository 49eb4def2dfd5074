// The preference files, LoadPreferences and SavePreferences, and the Preferences window:
// its controls, its presses and value changes, one window at a time, closing that saves.
#include "platform/points.h"
#include "prefs/preferencefiles.h"
#include "prefs/preferenceswindow.h"
#include "shell/tapsel.h"
#include "support/fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include <sys/stat.h>

using platform::ptRect;

class PreferenceTest : public PlatformTest {
protected:
    QString pathOf(const QString &colonPath) { return fx().files.resolve(colonPath); }
    QString pageFile() { return pathOf(Prefs::kPageSetUpFile); }
    QString printerFile() { return pathOf(Prefs::kPrinterDialogFile); }
    void write(const QString &path, const QByteArray &bytes)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void removeAll() { QDir(fx().files.root() + "/Tapsel Resources").removeRecursively(); }
    // Closing as the user does; the window's deletion is then carried out.
    void closeWindow()
    {
        PreferencesWindow::instance().close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

TEST_F(PreferenceTest, ReadingRule)
{
    struct Case {
        const char *name;
        QByteArray content; // "<missing>", "<dir>", "<fifo>" for what is not a plain file
        bool isTrue;
    };
    const QByteArray huge(8 << 20, 'x');
    const QList<Case> cases = {
        {"missing", "<missing>", false},
        {"empty", "", false},
        {"the keyword and a line end", "PageSetUpTrue\n", true},
        {"letter case aside", "pAGEsETuPtRUE\n", true},
        {"no line end", "PageSetUpTrue", true},
        {"CRLF", "PageSetUpTrue\r\n", true},
        {"a lone CR", "PageSetUpTrue\r", true},
        {"further lines are never read", "PageSetUpTrue\nPageSetUpFalse\n" + huge, true},
        {"the False keyword", "PageSetUpFalse\n", false},
        {"the other file's keyword", "PrintDialogTrue\n", false},
        {"a space after", "PageSetUpTrue \n", false},
        {"a space before", " PageSetUpTrue\n", false},
        {"an empty first line", "\nPageSetUpTrue\n", false},
        {"a NUL inside", QByteArray("PageSetUp\0True\n", 15), false},
        {"binary", QByteArray("\xff\xfe\x00\x01PageSetUpTrue", 17), false},
        {"a first line longer than any keyword", huge, false},
        {"a directory", "<dir>", false},
        {"a FIFO (never blocks)", "<fifo>", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        removeAll();
        if (c.content == "<dir>") {
            QDir().mkpath(pageFile());
        } else if (c.content == "<fifo>") {
            QDir().mkpath(QFileInfo(pageFile()).absolutePath());
            ASSERT_EQ(::mkfifo(QFile::encodeName(pageFile()).constData(), 0600), 0);
        } else if (c.content != "<missing>") {
            write(pageFile(), c.content);
        }
        EXPECT_EQ(PreferenceFileIsTrue(Prefs::kPageSetUpFile, Prefs::kPageSetUpTrue), c.isTrue);
    }
}

TEST_F(PreferenceTest, LoadPreferences)
{
    struct Case {
        const char *name;
        QByteArray page, printer; // empty: no file
        bool window, pageBox, printBox, viewPageSetUp, viewPrinterDialog;
    };
    const QList<Case> cases = {
        {"no files: no window, no dialogs", "", "", false, false, false, false, false},
        {"both false", "PageSetUpFalse\n", "PrintDialogFalse\n", false, false, false, false, false},
        {"page setup", "PageSetUpTrue\n", "PrintDialogFalse\n", true, true, false, true, false},
        {"print dialog", "", "PrintDialogTrue\n", true, false, true, false, true},
        {"both true: the second file wins", "PageSetUpTrue\n", "PrintDialogTrue\n", true, false,
         true, false, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        if (!c.page.isEmpty())
            write(pageFile(), c.page);
        if (!c.printer.isEmpty())
            write(printerFile(), c.printer);
        Module1::DockPageSetUpPref = Module1::DockPrintDialogPref = true;
        LoadPreferences();
        EXPECT_FALSE(Module1::DockPageSetUpPref);
        EXPECT_FALSE(Module1::DockPrintDialogPref);
        EXPECT_EQ(Module1::ViewPageSetUp, c.viewPageSetUp);
        EXPECT_EQ(Module1::ViewPrinterDialog, c.viewPrinterDialog);
        ASSERT_EQ(PreferencesWindow::exists(), c.window);
        if (!c.window)
            continue;
        PreferencesWindow &w = PreferencesWindow::instance();
        EXPECT_TRUE(w.isHidden());
        EXPECT_EQ(w.PageSetUpCheckbox->isChecked(), c.pageBox);
        EXPECT_EQ(w.PrintDialogCheckbox->isChecked(), c.printBox);
    }
}

TEST_F(PreferenceTest, WindowControlsAndTexts)
{
    PreferencesWindow &w = PreferencesWindow::instance();
    EXPECT_TRUE(w.isHidden());
    EXPECT_EQ(w.windowTitle(), "Tapsel Preferences");
    EXPECT_EQ(w.width(), platform::pt(290));
    EXPECT_GE(w.height(), platform::pt(194));
    EXPECT_TRUE(w.windowFlags() & Qt::Tool);
    EXPECT_TRUE(w.windowFlags() & Qt::WindowStaysOnTopHint);

    struct Control {
        QWidget *widget;
        const char *name;
        QRect place;
        int size;
        QString text, help;
    };
    const QString dockNote = "Note:  You can override this preference when using Tapsel's popup "
                             "Dock menu to print your selection.";
    const QList<Control> controls = {
        {w.PageSetUpCheckbox,
         "PageSetUpCheckbox",
         {60, 47, 170, 26},
         11,
         "View Page Setup and Print Dialog Boxes When Printing\n is Default View",
         "This preference item will cause the Page Setup and Print Dialog boxes to appear when "
         "printing your selection using the Option-Control-p shortcut.\n\n" +
             dockNote + "\n"},
        {w.PrintDialogCheckbox,
         "PrintDialogCheckbox",
         {60, 91, 170, 26},
         11,
         "View Just the Print Dialog Box When Printing",
         "This preference item will cause the Print Dialog box to appear when printing your "
         "selection using the Option-Control-p shortcut.\n\n" +
             dockNote},
        {w.StaticText1, "StaticText1", {45, 12, 200, 20}, 12, "Keyboard Shortcut Preferences", {}},
        {w.StaticText2,
         "StaticText2",
         {40, 136, 210, 42},
         11,
         "Note:  To print without viewing either the Page Setup or Print dialog box, leave both "
         "checkboxes unchecked.",
         {}},
    };
    QStringList order;
    for (QObject *child : w.children())
        if (child->isWidgetType())
            order.append(child->objectName());
    EXPECT_EQ(order, QStringList({"PageSetUpCheckbox", "PrintDialogCheckbox", "StaticText1",
                                  "StaticText2"}));
    for (const auto &c : controls) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.widget->objectName(), QLatin1String(c.name));
        const QRect want = ptRect(c.place.x(), c.place.y(), c.place.width(), c.place.height());
        // Left as given; a caption may take more room to the right and below, and push
        // what lies below it down a little.
        EXPECT_EQ(c.widget->x(), want.x());
        EXPECT_GE(c.widget->y(), want.y());
        EXPECT_LE(c.widget->y(), want.y() + platform::pt(8));
        EXPECT_GE(c.widget->width(), want.width());
        EXPECT_GE(c.widget->height(), want.height());
        EXPECT_EQ(c.widget->font().families().value(0), "Geneva");
        EXPECT_EQ(c.widget->font().pointSizeF(), c.size);
        const auto *box = qobject_cast<QCheckBox *>(c.widget);
        EXPECT_EQ(box ? box->text() : qobject_cast<QLabel *>(c.widget)->text(), c.text);
        EXPECT_EQ(c.widget->toolTip(), c.help);
        if (box) {
            EXPECT_FALSE(box->isChecked());
        }
    }
    // Nothing overlaps and everything lies inside the window.
    for (int i = 0; i < controls.size(); ++i) {
        EXPECT_TRUE(w.rect().contains(controls[i].widget->geometry())) << controls[i].name;
        for (int j = i + 1; j < controls.size(); ++j)
            EXPECT_FALSE(controls[i].widget->geometry().intersects(controls[j].widget->geometry()))
                << controls[i].name << " and " << controls[j].name;
    }
}

namespace {

void mouse(QWidget *w, QEvent::Type type, QPoint at)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent e(type, at, w->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// A click as the user makes it: the button goes down on the box and comes up where given.
void click(QWidget *box, bool releaseInside = true)
{
    const QPoint inside = box->rect().center();
    mouse(box, QEvent::MouseButtonPress, inside);
    mouse(box, QEvent::MouseButtonRelease, releaseInside ? inside : QPoint(-50, -50));
}

enum Boxes { Neither, PageSetUp, PrintDialog };

} // namespace

TEST_F(PreferenceTest, CompletedClicks)
{
    struct Case {
        Boxes before;
        Boxes clicked;
        Boxes after;
        bool viewPageSetUp, viewPrinterDialog;
    };
    const QList<Case> cases = {
        {Neither, PageSetUp, PageSetUp, true, false},
        {Neither, PrintDialog, PrintDialog, false, true},
        {PageSetUp, PageSetUp, Neither, false, false},
        {PageSetUp, PrintDialog, PrintDialog, false, true},
        {PrintDialog, PrintDialog, Neither, false, false},
        {PrintDialog, PageSetUp, PageSetUp, true, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "before " << c.before << ", click on " << c.clicked);
        TearDown();
        SetUp();
        if (c.before == PageSetUp)
            write(pageFile(), "PageSetUpTrue\n");
        if (c.before == PrintDialog)
            write(printerFile(), "PrintDialogTrue\n");
        PreferencesWindow::showWindow();
        PreferencesWindow &w = PreferencesWindow::instance();
        click(c.clicked == PageSetUp ? w.PageSetUpCheckbox : w.PrintDialogCheckbox);
        EXPECT_EQ(w.PageSetUpCheckbox->isChecked(), c.after == PageSetUp);
        EXPECT_EQ(w.PrintDialogCheckbox->isChecked(), c.after == PrintDialog);
        EXPECT_EQ(Module1::ViewPageSetUp, c.viewPageSetUp);
        EXPECT_EQ(Module1::ViewPrinterDialog, c.viewPrinterDialog);
    }
}

TEST_F(PreferenceTest, PressHandledAsTheButtonGoesDownAndReleasedOutsideChangesNoValue)
{
    write(pageFile(), "PageSetUpTrue\n");
    PreferencesWindow::showWindow();
    PreferencesWindow &w = PreferencesWindow::instance();
    ASSERT_TRUE(Module1::ViewPageSetUp);
    mouse(w.PrintDialogCheckbox, QEvent::MouseButtonPress, w.PrintDialogCheckbox->rect().center());
    // Down, not yet up: the other box is already unchecked, the pressed one not yet checked.
    EXPECT_FALSE(w.PageSetUpCheckbox->isChecked());
    EXPECT_FALSE(w.PrintDialogCheckbox->isChecked());
    EXPECT_FALSE(Module1::ViewPageSetUp);
    mouse(w.PrintDialogCheckbox, QEvent::MouseButtonRelease, QPoint(-50, -50));
    // Released outside: no value change of the pressed box; the box the press unchecked in
    // code does not count as one either.
    EXPECT_FALSE(w.PrintDialogCheckbox->isChecked());
    EXPECT_FALSE(Module1::ViewPageSetUp);
    EXPECT_FALSE(Module1::ViewPrinterDialog);
}

TEST_F(PreferenceTest, ClosingWritesBothFilesFromTheBoxes)
{
    struct Case {
        const char *name;
        QByteArray page, printer; // before; empty: no file
        Boxes click;              // Neither: closed untouched
        QByteArray pageAfter, printerAfter;
    };
    const QList<Case> cases = {
        {"untouched, no files", "", "", Neither, "PageSetUpFalse\n", "PrintDialogFalse\n"},
        {"untouched, page setup true", "pagesetuptrue\r\n", "", Neither, "PageSetUpTrue\n",
         "PrintDialogFalse\n"},
        {"print dialog checked", "PageSetUpTrue\n", "junk", PrintDialog, "PageSetUpFalse\n",
         "PrintDialogTrue\n"},
        {"page setup unchecked", "PageSetUpTrue\n", "", PageSetUp, "PageSetUpFalse\n",
         "PrintDialogFalse\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        if (!c.page.isEmpty())
            write(pageFile(), c.page);
        if (!c.printer.isEmpty())
            write(printerFile(), c.printer);
        PreferencesWindow::showWindow();
        PreferencesWindow &w = PreferencesWindow::instance();
        if (c.click != Neither)
            click(c.click == PageSetUp ? w.PageSetUpCheckbox : w.PrintDialogCheckbox);
        const bool pageSetUp = Module1::ViewPageSetUp, printDialog = Module1::ViewPrinterDialog;
        closeWindow();
        EXPECT_FALSE(PreferencesWindow::exists());
        EXPECT_EQ(read(pageFile()), c.pageAfter);
        EXPECT_EQ(read(printerFile()), c.printerAfter);
        // Closing leaves the flags alone.
        EXPECT_EQ(Module1::ViewPageSetUp, pageSetUp);
        EXPECT_EQ(Module1::ViewPrinterDialog, printDialog);
        EXPECT_TRUE(fx().log.lines.isEmpty());
    }
}

TEST_F(PreferenceTest, ReopenedAfterClosingShowsWhatWasSaved)
{
    PreferencesWindow::showWindow();
    click(PreferencesWindow::instance().PrintDialogCheckbox);
    closeWindow();
    Module1::ViewPrinterDialog = false; // whatever happened since, the files decide
    PreferencesWindow::showWindow();
    PreferencesWindow &w = PreferencesWindow::instance();
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.PrintDialogCheckbox->isChecked());
    EXPECT_FALSE(w.PageSetUpCheckbox->isChecked());
    EXPECT_TRUE(Module1::ViewPrinterDialog);
    EXPECT_FALSE(Module1::ViewPageSetUp);
}

TEST_F(PreferenceTest, OpeningTwiceMakesOneWindowAndReadsNoFileAgain)
{
    Tapsel::instance().PreferencesPushButton->click();
    PreferencesWindow *first = &PreferencesWindow::instance();
    EXPECT_TRUE(first->isVisible());
    write(pageFile(), "PageSetUpTrue\n");
    Tapsel::instance().PreferencesPushButton->click();
    PreferencesWindow::showWindow();
    EXPECT_EQ(&PreferencesWindow::instance(), first);
    int windows = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        windows += qobject_cast<PreferencesWindow *>(w) ? 1 : 0;
    EXPECT_EQ(windows, 1);
    EXPECT_FALSE(first->PageSetUpCheckbox->isChecked());
    EXPECT_FALSE(Module1::ViewPageSetUp);
}

TEST_F(PreferenceTest, CreationChecksWithoutUncheckingAndLeavesDockChoicesAlone)
{
    // Only files edited by hand are both true; creation checks each box it finds true.
    write(pageFile(), "PageSetUpTrue\n");
    write(printerFile(), "PrintDialogTrue\n");
    Module1::DockPageSetUpPref = true;
    PreferencesWindow &w = PreferencesWindow::instance();
    EXPECT_TRUE(w.PageSetUpCheckbox->isChecked());
    EXPECT_TRUE(w.PrintDialogCheckbox->isChecked());
    EXPECT_FALSE(Module1::ViewPageSetUp);
    EXPECT_TRUE(Module1::ViewPrinterDialog);
    EXPECT_TRUE(Module1::DockPageSetUpPref);
}

TEST_F(PreferenceTest, WindowMadeByLoadPreferencesSavesAtQuit)
{
    write(pageFile(), "PageSetUpTrue");
    LoadPreferences();
    ASSERT_TRUE(PreferencesWindow::exists());
    QMetaObject::invokeMethod(qApp, "aboutToQuit"); // as the loop ends
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(PreferencesWindow::exists());
    EXPECT_EQ(read(pageFile()), "PageSetUpTrue\n");
    EXPECT_EQ(read(printerFile()), "PrintDialogFalse\n");
}

TEST_F(PreferenceTest, SaveMakesTheMissingFolder)
{
    ASSERT_FALSE(QFileInfo::exists(fx().files.root() + "/Tapsel Resources"));
    PreferencesWindow::instance().PageSetUpCheckbox->setChecked(true);
    SavePreferences();
    EXPECT_EQ(read(pageFile()), "PageSetUpTrue\n");
    EXPECT_EQ(read(printerFile()), "PrintDialogFalse\n");
}

TEST_F(PreferenceTest, FailedSaveKeepsWhatWasThereAndSaysSoOnce)
{
    // The page-setup file's place is taken by a folder: it cannot be replaced.
    QDir().mkpath(pageFile());
    write(pathOf(":Tapsel Resources:PageSetUp Preference:keep"), "kept");
    write(printerFile(), "PrintDialogTrue\n");
    PreferencesWindow::instance().PrintDialogCheckbox->setChecked(false);
    SavePreferences();
    EXPECT_TRUE(QFileInfo(pageFile()).isDir());
    EXPECT_EQ(read(pathOf(":Tapsel Resources:PageSetUp Preference:keep")), "kept");
    EXPECT_EQ(read(printerFile()), "PrintDialogFalse\n"); // the other file is still written
    ASSERT_EQ(fx().log.lines.size(), 1);
    EXPECT_TRUE(fx().log.lines[0].contains("PageSetUp Preference"))
        << fx().log.lines[0].toStdString();
    // No half-written or temporary file is left beside them.
    EXPECT_EQ(QDir(QFileInfo(pageFile()).absolutePath()).entryList(QDir::Files | QDir::Hidden),
              QStringList({"PrinterDialog Preference"}));
}

TEST_F(PreferenceTest, UnwritableFolderLeavesTheOldFilesAlone)
{
    // "Tapsel Resources" is a plain file: no folder can be made there.
    write(fx().files.root() + "/Tapsel Resources", "not a folder");
    SavePreferences();
    EXPECT_EQ(read(fx().files.root() + "/Tapsel Resources"), "not a folder");
    EXPECT_EQ(fx().log.lines.size(), 2);
}

TEST_F(PreferenceTest, SpaceBarWorksAsAClick)
{
    write(pageFile(), "PageSetUpTrue\n");
    PreferencesWindow::showWindow();
    PreferencesWindow &w = PreferencesWindow::instance();
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent key(type, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        QApplication::sendEvent(w.PrintDialogCheckbox, &key);
    }
    EXPECT_FALSE(w.PageSetUpCheckbox->isChecked());
    EXPECT_TRUE(w.PrintDialogCheckbox->isChecked());
    EXPECT_FALSE(Module1::ViewPageSetUp);
    EXPECT_TRUE(Module1::ViewPrinterDialog);
}

#include "triggers/dockevents.h"

#include "common/module1.h"
#include "common/util.h"
#include "platform/services.h"
#include "prefs/preferenceswindow.h"
#include "shell/tapsel.h"
#include "triggers/pendingprint.h"

#include <QPushButton>

using platform::OSTypeFromStringMBS;

namespace {

struct DockItem {
    const char *text;
    const char *code;
};
const DockItem kDockItems[] = {
    {"Print Your Selection", "Test"},
    {"Print Your Selection & View Page Setup", "Tes1"},
    {"Print Your Selection & View Print Dialog", "Tes2"},
    {"View Preferences", "Tes3"},
    {"Go to Orlenby Website", "Tes4"},
};

QString hex(quint32 value) { return QString::number(value, 16).toUpper(); }

// A code's four characters as the log shows them; bytes that would garble a log line
// (a code of 0 has four NULs) show as dots.
QString printable(quint32 code)
{
    QString text = platform::StringFromOSTypeMBS(code);
    for (QChar &c : text)
        if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            c = QChar('.');
    return text;
}

// Sets the Dock's one-shot choice (if any) and pushes a print button, unless a print is
// still under way; false when nothing started.
bool startPrint(QPushButton *Tapsel::*button, bool *dockChoice = nullptr)
{
    if (PrintPending()) {
        Util::Write(QString::fromLatin1(kPrintPendingLine));
        return false;
    }
    if (dockChoice)
        *dockChoice = true;
    (Tapsel::instance().*button)->click();
    return true;
}

} // namespace

QString ProcessCommandLine(quint32 code, quint32 handle, int index)
{
    return QStringLiteral("Process Command with ID %1 (%2) on index %3 in handle %4.")
        .arg(hex(code), printable(code), QString::number(index), hex(handle));
}

MyCarbonApplicationEventsMBS::~MyCarbonApplicationEventsMBS() = default;

quint32 MyCarbonApplicationEventsMBS::ApplicationGetDockTileMenu()
{
    Util::Write(QStringLiteral("Create Dock Tile Menu"));
    auto menu = std::make_unique<platform::MenuMBS>();
    if (!menu->NewMenu(1000, QStringLiteral("Dockmenu")))
        return 0;
    for (const DockItem &item : kDockItems)
        menu->AppendItem(QString::fromLatin1(item.text));
    int index = 1;
    for (const DockItem &item : kDockItems)
        menu->CommandID(index++, OSTypeFromStringMBS(QString::fromLatin1(item.code)));
    dockmenu = std::move(menu);
    return dockmenu->handle();
}

bool MyCarbonApplicationEventsMBS::ProcessCommand(int first, quint32 code, quint32 handle,
                                                  int index)
{
    Q_UNUSED(first);
    Util::Write(ProcessCommandLine(code, handle, index));
    if (!dockmenu)
        return false;
    const auto is = [code](const char *c) { return code == OSTypeFromStringMBS(QLatin1String(c)); };
    if (is("Tes1"))
        return startPrint(&Tapsel::PMPrintMultpleCopiesNoStamp, &Module1::DockPageSetUpPref);
    if (is("Tes2"))
        return startPrint(&Tapsel::PMPrintMultpleCopiesNoStamp, &Module1::DockPrintDialogPref);
    if (is("Tes3")) {
        PreferencesWindow::showWindow();
        return true;
    }
    if (is("Tes4")) {
        platform::framework().openUrl(QString::fromLatin1(kMakerWebsite));
        return true;
    }
    if (is("Test"))
        return startPrint(&Tapsel::PMPrintOneCopyNoStamp);
    return false;
}

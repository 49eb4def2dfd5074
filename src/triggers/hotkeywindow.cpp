#include "triggers/hotkeywindow.h"

#include "common/module1.h"
#include "common/util.h"
#include "platform/globalhotkey.h"
#include "platform/points.h"
#include "platform/services.h"
#include "shell/tapsel.h"
#include "triggers/pendingprint.h"

#include <QPushButton>

HotKeyWindow::HotKeyWindow() : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("HotKeyWindow"));
    setWindowTitle(QStringLiteral("HotKey Window"));
    // Only a host for the hot key: showing it must neither map it nor take the focus.
    setAttribute(Qt::WA_DontShowOnScreen);
    setAttribute(Qt::WA_ShowWithoutActivating);
    resize(platform::pt(10), platform::pt(10));
    setMinimumSize(platform::pt(10), platform::pt(10));
    setMaximumSize(platform::pt(32000), platform::pt(32000));

    GlobalHotKey1 = new platform::GlobalHotKey(this);
    GlobalHotKey1->setObjectName(QStringLiteral("GlobalHotKey1"));
    connect(GlobalHotKey1, &platform::GlobalHotKey::HotKeyReleased, this,
            &HotKeyWindow::GlobalHotKey1_HotKeyReleased);
    GlobalHotKey1_Open();
    Open();
}

void HotKeyWindow::GlobalHotKey1_Open()
{
    const int modifiers = GlobalHotKey1->GetControlKeyValue() + GlobalHotKey1->GetOptionKeyValue();
    // Refused (another program holds the combination): the key stays quiet, all else works.
    if (!GlobalHotKey1->RegisterHotKey(QStringLiteral("Test"), QStringLiteral("Test"), 35,
                                       modifiers))
        platform::log().DebugMessageMBS(QString::fromLatin1(kHotKeyRefusedLine));
}

void HotKeyWindow::Open() { move(-300, y()); }

void HotKeyWindow::GlobalHotKey1_Close() { GlobalHotKey1->UnregisterHotkey(); }

void HotKeyWindow::closeEvent(QCloseEvent *event)
{
    GlobalHotKey1_Close();
    QWidget::closeEvent(event);
}

void HotKeyWindow::GlobalHotKey1_HotKeyReleased(int value)
{
    Q_UNUSED(value);
    // A second print would put the held clipboard aside over itself.
    if (PrintPending()) {
        Util::Write(QString::fromLatin1(kPrintPendingLine));
        return;
    }
    Tapsel &palette = Tapsel::instance();
    if (Module1::ViewPageSetUp || Module1::ViewPrinterDialog)
        palette.PMPrintMultpleCopiesNoStamp->click();
    else
        palette.PMPrintOneCopyNoStamp->click();
}

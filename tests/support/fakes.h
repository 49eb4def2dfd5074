// The in-memory platform: every outside service as a recording stand-in that tests drive.
#pragma once

#include "platform/services.h"

#include <QHash>
#include <QMap>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

namespace fakes {

// One record of calls across the fakes, so tests can check their order.
using Journal = QStringList;

class FakeFramework : public platform::Framework {
public:
    explicit FakeFramework(Journal &j) : journal(j) {}
    void beep() override;
    void messageBox(const QString &text) override;
    void yield() override;
    void waitYield() override { yield(); }
    void openUrl(const QString &url) override { urls.append(url); }
    QSize mainScreenSize() override { return screen; }

    Journal &journal;
    int beeps = 0;
    QStringList messages;
    long long yields = 0;
    std::function<void()> onYield;
    std::function<void(const QString &)> onMessage; // runs while the "modal" box is up
    QStringList urls;
    QSize screen{1440, 900};
};

class FakeClipboard : public platform::Clipboard {
public:
    explicit FakeClipboard(Journal &j) : journal(j) {}
    bool hasText() override;
    bool hasPicture() override;
    QStringList formats() override;
    QString text() override;
    // A "styl" format put there by a test, else runs derived from text/html.
    QByteArray styl() override;
    void setText(const QString &text) override;
    void close() override { ++closes; }
    platform::ClipboardContents contents() override { return data; }
    void setContents(const platform::ClipboardContents &c) override;

    // Test helpers.
    void setPlain(const QString &text); // CR or LF line breaks
    void add(const QString &mime, const QByteArray &bytes);
    QByteArray value(const QString &mime) const;

    Journal &journal;
    platform::ClipboardContents data;
    int closes = 0;
};

// A scripted desktop: applications with selections, which copy on the Copy keystroke.
class FakeDesktop : public platform::Processes {
public:
    enum class CopyMode { AtOnce, Late, Never };
    struct App {
        QString selection;        // CR line breaks; empty: Copy leaves the clipboard alone
        platform::ClipboardContents extra; // further formats the copy offers
        CopyMode mode = CopyMode::AtOnce;
    };
    FakeDesktop(Journal &j, FakeClipboard &c) : journal(j), clipboard(c) {}

    QString GetFrontProcessCreator() override { return front; }
    QString GetMyCreator() override { return QStringLiteral("Tapsel"); }
    int PostCommandKeyEvent(bool down) override;
    int PostKeyEvent(const QString &key, int keyCode, bool down) override;
    int BringProcessFront() override;
    int SetProcessWithCreatorFront(const QString &creator) override;

    // A late copy lands now (also after lateYields yields).
    void deliverPendingCopy();
    void tick();

    Journal &journal;
    FakeClipboard &clipboard;
    QMap<QString, App> apps;
    QString front;
    QStringList keys; // what was posted, in order
    int lateYields = 1000;

private:
    void copy(const QString &creator);
    bool commandDown_ = false;
    QString pending_;
    int pendingYields_ = 0;
};

class FakePrint : public platform::PrintService {
public:
    struct Block {
        int x, y, height;
        QString text;
    };
    struct Job {
        int columnWidth = 0;
        bool throughDialog = false;
        bool withSetup = false;
        bool ended = false;
        QList<QList<Block>> pages{{}};
    };
    explicit FakePrint(Journal &j) : journal(j) {}

    std::unique_ptr<platform::PageContext> openPrinter() override;
    std::unique_ptr<platform::PageSetup> newPageSetup() override;
    bool pageSetupDialog(platform::PageSetup &setup) override;
    std::unique_ptr<platform::PageContext> printDialog(platform::PageSetup *setup) override;
    std::unique_ptr<platform::StyledTextPrinter>
    styledTextPrinter(const QTextDocument &document, platform::PageContext &context,
                      int columnWidth) override;

    // The text of every block of a job, joined.
    QString printedText(int job = -1) const;

    Journal &journal;
    bool noPrinter = false;
    bool acceptPageSetup = true;
    bool acceptPrint = true;
    QSize setupPage{612, 792};
    int pageSetups = 0;       // page setups made
    int pageSetupDialogs = 0;
    int printDialogs = 0;
    int lineHeight = 20;      // points per line in the fake layout
    QList<Job> jobs;
};

class FakeHotKeys : public platform::HotKeys {
public:
    std::unique_ptr<platform::HotKeyGrab> grab(int keyCode, int modifiers,
                                               std::function<void()> onRelease) override;
    void release(); // the user lets go of a grabbed combination
    bool refuse = false;
    int grabs = 0;
    int live = 0;
    int lastKeyCode = 0, lastModifiers = 0;
    QList<std::function<void()> *> callbacks;
};

class FakeDock : public platform::Dock {
public:
    void listen(platform::CarbonApplicationEventsMBS *l) override { listener = l; }
    void forget(platform::CarbonApplicationEventsMBS *l) override
    {
        if (listener == l)
            listener = nullptr;
    }
    void setApplicationMenuItems(const QList<QAction *> &items) override { appItems = items; }
    // The user opens the Dock menu: the listener's menu handle (0 for none).
    quint32 open();
    // The user chooses an item of the menu last opened; the listener's answer.
    bool choose(int index);

    platform::CarbonApplicationEventsMBS *listener = nullptr;
    QList<QAction *> appItems;
    quint32 lastHandle = 0;
};

class FakeLog : public platform::DiagnosticLog {
public:
    void DebugMessageEnableMBS(bool enable) override { enabled = enable; }
    void DebugMessageMBS(const QString &text) override { lines.append(text); }
    void DelayMBS(double seconds) override { delays.append(seconds); }
    bool enabled = false;
    QStringList lines;
    QList<double> delays;
};

class FakeFiles : public platform::Files {
public:
    QString resolve(const QString &colonPath) override;
    QString root() const { return dir.path(); }
    QTemporaryDir dir;
};

// Every fake, bound as the platform for the life of the object.
struct FakePlatform {
    FakePlatform();
    ~FakePlatform();
    Journal journal;
    FakeFramework framework{journal};
    FakeClipboard clipboard{journal};
    FakeDesktop desktop{journal, clipboard};
    FakePrint print{journal};
    FakeHotKeys hotKeys;
    FakeDock dock;
    FakeLog log;
    FakeFiles files;
};

} // namespace fakes

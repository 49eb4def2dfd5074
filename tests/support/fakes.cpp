#include "support/fakes.h"

#include "platform/styl.h"

#include <QTextBlock>
#include <QTextDocument>

namespace fakes {

using platform::ClipboardContents;
using platform::ClipboardFormat;

// ---- framework

void FakeFramework::beep()
{
    ++beeps;
    journal.append(QStringLiteral("beep"));
}

void FakeFramework::messageBox(const QString &text)
{
    messages.append(text);
    journal.append(QStringLiteral("message"));
    if (onMessage)
        onMessage(text);
}

void FakeFramework::yield()
{
    ++yields;
    if (onYield)
        onYield();
}

// ---- clipboard

namespace {
const QString kText = QStringLiteral("text/plain");
const QString kStyl = QStringLiteral("styl");
} // namespace

bool FakeClipboard::hasText()
{
    for (const auto &f : data)
        if (f.mime == kText)
            return true;
    return false;
}

bool FakeClipboard::hasPicture()
{
    for (const auto &f : data)
        if (f.mime.startsWith(QLatin1String("image/")))
            return true;
    return false;
}

QStringList FakeClipboard::formats()
{
    QStringList out;
    for (const auto &f : data)
        out.append(f.mime);
    return out;
}

QString FakeClipboard::text()
{
    QString t = QString::fromUtf8(value(kText));
    t.replace(QLatin1String("\r\n"), QLatin1String("\r"));
    t.replace(QChar('\n'), QChar('\r'));
    return t;
}

QByteArray FakeClipboard::styl()
{
    for (const auto &f : data)
        if (f.mime == kStyl)
            return f.data;
    const QByteArray html = value(QStringLiteral("text/html"));
    return html.isEmpty() ? QByteArray()
                          : platform::styl::fromRichText(QString::fromUtf8(html), text());
}

void FakeClipboard::setText(const QString &text)
{
    QString t = text;
    t.replace(QChar('\r'), QChar('\n'));
    data = {{kText, t.toUtf8()}};
    journal.append(QStringLiteral("clipboard:setText:") + text);
}

void FakeClipboard::setContents(const ClipboardContents &c)
{
    data = c;
    journal.append(QStringLiteral("clipboard:setContents"));
}

void FakeClipboard::setPlain(const QString &text)
{
    QString t = text;
    t.replace(QChar('\r'), QChar('\n'));
    data = {{kText, t.toUtf8()}};
}

void FakeClipboard::add(const QString &mime, const QByteArray &bytes)
{
    data.append({mime, bytes});
}

QByteArray FakeClipboard::value(const QString &mime) const
{
    for (const auto &f : data)
        if (f.mime == mime)
            return f.data;
    return {};
}

// ---- desktop

int FakeDesktop::PostCommandKeyEvent(bool down)
{
    commandDown_ = down;
    keys.append(down ? QStringLiteral("cmd-down") : QStringLiteral("cmd-up"));
    return 0;
}

int FakeDesktop::PostKeyEvent(const QString &key, int keyCode, bool down)
{
    keys.append(QStringLiteral("%1/%2-%3").arg(key).arg(keyCode).arg(down ? "down" : "up"));
    if (down && commandDown_ && keyCode == 8 && apps.contains(front)) {
        switch (apps[front].mode) {
        case CopyMode::AtOnce:
            copy(front);
            break;
        case CopyMode::Late:
            pending_ = front;
            pendingYields_ = 0;
            break;
        case CopyMode::Never:
            break;
        }
    }
    return 0;
}

int FakeDesktop::BringProcessFront()
{
    front = GetMyCreator();
    journal.append(QStringLiteral("BringProcessFront"));
    return 0;
}

int FakeDesktop::SetProcessWithCreatorFront(const QString &creator)
{
    if (apps.contains(creator) || creator == GetMyCreator())
        front = creator;
    journal.append(QStringLiteral("SetProcessWithCreatorFront:") + creator);
    return 0;
}

void FakeDesktop::copy(const QString &creator)
{
    const App &app = apps[creator];
    if (app.selection.isEmpty() && app.extra.isEmpty())
        return;
    ClipboardContents c;
    if (!app.selection.isEmpty()) {
        QString t = app.selection;
        t.replace(QChar('\r'), QChar('\n'));
        c.append({kText, t.toUtf8()});
    }
    c += app.extra;
    clipboard.data = c;
    journal.append(QStringLiteral("copied:") + creator);
}

void FakeDesktop::deliverPendingCopy()
{
    if (pending_.isEmpty())
        return;
    const QString creator = pending_;
    pending_.clear();
    copy(creator);
}

void FakeDesktop::tick()
{
    if (!pending_.isEmpty() && ++pendingYields_ >= lateYields)
        deliverPendingCopy();
}

// ---- print

namespace {

class FakeContext : public platform::PageContext {
public:
    FakeContext(FakePrint &p, int job) : print(p), job(job) {}
    ~FakeContext() override
    {
        print.jobs[job].ended = true;
        print.journal.append(QStringLiteral("print:end"));
    }
    void newPage() override
    {
        print.jobs[job].pages.append(QList<FakePrint::Block>());
        print.journal.append(QStringLiteral("print:newPage"));
    }
    FakePrint &print;
    int job;
};

class FakeSetup : public platform::PageSetup {
public:
    explicit FakeSetup(QSize s) : size(s) {}
    int pageWidth() override { return size.width(); }
    int pageHeight() override { return size.height(); }
    QSize size;
};

class FakeTextPrinter : public platform::StyledTextPrinter {
public:
    FakeTextPrinter(FakePrint &p, int job, const QTextDocument &doc) : print(p), job(job)
    {
        if (!doc.isEmpty())
            lines = doc.toPlainText().split(QChar('\n'));
    }
    bool endOfText() override { return next >= lines.size(); }
    void drawBlock(int x, int y, int height) override
    {
        QStringList drawn;
        int used = 0;
        while (next < lines.size() && (drawn.isEmpty() || used + print.lineHeight <= height)) {
            drawn.append(lines[next++]);
            used += print.lineHeight;
        }
        print.jobs[job].pages.back().append({x, y, height, drawn.join(QChar('\r'))});
        print.journal.append(QStringLiteral("print:block"));
    }
    FakePrint &print;
    int job;
    QStringList lines;
    qsizetype next = 0;
};

int jobOf(platform::PageContext &context)
{
    return static_cast<FakeContext &>(context).job;
}

} // namespace

std::unique_ptr<platform::PageContext> FakePrint::openPrinter()
{
    journal.append(QStringLiteral("print:open"));
    if (noPrinter)
        return nullptr;
    jobs.append(Job{});
    return std::make_unique<FakeContext>(*this, int(jobs.size() - 1));
}

std::unique_ptr<platform::PageSetup> FakePrint::newPageSetup()
{
    ++pageSetups;
    return std::make_unique<FakeSetup>(setupPage);
}

bool FakePrint::pageSetupDialog(platform::PageSetup &)
{
    ++pageSetupDialogs;
    journal.append(QStringLiteral("dialog:pageSetup"));
    return acceptPageSetup;
}

std::unique_ptr<platform::PageContext> FakePrint::printDialog(platform::PageSetup *setup)
{
    ++printDialogs;
    journal.append(QStringLiteral("dialog:print"));
    if (!acceptPrint || noPrinter)
        return nullptr;
    Job job;
    job.throughDialog = true;
    job.withSetup = setup != nullptr;
    jobs.append(job);
    return std::make_unique<FakeContext>(*this, int(jobs.size() - 1));
}

std::unique_ptr<platform::StyledTextPrinter>
FakePrint::styledTextPrinter(const QTextDocument &document, platform::PageContext &context,
                             int columnWidth)
{
    const int job = jobOf(context);
    jobs[job].columnWidth = columnWidth;
    return std::make_unique<FakeTextPrinter>(*this, job, document);
}

QString FakePrint::printedText(int job) const
{
    if (jobs.isEmpty())
        return {};
    const Job &j = jobs[job < 0 ? jobs.size() - 1 : job];
    QStringList parts;
    for (const auto &page : j.pages)
        for (const auto &b : page)
            parts.append(b.text);
    return parts.join(QChar('\r'));
}

// ---- hot keys

namespace {
class FakeGrab : public platform::HotKeyGrab {
public:
    FakeGrab(FakeHotKeys &k, std::function<void()> f) : keys(k), callback(std::move(f))
    {
        keys.callbacks.append(&callback);
        ++keys.live;
    }
    ~FakeGrab() override
    {
        keys.callbacks.removeAll(&callback);
        --keys.live;
    }
    FakeHotKeys &keys;
    std::function<void()> callback;
};
} // namespace

std::unique_ptr<platform::HotKeyGrab> FakeHotKeys::grab(int keyCode, int modifiers,
                                                        std::function<void()> onRelease)
{
    ++grabs;
    lastKeyCode = keyCode;
    lastModifiers = modifiers;
    if (refuse)
        return nullptr;
    return std::make_unique<FakeGrab>(*this, std::move(onRelease));
}

void FakeHotKeys::release()
{
    const auto live = callbacks;
    for (auto *f : live)
        (*f)();
}

// ---- dock

quint32 FakeDock::open()
{
    lastHandle = listener ? listener->ApplicationGetDockTileMenu() : 0;
    return lastHandle;
}

bool FakeDock::choose(int index)
{
    if (!listener)
        return false;
    platform::MenuMBS *menu = platform::MenuMBS::fromHandle(lastHandle);
    const quint32 code = menu ? menu->commandAt(index) : 0;
    return listener->ProcessCommand(0, code, lastHandle, index);
}

// ---- files

QString FakeFiles::resolve(const QString &colonPath)
{
    QStringList parts = colonPath.split(QChar(':'));
    if (!parts.isEmpty() && parts.first().isEmpty())
        parts.removeFirst();
    return dir.path() + QChar('/') + parts.join(QChar('/'));
}

// ---- binding

FakePlatform::FakePlatform()
{
    platform::bind({&framework, &clipboard, &print, &desktop, &hotKeys, &dock, &log, &files});
    framework.onYield = [this] { desktop.tick(); };
}

FakePlatform::~FakePlatform() { platform::bind({}); }

} // namespace fakes

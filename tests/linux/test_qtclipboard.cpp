// The real clipboard on a real X server: what another program offers comes in whole and goes
// back byte for byte, text and styles agree, and an owner that misbehaves cannot hold Tapsel.
// "Another program" is tests/linux/clipboard_owner; xclip reads what Tapsel offers. Tapsel
// shows no window here, as in real use.
#include "platform/linux/qtclipboard.h"
#include "platform/services.h"
#include "platform/styl.h"
#include "platform/wastefield.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

using platform::ClipboardContents;
using platform::ClipboardFormat;
using platform::linux_x11::QtClipboard;
namespace styl = platform::styl;

namespace {

QByteArray pngBytes()
{
    QImage image(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 4, y * 5, (x ^ y) & 0xff));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// What a program offers after a Copy of styled text with a picture and a private type.
const ClipboardContents &offered()
{
    static const ClipboardContents formats = {
            {"text/plain", "Dear reader,\r\nthis is bold.\n"},
            {"text/html", "<html><body>Dear reader,<br>this is <b>bold</b>.<br></body></html>"},
            {"image/png", pngBytes()},
            {"application/x-tapsel-test", QByteArray("\0\1\2private\xff\0", 12)},
    };
    return formats;
}

QByteArray utf16(const QString &text, QStringConverter::Encoding encoding, bool bom)
{
    QStringEncoder encode(encoding, bom ? QStringConverter::Flag::WriteBom
                                        : QStringConverter::Flag::Default);
    return encode(text);
}

} // namespace

class RealClipboard : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY")
            || QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "needs an X display and QT_QPA_PLATFORM=xcb";
        ASSERT_TRUE(dir.isValid());
        clipboard = std::make_unique<QtClipboard>();
    }

    void TearDown() override
    {
        for (auto &p : owners) {
            p->kill();
            p->waitForFinished();
        }
        owners.clear();
        clipboard.reset();
    }

    // Another program takes the clipboard, offering these formats.
    void takenBy(const ClipboardContents &formats, const QStringList &options = {})
    {
        QStringList args = options;
        for (const ClipboardFormat &f : formats) {
            QFile file(dir.filePath(QString::number(files++)));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(f.data);
            args << f.mime + QLatin1Char('=') + file.fileName();
        }
        auto p = std::make_unique<QProcess>();
        p->setProgram(QCoreApplication::applicationDirPath() + "/clipboard_owner");
        p->setArguments(args);
        p->start();
        ASSERT_TRUE(p->waitForStarted());
        ASSERT_TRUE(p->waitForReadyRead(10000)) << p->readAllStandardError().toStdString();
        ASSERT_EQ(p->readLine().trimmed(), "ready");
        owners.push_back(std::move(p));
    }

    // What another program reads from the clipboard as this target. Tapsel's event loop runs
    // meanwhile, so that Tapsel can answer when it owns the clipboard.
    QByteArray xclip(const QString &target)
    {
        QProcess p;
        p.start("xclip", {"-o", "-selection", "clipboard", "-t", target});
        const QDeadlineTimer until(30000);
        while (p.state() != QProcess::NotRunning && !until.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            p.waitForFinished(5);
        }
        if (p.state() != QProcess::NotRunning) {
            p.kill();
            p.waitForFinished();
            ADD_FAILURE() << "xclip -t " << target.toStdString() << " did not finish";
        }
        return p.readAllStandardOutput();
    }

    void expectOffered(const ClipboardContents &formats)
    {
        const QList<QByteArray> targets = xclip("TARGETS").split('\n');
        for (const ClipboardFormat &f : formats) {
            EXPECT_TRUE(targets.contains(f.mime.toLatin1())) << f.mime.toStdString();
            EXPECT_TRUE(xclip(f.mime) == f.data) << f.mime.toStdString() << " differs";
        }
    }

    QTemporaryDir dir;
    int files = 0;
    std::vector<std::unique_ptr<QProcess>> owners;
    std::unique_ptr<QtClipboard> clipboard;
};

TEST_F(RealClipboard, ContentsKeepExactlyWhatAnotherProgramOffered)
{
    takenBy(offered());
    // Neither the protocol's targets nor the text aliases nor Qt's own image type show.
    EXPECT_EQ(clipboard->formats(), QStringList({"text/plain", "text/html", "image/png",
                                                 "application/x-tapsel-test"}));
    EXPECT_TRUE(clipboard->hasText());
    EXPECT_TRUE(clipboard->hasPicture());
    EXPECT_EQ(clipboard->contents(), offered());
    EXPECT_EQ(clipboard->text(), "Dear reader,\rthis is bold.\r");
}

TEST_F(RealClipboard, SetContentsGivesEveryFormatBackByteForByte)
{
    takenBy(offered());
    const ClipboardContents saved = clipboard->contents();
    takenBy({{"text/plain", "something else"}});
    // At once, before Tapsel's event loop has seen the other program take over.
    clipboard->setContents(saved);
    expectOffered(offered());
    EXPECT_EQ(xclip("UTF8_STRING"), offered().front().data);
    EXPECT_FALSE(xclip("TARGETS").split('\n').contains("application/x-qt-image"));
    // Tapsel reads its own clipboard the same way.
    EXPECT_EQ(clipboard->contents(), offered());
    EXPECT_EQ(clipboard->text(), "Dear reader,\rthis is bold.\r");
}

TEST_F(RealClipboard, TextComesWithCarriageReturnsAndGoesOutWithLineFeeds)
{
    const struct {
        const char *name;
        QByteArray offered;
        QString text;
    } cases[] = {
            {"CRLF and LF", "one\r\ntwo\nthree", "one\rtwo\rthree"},
            {"UTF-8", "na\xc3\xafve \xe2\x98\x83\n", QString::fromUtf8("na\xc3\xafve \xe2\x98\x83\r")},
            {"a closing NUL", QByteArray("text\0", 5), "text"},
            {"the empty text", "", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        takenBy({{"text/plain", c.offered}});
        EXPECT_TRUE(clipboard->hasText());
        EXPECT_FALSE(clipboard->hasPicture());
        EXPECT_EQ(clipboard->text(), c.text);
    }

    clipboard->setText("one\rtwo\r\rthree");
    EXPECT_EQ(xclip("text/plain"), "one\ntwo\n\nthree");
    EXPECT_EQ(clipboard->text(), "one\rtwo\r\rthree");
    EXPECT_EQ(clipboard->formats(), QStringList({"text/plain"}));

    // The emptied clipboard the commands leave still holds a text: the empty one.
    clipboard->setText(QString());
    EXPECT_TRUE(clipboard->hasText());
    EXPECT_EQ(clipboard->text(), QString());
    EXPECT_EQ(clipboard->contents(), (ClipboardContents{{"text/plain", ""}}));
}

TEST_F(RealClipboard, StylFollowsTheRichTextWhateverItsEncoding)
{
    const QString plain = QString::fromUtf8("caf\xc3\xa9 and bold");
    const QString html = QString::fromUtf8("<html><body>caf\xc3\xa9 and <b>bold</b></body></html>");
    const QString meta = QString::fromUtf8("<html><head><meta charset=\"%1\"></head><body>"
                                           "caf\xc3\xa9 and <b>bold</b></body></html>");
    const struct {
        const char *name;
        QString mime;
        QByteArray bytes;
    } cases[] = {
            {"UTF-8", "text/html", html.toUtf8()},
            {"UTF-8 with meta charset", "text/html", meta.arg("utf-8").toUtf8()},
            {"UTF-16LE with BOM", "text/html", utf16(html, QStringConverter::Utf16LE, true)},
            {"UTF-16BE with BOM", "text/html", utf16(html, QStringConverter::Utf16BE, true)},
            {"UTF-16LE without BOM", "text/html", utf16(html, QStringConverter::Utf16LE, false)},
            {"Latin-1 by meta charset", "text/html", meta.arg("iso-8859-1").toLatin1()},
            {"Qt's rich text", "application/x-qt-richtext", html.toUtf8()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        takenBy({{"text/plain", plain.toUtf8()}, {c.mime, c.bytes}});
        const QList<styl::Run> runs = styl::decode(clipboard->styl(), plain.size());
        ASSERT_GE(runs.size(), 2);
        EXPECT_EQ(runs[0].start, 0);
        EXPECT_FALSE(runs[0].face & styl::Bold);
        EXPECT_EQ(runs.back().start, plain.indexOf("bold"));
        EXPECT_TRUE(runs.back().face & styl::Bold);
    }

    // Rich text that tells another text than the plain one gives no runs at all.
    takenBy({{"text/plain", "something else"}, {"text/html", html.toUtf8()}});
    EXPECT_TRUE(clipboard->styl().isEmpty());
    takenBy({{"text/plain", plain.toUtf8()}});
    EXPECT_TRUE(clipboard->styl().isEmpty());
}

TEST_F(RealClipboard, AnOwnerThatNeverAnswersCannotHoldTapsel)
{
    // With the limits Tapsel runs with.
    takenBy({{"text/plain", "never sent"}}, {"--mute"});
    EXPECT_TRUE(clipboard->contents().isEmpty());
    EXPECT_TRUE(clipboard->formats().isEmpty());
    EXPECT_FALSE(clipboard->hasText());
    EXPECT_FALSE(clipboard->hasPicture());
    EXPECT_EQ(clipboard->text(), QString());
    EXPECT_TRUE(clipboard->styl().isEmpty());

    // One format never comes: what was read before it is kept, and Tapsel stops asking.
    clipboard->limits.replyMs = 500;
    takenBy(offered(), {"--silent", "image/png"});
    EXPECT_EQ(clipboard->contents(), (ClipboardContents{offered()[0], offered()[1]}));
    EXPECT_EQ(clipboard->text(), "Dear reader,\rthis is bold.\r");

    // The next program that answers is read whole again.
    takenBy(offered());
    EXPECT_EQ(clipboard->contents(), offered());
}

TEST_F(RealClipboard, SeveralMegabytesOfTextGoBothWays)
{
    QByteArray big;
    for (int i = 0; big.size() < 6 * 1024 * 1024; ++i)
        big += "line " + QByteArray::number(i) + " of a long selection, with some words\n";
    takenBy({{"text/plain", big}}); // sent in INCR pieces
    QString expected = QString::fromLatin1(big);
    expected.replace(QChar('\n'), QChar('\r'));
    EXPECT_TRUE(clipboard->text() == expected);
    const ClipboardContents saved = clipboard->contents();
    ASSERT_EQ(saved.size(), 1);
    EXPECT_TRUE(saved.front().data == big);

    takenBy({{"text/plain", "something else"}});
    clipboard->setContents(saved);
    EXPECT_TRUE(xclip("text/plain") == big);
}

TEST_F(RealClipboard, AFormatBeyondTheSizeBoundIsLeftOutAndTheRestKept)
{
    clipboard->limits.formatBytes = 1024 * 1024;
    const QByteArray huge(3 * 1024 * 1024, 'x');
    const struct {
        const char *name;
        QStringList options;
    } cases[] = {
            {"announced by INCR", {}},
            {"in one property", {"--chunk", QString::number(8 * 1024 * 1024)}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        takenBy({{"text/plain", "small"},
                 {"application/x-huge", huge},
                 {"application/x-tapsel-test", "after"}},
                c.options);
        EXPECT_EQ(clipboard->contents(), (ClipboardContents{{"text/plain", "small"},
                                                            {"application/x-tapsel-test", "after"}}));
    }
}

TEST_F(RealClipboard, AnEmptyClipboardIsGivenBackEmpty)
{
    clipboard->setText("something");
    clipboard->setContents({});
    EXPECT_TRUE(clipboard->formats().isEmpty());
    EXPECT_FALSE(clipboard->hasText());
    EXPECT_EQ(clipboard->text(), QString());
    EXPECT_TRUE(clipboard->contents().isEmpty());
}

// The field that keeps the user's clipboard, over the real one.
class RealWasteField : public RealClipboard {
protected:
    void SetUp() override
    {
        RealClipboard::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        previous = platform::services();
        platform::Services services = previous;
        services.clipboard = clipboard.get();
        platform::bind(services);
    }
    void TearDown() override
    {
        if (clipboard)
            platform::bind(previous);
        RealClipboard::TearDown();
    }
    // Select all, Copy, empty: as the command gives the user's clipboard back.
    static void restore(platform::WASTEfield &field)
    {
        field.setSelStart(0);
        field.setSelLength(int(field.Text().size()));
        field.Copy();
        field.setText(QString());
    }
    platform::Services previous;
};

TEST_F(RealWasteField, PasteThenCopyOfTheWholeFieldGivesEveryFormatBack)
{
    takenBy(offered());
    platform::WASTEfield field(nullptr);
    field.Paste();
    EXPECT_EQ(field.Text(), "Dear reader,\rthis is bold.\r");
    clipboard->setText(QString()); // the command empties the clipboard meanwhile
    restore(field);
    expectOffered(offered());
}

TEST_F(RealWasteField, TwoClipboardsPastedComeBackAsOne)
{
    const QByteArray png = pngBytes();
    const ClipboardContents note = {{"text/plain", "P.S. more"},
                                    {"text/html", "<b>P.S.</b> more"}};
    platform::WASTEfield field(nullptr);

    // Two texts run on as one; HTML that would tell only half of it is not offered.
    takenBy(offered());
    field.Paste();
    takenBy(note);
    field.Paste();
    restore(field);
    EXPECT_EQ(xclip("text/plain"), "Dear reader,\nthis is bold.\nP.S. more");
    EXPECT_FALSE(xclip("TARGETS").split('\n').contains("text/html"));
    expectOffered({offered()[2], offered()[3]});

    // A picture and then a text: both whole, the text with its own HTML.
    takenBy({{"image/png", png}});
    field.Paste();
    takenBy(note);
    field.Paste();
    restore(field);
    expectOffered(note + ClipboardContents{{"image/png", png}});
}

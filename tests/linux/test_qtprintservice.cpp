// The print service on Qt PrintSupport: the styled-text printer's pages in a PDF file, and
// printing through a private CUPS (CUPS_SERVER, with its queue writing TAPSEL_PDF_OUT; see
// scripts/e2e/cups.sh): what reaches paper, at what size, and no printer when CUPS has none.
#include "platform/linux/linuxplatform.h"
#include "platform/linux/qtprintservice.h"
#include "platform/styl.h"
#include "platform/styledtextfield.h"
#include "printing/printoutput.h"
#include "support/fakes.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

// Readable failures.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QSize &s, std::ostream *os) { *os << s.width() << "x" << s.height(); }

using platform::StyledTextField;
namespace styl = platform::styl;
namespace lx = platform::linux_x11;

namespace {

QString run(const QString &program, const QStringList &args, int *exitCode = nullptr)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(120000);
    if (exitCode)
        *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString words(const QString &text) { return text.simplified(); }

// The text of each page, whitespace made single spaces.
QStringList pageTexts(const QString &pdf)
{
    // In the order drawn: the reading-order guess reorders lines of mixed sizes.
    QStringList pages = run("pdftotext", {"-raw", pdf, "-"}).split(QChar('\f'));
    if (!pages.isEmpty() && words(pages.last()).isEmpty())
        pages.removeLast(); // pdftotext ends every page with a form feed
    for (QString &p : pages)
        p = words(p);
    return pages;
}

int pageCount(const QString &pdf)
{
    const auto m = QRegularExpression("Pages:\\s+(\\d+)").match(run("pdfinfo", {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QSize paperSize(const QString &pdf)
{
    const auto m =
        QRegularExpression("Page size:\\s+([\\d.]+) x ([\\d.]+) pts").match(run("pdfinfo", {pdf}));
    return m.hasMatch() ? QSize(qRound(m.captured(1).toDouble()), qRound(m.captured(2).toDouble()))
                        : QSize();
}

// The user at the dialogs: in Page Setup picks the paper and accepts; accepts Print as it comes.
class User : public QObject {
public:
    explicit User(const QString &paper) : paper_(paper)
    {
        connect(&poll_, &QTimer::timeout, this, [this] {
            for (QWidget *w : QApplication::topLevelWidgets()) {
                auto *dialog = qobject_cast<QDialog *>(w);
                if (!dialog || !dialog->isVisible())
                    continue;
                if (qobject_cast<QPageSetupDialog *>(dialog))
                    for (QComboBox *c : dialog->findChildren<QComboBox *>())
                        if (const int i = c->findText(paper_); i >= 0)
                            c->setCurrentIndex(i);
                if (qobject_cast<QPageSetupDialog *>(dialog) ||
                    qobject_cast<QPrintDialog *>(dialog)) {
                    seen.append(dialog->windowTitle());
                    dialog->accept();
                }
            }
        });
        poll_.start(50);
    }
    QStringList seen;

private:
    QString paper_;
    QTimer poll_;
};

// Height in points of the box pdftotext gives each word (about the font's size).
QHash<QString, double> wordHeights(const QString &pdf)
{
    QHash<QString, double> h;
    static const QRegularExpression word(
        "<word xMin=\"[^\"]+\" yMin=\"([^\"]+)\" xMax=\"[^\"]+\" yMax=\"([^\"]+)\">([^<]+)</word>");
    auto it = word.globalMatch(run("pdftotext", {"-bbox", pdf, "-"}));
    while (it.hasNext()) {
        const auto m = it.next();
        h.insert(m.captured(3), m.captured(2).toDouble() - m.captured(1).toDouble());
    }
    return h;
}

styl::Run runAt(int start, int size, quint8 face = 0)
{
    styl::Run r;
    r.start = start;
    r.family = 21; // Helvetica
    r.size = qint16(size);
    r.face = face;
    return r;
}

// A field whose paragraphs each have a size of their own.
void fill(StyledTextField &field, const QList<QPair<QString, int>> &paragraphs)
{
    QString text;
    QList<styl::Run> runs;
    for (const auto &[p, size] : paragraphs) {
        if (!text.isEmpty())
            text += QChar('\r');
        runs.append(runAt(int(text.size()), size));
        text += p;
    }
    field.setTextAndStyl(text, styl::encode(runs));
}

// Tall letters: no two lines of 380 points fit into one 672-point block, three small lines and
// one tall one do.
const QList<QPair<QString, int>> kThreeBlocks{
    {"Small", 12}, {"Large", 36}, {"B", 380}, {"C", 380}, {"D", 380}};
const QStringList kThreeBlocksPages{"Small Large B", "C", "D"};

// The in-memory platform with the real print service bound in place of its stand-in.
class RealPrintService : public ::testing::Test {
protected:
    void SetUp() override
    {
        print = lx::makePrintService();
        auto s = platform::services();
        s.print = print.get();
        platform::bind(s);
        field = std::make_unique<StyledTextField>(QFont("DejaVu Sans", 12), nullptr);
    }

    // A print job into a PDF file on a Letter page that draws on all but half-inch margins.
    std::unique_ptr<lx::QtPageContext> pdfJob(const QString &path)
    {
        auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(path);
        printer->setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                           QMarginsF(36, 36, 36, 36)));
        return std::make_unique<lx::QtPageContext>(printer);
    }

    fakes::FakePlatform platform_;
    std::unique_ptr<platform::PrintService> print;
    std::unique_ptr<StyledTextField> field;
    QTemporaryDir dir;
};

// The page loop on a PDF file, with the layout window given.
void printPages(const QTextDocument &doc, lx::QtPageContext &job, int windowChars)
{
    auto printer = lx::makeStyledTextPrinter(doc, job, kFixedPageWidth - 48, windowChars);
    while (!printer->endOfText()) {
        printer->drawBlock(36, 36, kFixedPageHeight - 48);
        if (!printer->endOfText())
            job.newPage();
    }
}

} // namespace

TEST_F(RealPrintService, BlocksBecomePagesWithNoEmptyPageAfterTheLast)
{
    struct Case {
        const char *name;
        QList<QPair<QString, int>> paragraphs;
        QStringList pages;
    };
    const QList<Case> cases{
        {"three blocks", kThreeBlocks, kThreeBlocksPages},
        {"one line taller than a block still prints", {{"I", 700}, {"next", 12}}, {"I", "next"}},
        {"one short line", {{"Hello paper", 12}}, {"Hello paper"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString pdf = dir.filePath(QString::fromLatin1(c.name) + ".pdf");
        fill(*field, c.paragraphs);
        PrintPages(*field, *pdfJob(pdf), kFixedPageWidth, kFixedPageHeight);
        EXPECT_EQ(pageCount(pdf), c.pages.size());
        EXPECT_EQ(pageTexts(pdf), c.pages);
    }

    // An empty field draws no block: the job never starts and nothing is written.
    field->setText(QString());
    PrintPages(*field, *pdfJob(dir.filePath("empty.pdf")), kFixedPageWidth, kFixedPageHeight);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("empty.pdf")));
}

TEST_F(RealPrintService, LongTextPrintsWholeAndTheSameWhateverTheLayoutWindow)
{
    // Paragraphs of many lengths and three styles; one paragraph runs over several pages.
    QRandomGenerator rng(7);
    QString text;
    QList<styl::Run> runs;
    const int sizes[] = {12, 18, 9};
    for (int p = 0; p < 60; ++p) {
        if (p)
            text += QChar('\r');
        const int wordsInParagraph = p == 20 ? 2500 : int(rng.bounded(0, 120));
        for (int w = 0; w < wordsInParagraph; ++w) {
            if (w % 7 == 0)
                runs.append(runAt(int(text.size()), sizes[rng.bounded(3)],
                                  quint8(rng.bounded(2) ? styl::Bold : 0)));
            text += QString::number(p) + QChar('w') + QString::number(w) +
                    QString(int(rng.bounded(0, 6)), QChar('x')) + QChar(' ');
        }
    }
    field->setTextAndStyl(text, styl::encode(runs));

    const QString whole = dir.filePath("whole.pdf"), windows = dir.filePath("windows.pdf");
    printPages(*field->document(), *pdfJob(whole), lx::kLayoutWindowChars);
    printPages(*field->document(), *pdfJob(windows), 157);

    const QStringList pages = pageTexts(whole);
    ASSERT_GT(pages.size(), 10);
    EXPECT_EQ(pageTexts(windows), pages);
    EXPECT_EQ(pages.join(' '), words(text.replace(QChar('\r'), QChar(' '))));
}

TEST_F(RealPrintService, TextPrintsAtItsPointSize)
{
    const QString pdf = dir.filePath("sizes.pdf");
    fill(*field, {{"Twelve", 12}, {"Thirtysix", 36}});
    PrintPages(*field, *pdfJob(pdf), kFixedPageWidth, kFixedPageHeight);
    const auto h = wordHeights(pdf);
    // The word boxes are about the font's size (ascent to descent); loosely.
    EXPECT_NEAR(h.value("Twelve"), 12 * 1.15, 12 * 0.3);
    EXPECT_NEAR(h.value("Thirtysix"), 36 * 1.15, 36 * 0.3);
}

// ---------------------------------------------------------------------------------------------
// Through CUPS

namespace {

QString cupsScript()
{
    const QString root = qEnvironmentVariable(
        "TAPSEL_ROOT", QFileInfo(QStringLiteral(__FILE__)).absolutePath() + "/../..");
    return QDir(root).absoluteFilePath("scripts/e2e/cups.sh");
}

class RealPrintServiceOnCups : public RealPrintService {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("CUPS_SERVER") ||
            qEnvironmentVariableIsEmpty("TAPSEL_PDF_OUT"))
            GTEST_SKIP() << "needs a private CUPS: eval \"$(scripts/e2e/cups.sh start DIR)\"";
        RealPrintService::SetUp();
        out = qEnvironmentVariable("TAPSEL_PDF_OUT");
        QFile::remove(out);
    }

    // Waits for the queue to finish; the PDF's path, or empty.
    QString printed()
    {
        const QString cupsDir = QFileInfo(qEnvironmentVariable("CUPS_SERVER")).absolutePath();
        int code = -1;
        return run("bash", {cupsScript(), "wait-pdf", cupsDir, "60"}, &code).trimmed();
    }

    QString out;
};

// Runs the test below in a process of its own (libcups keeps the first server it talks to)
// with CUPS_SERVER set to server; true when it passed.
bool noPrinterInChildWith(const QString &server)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("CUPS_SERVER", server);
    env.insert("TAPSEL_PRINT_CHILD", "1");
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_filter=RealPrintService.NoPrinterOnAnyPath"});
    child.waitForFinished(120000);
    const QString output = QString::fromUtf8(child.readAll());
    const bool passed = child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0 &&
                        output.contains("[  PASSED  ] 1 test");
    if (!passed)
        ADD_FAILURE() << output.toStdString();
    return passed;
}

} // namespace

TEST_F(RealPrintServiceOnCups, PrintDirectPutsTheFieldOnPaperAtItsSizes)
{
    fill(*field, kThreeBlocks);
    PrintDirect(*field);
    ASSERT_EQ(printed(), out);
    EXPECT_EQ(pageCount(out), 3);
    EXPECT_EQ(pageTexts(out), kThreeBlocksPages);
    const auto h = wordHeights(out);
    EXPECT_NEAR(h.value("Small"), 12 * 1.15, 12 * 0.3);
    EXPECT_NEAR(h.value("Large"), 36 * 1.15, 36 * 0.3);
}

TEST_F(RealPrintServiceOnCups, ThePageSetUpIsThePagePrinted)
{
    // Qt's own dialogs would lose the paper twice: its Page Setup offers margins the printer
    // refuses, and its Print dialog puts the default paper back.
    User user(QPageSize(QPageSize::Legal).name());
    fill(*field, {{"On legal paper", 12}});
    auto setup = print->newPageSetup();
    PrintThroughDialogs(*field, *setup);
    EXPECT_EQ(user.seen.size(), 2) << user.seen.join(", ").toStdString();
    EXPECT_EQ(QSize(setup->pageWidth(), setup->pageHeight()), QSize(576, 936)); // 18 36 594 972
    ASSERT_EQ(printed(), out);
    EXPECT_EQ(paperSize(out), QSize(612, 1008));
    EXPECT_EQ(pageTexts(out), QStringList{"On legal paper"});
}

TEST_F(RealPrintServiceOnCups, PageSetupMeasuresTheAreaThePrinterDrawsOn)
{
    // The queue's PPD draws on Letter within 18 36 594 756, on A4 within 18 36 577 806.
    auto setup = print->newPageSetup();
    const QSize page(setup->pageWidth(), setup->pageHeight());
    EXPECT_TRUE(page == QSize(576, 720) || page == QSize(559, 770))
        << ::testing::PrintToString(page);
}

// Run by the test below, in a process of its own.
TEST_F(RealPrintService, NoPrinterOnAnyPath)
{
    if (qEnvironmentVariableIsEmpty("TAPSEL_PRINT_CHILD"))
        GTEST_SKIP()
            << "runs in the child processes of NoPrinterWhenCupsHasNoneIsDownOrNeverAnswers";
    // Never a PDF file instead: the job runs where a stray file would land.
    QTemporaryDir cwd;
    const QString before = QDir::currentPath();
    QDir::setCurrent(cwd.path());
    auto setup = print->newPageSetup();
    EXPECT_FALSE(print->openPrinter());
    EXPECT_FALSE(print->pageSetupDialog(*setup)); // nothing to set up: no dialog either
    EXPECT_FALSE(print->printDialog(setup.get()));
    EXPECT_FALSE(print->printDialog(nullptr));
    field->setText("Nowhere to go");
    PrintDirect(*field);
    EXPECT_TRUE(QDir(cwd.path()).isEmpty());
    QDir::setCurrent(before);
}

TEST_F(RealPrintServiceOnCups, NoPrinterWhenCupsHasNoneIsDownOrNeverAnswers)
{
    {
        SCOPED_TRACE("a CUPS without destinations");
        QTemporaryDir empty(QDir::temp().filePath("tapsel-cups-XXXXXX"));
        int code = -1;
        run("bash", {cupsScript(), "start", empty.path(), "--no-queue"}, &code);
        ASSERT_EQ(code, 0);
        EXPECT_TRUE(noPrinterInChildWith(empty.filePath("cups.sock")));
        run("bash", {cupsScript(), "stop", empty.path()});
    }
    {
        SCOPED_TRACE("no cupsd at the socket");
        EXPECT_TRUE(noPrinterInChildWith(dir.filePath("none/cups.sock")));
    }
    {
        SCOPED_TRACE("a server that takes the connection and never answers");
        QLocalServer mute;
        ASSERT_TRUE(mute.listen(dir.filePath("mute.sock")));
        EXPECT_TRUE(noPrinterInChildWith(dir.filePath("mute.sock")));
    }
}

// Printing benchmarks, side by side in one run:
//  - the style-record merge (MergeStyleRecords) and the field merge (MergeStyleRuns) at 1, 1000
//    and 32767 runs, with a yield that does nothing and with the platform's real one;
//  - composing and printing a 100-page selection (about 300 KB, a few styles) to a PDF file
//    through the real styled-text printer, against enscript and paps on the same text.
//
//   cmake --build build --target tapsel_bench && build/bench/tapsel_bench [RUNS [tapsel [COPIES]]]
//
// RUNS (default 5) is how many times each case runs; the median is reported. "tapsel" runs
// Tapsel's own print alone (for a profiler, or for time and memory against size: COPIES
// selections one after the other, default 1). Runs on the offscreen platform unless
// QT_QPA_PLATFORM says otherwise. Build with optimisation (the default RelWithDebInfo).
#include "platform/linux/linuxplatform.h"
#include "platform/linux/qtprintservice.h"
#include "platform/points.h"
#include "platform/styl.h"
#include "platform/styledtextfield.h"
#include "printing/composition.h"
#include "printing/printoutput.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace styl = platform::styl;
namespace lx = platform::linux_x11;

namespace {

class NoYield : public platform::Framework {
public:
    void beep() override {}
    void messageBox(const QString &) override {}
    void yield() override {}
    void waitYield() override {}
    void openUrl(const QString &) override {}
    QSize mainScreenSize() override { return {1440, 900}; }
};

double medianMs(int runs, const std::function<void()> &setUp, const std::function<void()> &work)
{
    QList<double> ms;
    for (int i = 0; i < runs; ++i) {
        setUp();
        QElapsedTimer t;
        t.start();
        work();
        ms.append(t.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms.at(ms.size() / 2);
}

void bindFramework(platform::Framework *framework, platform::PrintService *print)
{
    platform::Services s;
    s.framework = framework;
    s.print = print;
    platform::bind(s);
}

// n runs of 20 bytes, one every 10 characters, cycling through four styles.
QList<styl::Run> runsOf(int n)
{
    QList<styl::Run> runs;
    for (int i = 0; i < n; ++i) {
        styl::Run r;
        r.start = 10 * i;
        r.family = qint16(i % 2 ? 21 : 20);
        r.face = quint8(i % 4 == 1 ? styl::Bold : i % 4 == 3 ? styl::Italic : 0);
        r.size = qint16(i % 4 == 2 ? 14 : 12);
        r.lineHeight = 16;
        r.ascent = 12;
        runs.append(r);
    }
    return runs;
}

QString textOf(int runs)
{
    QString t;
    for (int i = 0; i < runs; ++i)
        t += QStringLiteral("word%1 ").arg(i % 10000, 4, 10, QChar('0'));
    return t;
}

// About 300 KB of prose in lines of 50 to 75 characters, a blank line between paragraphs.
QString selectionText()
{
    static const char *const words[] = {
        "the",    "printer", "selection", "of",     "a",       "paragraph", "with",   "styles",
        "and",    "lines",   "which",     "page",   "column",  "text",      "in",     "points",
        "letter", "between", "every",     "window", "quickly", "together",  "before", "after",
        "is",     "to",      "document",  "user",   "copy",    "clipboard", "prints", "block"};
    QRandomGenerator rng(42);
    QString text;
    int lineInParagraph = 0;
    while (text.size() < 300 * 1024) {
        QString line;
        const int target = int(rng.bounded(50, 76));
        while (line.size() < target)
            line += QLatin1String(words[rng.bounded(int(std::size(words)))]) + QChar(' ');
        text += line.trimmed() + QChar('\r');
        if (++lineInParagraph == int(rng.bounded(4, 12))) {
            text += QChar('\r');
            lineInParagraph = 0;
        }
    }
    return text;
}

// A run of one of four styles about every 200 characters.
QByteArray selectionStyles(const QString &text)
{
    QList<styl::Run> runs = runsOf(4);
    QList<styl::Run> all;
    for (int at = 0, i = 0; at < text.size(); at += 200, ++i) {
        styl::Run r = runs.at(i % 4);
        r.start = at;
        all.append(r);
    }
    return styl::encode(all);
}

double runCommand(int runs, const QString &command)
{
    return medianMs(
        runs, [] {},
        [&] {
            QProcess p;
            p.start(QStringLiteral("bash"), {QStringLiteral("-c"), command});
            p.waitForFinished(-1);
            if (p.exitCode() != 0)
                std::fprintf(stderr, "%s failed: %s\n", qPrintable(command),
                             p.readAllStandardError().constData());
        });
}

int pdfPages(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {pdf});
    p.waitForFinished();
    for (const QByteArray &line : p.readAllStandardOutput().split('\n'))
        if (line.startsWith("Pages:"))
            return line.mid(6).trimmed().toInt();
    return -1;
}

int psPages(const QString &ps)
{
    QFile f(ps);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    return int(f.readAll().count("\n%%Page: "));
}

struct Yield {
    const char *name;
    platform::Framework *framework;
};

void benchMerges(int runs, const QList<Yield> &yields, platform::PrintService *print)
{
    std::printf("Merging style runs (the selection's n runs and the stamp's one):\n");
    std::printf("%-22s %8s %14s %14s\n", "", "runs", yields[0].name, yields[1].name);
    for (const int n : {1, 1000, 32767}) {
        const QByteArray a = styl::encode(runsOf(n));
        const QByteArray b = styl::encode(runsOf(1));
        double ms[2];
        for (int y = 0; y < 2; ++y) {
            bindFramework(yields[y].framework, print);
            ms[y] = medianMs(
                runs, [] {}, [&] { MergeStyleRecords(a, b, 10 * n); });
        }
        std::printf("%-22s %8d %14.3f %14.3f\n", "MergeStyleRecords", n, ms[0], ms[1]);
    }
    for (const int n : {1, 1000, 32767}) {
        platform::StyledTextField first(platform::classicFont("System", 12), nullptr);
        platform::StyledTextField second(platform::classicFont("system", 10), nullptr);
        const QString text = textOf(n);
        const QByteArray record = styl::encode(runsOf(n));
        double ms[2];
        for (int y = 0; y < 2; ++y) {
            bindFramework(yields[y].framework, print);
            ms[y] = medianMs(
                runs,
                [&] {
                    first.setTextAndStyl(text, record);
                    second.setText(StampText(QDateTime::currentDateTime()));
                },
                [&] { MergeStyleRuns(first, second); });
        }
        std::printf("%-22s %8d %14.3f %14.3f\n", "MergeStyleRuns", n, ms[0], ms[1]);
    }
}

struct TapselPrint {
    double ms = 0, composeMs = 0, loopMs = 0;
};

// As a print command does it: the captured text and runs into EditField1, the stamp into
// EditField2, the merge, then the page loop on the fixed page into a PDF file.
TapselPrint benchTapsel(int runs, const QString &selection, const QByteArray &styles,
                        const QString &pdf)
{
    platform::StyledTextField field1(platform::classicFont("System", 12), nullptr);
    platform::StyledTextField field2(platform::classicFont("system", 10), nullptr);
    TapselPrint r;
    r.ms = medianMs(
        runs, [&] { QFile::remove(pdf); },
        [&] {
            QElapsedTimer t;
            t.start();
            field1.setTextAndStyl(selection, styles);
            field2.setText(StampText(QDateTime::currentDateTime()));
            MergeStyleRuns(field1, field2);
            r.composeMs = t.nsecsElapsed() / 1e6;
            t.restart();
            auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(pdf);
            printer->setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                               QMarginsF(18, 36, 18, 36)));
            lx::QtPageContext job(printer);
            PrintPages(field1, job, kFixedPageWidth, kFixedPageHeight);
            r.loopMs = t.nsecsElapsed() / 1e6; // the job's end, writing the file, follows
        });
    return r;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? qMax(1, atoi(argv[1])) : 5;
    const bool tapselOnly = argc > 2 && QByteArray(argv[2]) == "tapsel";
    const int copies = tapselOnly && argc > 3 ? qMax(1, atoi(argv[3])) : 1;
    NoYield noYield;
    const auto realFramework = lx::makeFramework();
    const auto print = lx::makePrintService();

    std::printf("Median of %d runs, milliseconds.\n\n", runs);
    if (!tapselOnly)
        benchMerges(runs, {{"no-op yield", &noYield}, {"real yield", realFramework.get()}},
                    print.get());

    // The same selection three ways.
    QTemporaryDir dir;
    const QString selection = selectionText().repeated(copies);
    const QByteArray styles = selectionStyles(selection);
    const QString txt = dir.filePath("selection.txt");
    {
        QFile f(txt);
        f.open(QIODevice::WriteOnly);
        QString lf = selection;
        lf.replace(QChar('\r'), QChar('\n'));
        f.write(lf.toUtf8());
    }
    std::printf("\nA selection of %lld characters in %lld lines, %lld style runs, printed to a "
                "file (real yield):\n",
                qlonglong(selection.size()), qlonglong(selection.count(QChar('\r'))),
                qlonglong(styl::decode(styles, selection.size()).size()));
    bindFramework(realFramework.get(), print.get());
    const QString ours = dir.filePath("tapsel.pdf");
    const TapselPrint tapsel = benchTapsel(runs, selection, styles, ours);
    if (tapselOnly) {
        std::printf("Tapsel: %.1f ms (last run: composing %.1f, the page loop %.1f), %d pages\n",
                    tapsel.ms, tapsel.composeMs, tapsel.loopMs, pdfPages(ours));
        platform::bind({});
        return 0;
    }

    struct Row {
        QString name, output;
        double ms;
        int pages;
    };
    QList<Row> rows{{"Tapsel (compose + PDF)", "PDF", tapsel.ms, pdfPages(ours)}};
    // The same with a yield that does nothing: what the real yield's pacing costs.
    bindFramework(&noYield, print.get());
    const TapselPrint unpaced = benchTapsel(runs, selection, styles, ours);
    rows.append({"  the same, no-op yield", "PDF", unpaced.ms, pdfPages(ours)});
    const bool ghostscript = !QStandardPaths::findExecutable("ps2pdf").isEmpty();
    const QString pdfOut = dir.filePath("out.pdf"), psOut = dir.filePath("out.ps");
    if (!QStandardPaths::findExecutable("enscript").isEmpty()) {
        const QString e =
            QStringLiteral("enscript -q -B --word-wrap -f Times-Roman12 -o - '%1'").arg(txt);
        if (ghostscript)
            rows.append({"enscript | ps2pdf", "PDF",
                         runCommand(runs, e + QStringLiteral(" | ps2pdf - '%1'").arg(pdfOut)),
                         pdfPages(pdfOut)});
        rows.append({"enscript", "PostScript",
                     runCommand(runs, e + QStringLiteral(" > '%1'").arg(psOut)), psPages(psOut)});
    }
    int papsRow = -1;
    if (!QStandardPaths::findExecutable("paps").isEmpty()) {
        // This paps writes PostScript only (--format=pdf came with 0.7).
        const QString p = QStringLiteral("paps --font='DejaVu Sans 12' '%1'").arg(txt);
        papsRow = int(rows.size());
        rows.append({"paps", "PostScript",
                     runCommand(runs, p + QStringLiteral(" > '%1'").arg(psOut)), psPages(psOut)});
        if (ghostscript)
            rows.append({"paps | ps2pdf", "PDF",
                         runCommand(runs, p + QStringLiteral(" | ps2pdf - '%1'").arg(pdfOut)),
                         pdfPages(pdfOut)});
    }
    std::printf("%-24s %-11s %6s %12s %10s\n", "", "output", "pages", "ms", "vs paps");
    for (const Row &r : rows) {
        const QString ratio = papsRow >= 0 ? QString::number(r.ms / rows.at(papsRow).ms, 'f', 2)
                                           : QStringLiteral("-");
        std::printf("%-24s %-11s %6d %12.1f %10s\n", qPrintable(r.name), qPrintable(r.output),
                    r.pages, r.ms, qPrintable(ratio));
    }
    std::printf(
        "(Tapsel's last runs: composing %.1f ms, the page loop %.1f ms, then the file; with "
        "the no-op yield %.1f and %.1f.)\n",
        tapsel.composeMs, tapsel.loopMs, unpaced.composeMs, unpaced.loopMs);
    platform::bind({});
    return 0;
}

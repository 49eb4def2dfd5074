// The stamp, the merge of style records, and the styled field's runs.
#include "platform/styl.h"
#include "platform/styledtextfield.h"
#include "printing/composition.h"
#include "support/fixture.h"

#include <QTextCursor>
#include <QtEndian>

using StyleRun = platform::styl::Run;
namespace styl = platform::styl;

namespace {

StyleRun run(qint32 start, qint16 family = 3, quint8 face = 0, qint16 size = 12, quint16 red = 0)
{
    StyleRun r;
    r.start = start;
    r.lineHeight = 16;
    r.ascent = 12;
    r.family = family;
    r.face = face;
    r.size = size;
    r.red = red;
    return r;
}

qint16 countOf(const QByteArray &record) { return qFromBigEndian<qint16>(record.constData()); }

} // namespace

using Composition = PlatformTest;

TEST_F(Composition, StampIsDateTwoSpacesTimeAndSeparatorLast)
{
    const QDateTime moment(QDate(2026, 12, 11), QTime(9, 5));
    const QString stamp = StampText(moment);
    EXPECT_EQ(stamp, "\r\r" + DateText(moment) + "  " + TimeText(moment) + "\r" + kSeparatorLine);
    EXPECT_EQ(kSeparatorLine.size(), 62);
    EXPECT_FALSE(stamp.endsWith('\r'));
}

struct MergeCase {
    const char *name;
    QList<StyleRun> a;
    QList<StyleRun> b;
    qint32 l1;
};

TEST_F(Composition, MergeKeepsARunsAndShiftsBRunsByteForByte)
{
    const QList<MergeCase> cases = {
        {"abc then one-style block", {run(0)}, {run(0, 0, 0, 10)}, 3},
        {"zero bytes everywhere survive", {run(0, 0, 0, 0, 0)}, {run(0, 0, 0, 0, 0)}, 0},
        {"block of several runs keeps order", {run(0), run(5, 4, 1)},
         {run(0, 0), run(2, 20, 2), run(7, 22, 4, 9, 0xFFFF)}, 11},
        {"large offsets", {run(0)}, {run(0), run(70000)}, 1 << 20},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray a = styl::encode(c.a);
        const QByteArray b = styl::encode(c.b);
        const QByteArray merged = MergeStyleRecords(a, b, c.l1);
        QList<StyleRun> expected = c.a;
        for (StyleRun r : c.b) {
            r.start += c.l1;
            expected.append(r);
        }
        EXPECT_EQ(merged.size(), a.size() + b.size() - 2);
        EXPECT_EQ(merged, styl::encode(expected));
    }
}

TEST_F(Composition, MergeOfAbcWithOneRunBlockGives42Bytes)
{
    const QByteArray a = styl::encode({run(0)});
    const QByteArray b = styl::encode({run(0, 0, 0, 10)});
    ASSERT_EQ(a.size(), 22);
    const QByteArray merged = MergeStyleRecords(a, b, 3);
    ASSERT_EQ(merged.size(), 42);
    EXPECT_EQ(countOf(merged), 2);
    const QList<StyleRun> runs = styl::decode(merged, 100);
    ASSERT_EQ(runs.size(), 2);
    EXPECT_EQ(runs[0].start, 0);
    EXPECT_EQ(runs[1].start, 3);
}

TEST_F(Composition, MergeNeverWrapsTheRunCount)
{
    QList<StyleRun> many;
    for (int i = 0; i < styl::kMaxRuns; ++i)
        many.append(run(i));
    const QByteArray merged =
        MergeStyleRecords(styl::encode(many), styl::encode({run(0), run(1)}), styl::kMaxRuns);
    EXPECT_EQ(countOf(merged), styl::kMaxRuns);
    EXPECT_EQ(merged.size(), 2 + styl::kRunSize * styl::kMaxRuns);
}

TEST_F(Composition, MergeCutsUnsoundRecordsToWholeRuns)
{
    QByteArray a = styl::encode({run(0), run(2)});
    a.chop(5); // the count says 2, one run is whole
    QByteArray b = styl::encode({run(0)});
    b[0] = char(0xFF); // negative count
    const QByteArray merged = MergeStyleRecords(a, b, 4);
    EXPECT_EQ(merged, styl::encode({run(0)}));
}

TEST_F(Composition, MergeYieldsOncePerShiftedRunAndPerPiece)
{
    const QByteArray a = styl::encode({run(0)});
    const QByteArray b = styl::encode({run(0), run(1)});
    fx().framework.yields = 0;
    MergeStyleRecords(a, b, 5);
    EXPECT_GE(fx().framework.yields, 2 + 1);
}

TEST_F(Composition, DecodeKeepsOnlyWhatIsSound)
{
    struct Case {
        const char *name;
        QByteArray record;
        qsizetype textLength;
        QList<qint32> starts;
    };
    const QByteArray two = styl::encode({run(0), run(3)});
    QByteArray negative = two;
    negative[0] = char(0x80);
    QByteArray tooMany = two;
    tooMany[1] = char(9);
    const QList<Case> cases = {
        {"empty", {}, 5, {}},
        {"one byte", QByteArray(1, '\1'), 5, {}},
        {"negative count", negative, 5, {}},
        {"count larger than the record", tooMany, 5, {0, 3}},
        {"offset past the text", two, 2, {0}},
        {"out of order", styl::encode({run(0), run(4), run(2), run(5)}), 9, {0, 4, 5}},
        {"negative offset", styl::encode({run(-4), run(1)}), 9, {1}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QList<qint32> starts;
        for (const StyleRun &r : styl::decode(c.record, c.textLength))
            starts.append(r.start);
        EXPECT_EQ(starts, c.starts);
    }
}

TEST_F(Composition, FieldRoundTripsRunsAndMergesIntoTheFirstField)
{
    platform::StyledTextField first(QFont("System", 12), nullptr);
    platform::StyledTextField second(QFont("system", 10), nullptr);
    StyleRun bold = run(0, 22, styl::Bold | styl::Italic, 14, 0xFF00);
    StyleRun plain = run(6, 20, 0, 9);
    first.setTextAndStyl(QStringLiteral("Hello\rworld"), styl::encode({bold, plain}));
    EXPECT_EQ(first.text(), "Hello\rworld");
    QList<StyleRun> runs = styl::decode(first.styl(), 11);
    ASSERT_EQ(runs.size(), 2);
    EXPECT_EQ(runs[0].family, 22);
    EXPECT_EQ(runs[0].face, styl::Bold | styl::Italic);
    EXPECT_EQ(runs[0].size, 14);
    EXPECT_EQ(runs[0].red, 0xFF00); // every byte as given
    QTextCursor at(first.document());
    at.setPosition(1);
    EXPECT_TRUE(at.charFormat().font().bold());
    EXPECT_TRUE(at.charFormat().fontItalic());
    EXPECT_EQ(at.charFormat().fontPointSize(), 14);
    EXPECT_EQ(at.charFormat().foreground().color().red(), 255);
    EXPECT_EQ(at.charFormat().fontFamilies().toStringList().value(0), "Courier");
    EXPECT_EQ(runs[1].start, 6);
    EXPECT_EQ(runs[1].family, 20);

    second.setText(QStringLiteral("\r\rstamp"));
    MergeStyleRuns(first, second);
    EXPECT_EQ(first.text(), "Hello\rworld\r\rstamp");
    runs = styl::decode(first.styl(), first.text().size());
    ASSERT_EQ(runs.size(), 3);
    EXPECT_EQ(runs[2].start, 11);
    EXPECT_EQ(runs[2].size, 10);
    EXPECT_EQ(styl::familyName(runs[2].family).toLower(), "system");
    EXPECT_EQ(second.text(), "\r\rstamp");
}

TEST_F(Composition, EmptyBlockAddsNothingToTheText)
{
    platform::StyledTextField first(QFont("System", 12), nullptr);
    platform::StyledTextField second(QFont("system", 10), nullptr);
    first.setText(QStringLiteral("abc"));
    second.setText(QString());
    EXPECT_EQ(countOf(second.styl()), 1);
    MergeStyleRuns(first, second);
    EXPECT_EQ(first.text(), "abc");
}

TEST_F(Composition, RichTextGivesRunsOnlyWhenItsTextAgrees)
{
    const QString html = QStringLiteral("<p>plain <b>bold</b> <span style=\"color:#ff0000\">red</span></p>");
    const QByteArray record = styl::fromRichText(html, QStringLiteral("plain bold red"));
    const QList<StyleRun> runs = styl::decode(record, 14);
    ASSERT_GE(runs.size(), 3);
    bool sawBold = false, sawRed = false;
    for (const StyleRun &r : runs) {
        sawBold = sawBold || (r.start == 6 && (r.face & styl::Bold));
        sawRed = sawRed || (r.start == 11 && r.red == 0xFFFF);
    }
    EXPECT_TRUE(sawBold);
    EXPECT_TRUE(sawRed);
    EXPECT_TRUE(styl::fromRichText(html, QStringLiteral("something else")).isEmpty());
    // Malformed and hostile rich text: no crash, nothing that disagrees.
    for (const char *bad : {"<b><i><table><tr><td>x", "<<<>>>&#xFFFFFFFF;", "<p style=\"font-size:99999999pt\">x</p>"}) {
        const QByteArray r = styl::fromRichText(QString::fromUtf8(bad), QStringLiteral("x"));
        for (const StyleRun &run : styl::decode(r, 1))
            EXPECT_LE(run.start, 1);
    }
}

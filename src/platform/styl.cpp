#include "platform/styl.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QtEndian>

namespace platform::styl {

namespace {

// Face bits Qt cannot draw ride along in the format so that they survive a round trip.
constexpr int kHiddenFaceProperty = QTextFormat::UserProperty + 17;
constexpr qsizetype kMaxRichTextBytes = 16 * 1024 * 1024;

struct ClassicFamily {
    const char *name;
    qint16 number;
};
constexpr ClassicFamily kClassic[] = {
    {"System", 0},  {"application", 1}, {"New York", 2}, {"Geneva", 3},
    {"Monaco", 4},  {"Times", 20},      {"Helvetica", 21}, {"Courier", 22},
};

struct FamilyTable {
    QHash<QString, qint16> numbers; // lower-cased name -> number
    QHash<qint16, QString> names;
    qint16 next = 1024;
    FamilyTable()
    {
        for (const auto &c : kClassic) {
            numbers.insert(QString::fromLatin1(c.name).toLower(), c.number);
            names.insert(c.number, QString::fromLatin1(c.name));
        }
    }
};

FamilyTable &table()
{
    static FamilyTable t;
    return t;
}

QString normalised(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\r"));
    text.replace(QChar('\n'), QChar('\r'));
    text.replace(QChar::ParagraphSeparator, QChar('\r'));
    text.replace(QChar::LineSeparator, QChar('\r'));
    text.replace(QChar::Nbsp, QChar(' '));
    return text;
}

QString trimmedEnd(QString text)
{
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    return text;
}

} // namespace

QByteArray encode(const QList<Run> &runs)
{
    const qsizetype n = qMin<qsizetype>(runs.size(), kMaxRuns);
    QByteArray out(2 + kRunSize * n, '\0');
    auto *p = reinterpret_cast<uchar *>(out.data());
    qToBigEndian<qint16>(qint16(n), p);
    for (qsizetype i = 0; i < n; ++i) {
        const Run &r = runs[i];
        uchar *q = p + 2 + kRunSize * i;
        qToBigEndian<qint32>(r.start, q);
        qToBigEndian<qint16>(r.lineHeight, q + 4);
        qToBigEndian<qint16>(r.ascent, q + 6);
        qToBigEndian<qint16>(r.family, q + 8);
        q[10] = r.face;
        q[11] = r.filler;
        qToBigEndian<qint16>(r.size, q + 12);
        qToBigEndian<quint16>(r.red, q + 14);
        qToBigEndian<quint16>(r.green, q + 16);
        qToBigEndian<quint16>(r.blue, q + 18);
    }
    return out;
}

QList<Run> decode(const QByteArray &record, qsizetype textLength)
{
    QList<Run> runs;
    if (record.size() < 2)
        return runs;
    const auto *p = reinterpret_cast<const uchar *>(record.constData());
    const qint16 count = qFromBigEndian<qint16>(p);
    if (count <= 0)
        return runs;
    const qsizetype whole = (record.size() - 2) / kRunSize;
    const qsizetype n = qMin<qsizetype>(count, whole);
    runs.reserve(n);
    for (qsizetype i = 0; i < n; ++i) {
        const uchar *q = p + 2 + kRunSize * i;
        Run r;
        r.start = qFromBigEndian<qint32>(q);
        r.lineHeight = qFromBigEndian<qint16>(q + 4);
        r.ascent = qFromBigEndian<qint16>(q + 6);
        r.family = qFromBigEndian<qint16>(q + 8);
        r.face = q[10];
        r.filler = q[11];
        r.size = qFromBigEndian<qint16>(q + 12);
        r.red = qFromBigEndian<quint16>(q + 14);
        r.green = qFromBigEndian<quint16>(q + 16);
        r.blue = qFromBigEndian<quint16>(q + 18);
        if (r.start < 0 || r.start > textLength)
            continue;
        if (!runs.isEmpty() && r.start < runs.back().start)
            continue;
        runs.append(r);
    }
    return runs;
}

qint16 familyNumber(const QString &family)
{
    FamilyTable &t = table();
    const QString key = family.toLower();
    auto it = t.numbers.constFind(key);
    if (it != t.numbers.constEnd())
        return *it;
    if (t.next == kMaxRuns) // table full: fall back on System
        return 0;
    const qint16 number = t.next++;
    t.numbers.insert(key, number);
    t.names.insert(number, family);
    return number;
}

QString familyName(qint16 number)
{
    const FamilyTable &t = table();
    return t.names.value(number, QStringLiteral("System"));
}

QStringList familyFallbacks(const QString &family)
{
    const QString f = family.toLower();
    static const QStringList sans{QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")};
    static const QStringList serif{QStringLiteral("DejaVu Serif"), QStringLiteral("Serif")};
    static const QStringList mono{QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Monospace")};
    if (f == "system" || f == "application" || f == "geneva" || f == "helvetica"
        || f == "lucida grande")
        return sans;
    if (f == "new york" || f == "times")
        return serif;
    if (f == "monaco" || f == "courier")
        return mono;
    return {};
}

Run runFromFormat(const QTextCharFormat &format, const QFont &base)
{
    Run r;
    const QStringList families = format.fontFamilies().toStringList();
    const QString family = families.isEmpty() ? base.family() : families.first();
    r.family = familyNumber(family);
    const qreal size = format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize()
                                                                      : base.pointSizeF();
    r.size = qint16(qBound<qreal>(1, qRound(size > 0 ? size : 12), 32767));
    quint8 face = 0;
    const int weight = format.hasProperty(QTextFormat::FontWeight) ? format.fontWeight()
                                                                   : base.weight();
    if (weight >= QFont::DemiBold)
        face |= Bold;
    if (format.hasProperty(QTextFormat::FontItalic) ? format.fontItalic() : base.italic())
        face |= Italic;
    if (format.fontUnderline())
        face |= Underline;
    if (format.hasProperty(QTextFormat::FontStretch)) {
        const int stretch = format.fontStretch();
        if (stretch > 0 && stretch < 100)
            face |= Condensed;
        else if (stretch > 100)
            face |= Extended;
    }
    face |= quint8(format.intProperty(kHiddenFaceProperty) & (Outline | Shadow));
    r.face = face;
    QColor c(Qt::black);
    if (format.hasProperty(QTextFormat::ForegroundBrush)
        && format.foreground().style() != Qt::NoBrush)
        c = format.foreground().color();
    r.red = quint16(c.red() * 257);
    r.green = quint16(c.green() * 257);
    r.blue = quint16(c.blue() * 257);
    QFont f(familyFallbacks(family).value(0, family));
    f.setPointSize(r.size);
    const QFontMetricsF m(f);
    r.lineHeight = qint16(qMin<qreal>(32767, qRound(m.height())));
    r.ascent = qint16(qMin<qreal>(32767, qRound(m.ascent())));
    return r;
}

QTextCharFormat formatFromRun(const Run &run)
{
    QTextCharFormat f;
    const QString name = familyName(run.family);
    f.setFontFamilies(QStringList{name} + familyFallbacks(name));
    f.setFontPointSize(run.size > 0 ? run.size : 12);
    f.setFontWeight(run.face & Bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(run.face & Italic);
    f.setFontUnderline(run.face & Underline);
    if (run.face & Condensed)
        f.setFontStretch(QFont::Condensed);
    else if (run.face & Extended)
        f.setFontStretch(QFont::Expanded);
    if (run.face & (Outline | Shadow))
        f.setProperty(kHiddenFaceProperty, int(run.face & (Outline | Shadow)));
    f.setForeground(QColor(run.red >> 8, run.green >> 8, run.blue >> 8));
    return f;
}

QByteArray fromDocument(const QTextDocument &document)
{
    const QFont base = document.defaultFont();
    QList<Run> runs;
    auto add = [&](qint32 start, const QTextCharFormat &format) {
        Run r = runFromFormat(format, base);
        r.start = start;
        if (!runs.isEmpty()) {
            Run prev = runs.back();
            prev.start = start;
            if (prev == r)
                return;
        }
        if (runs.size() < kMaxRuns)
            runs.append(r);
    };
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.length() <= 1 && runs.isEmpty())
            add(block.position(), block.charFormat());
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.isValid())
                add(fragment.position(), fragment.charFormat());
        }
    }
    if (runs.isEmpty())
        add(0, QTextCharFormat());
    return encode(runs);
}

void applyToDocument(QTextDocument &document, const QByteArray &record)
{
    const qsizetype length = document.characterCount() - 1;
    const QList<Run> runs = decode(record, length);
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (qsizetype i = 0; i < runs.size(); ++i) {
        const qsizetype end = i + 1 < runs.size() ? runs[i + 1].start : length;
        if (end <= runs[i].start)
            continue;
        cursor.setPosition(runs[i].start);
        cursor.setPosition(int(end), QTextCursor::KeepAnchor);
        cursor.setCharFormat(formatFromRun(runs[i]));
    }
    cursor.endEditBlock();
}

QByteArray fromRichText(const QString &html, const QString &plainText)
{
    if (html.isEmpty() || html.size() > kMaxRichTextBytes)
        return {};
    QTextDocument doc;
    doc.setDefaultFont(QFont(QStringLiteral("System"), 12));
    doc.setHtml(html);
    const QString docText = normalised(doc.toPlainText());
    const QString plain = normalised(plainText);
    if (docText == plain)
        return fromDocument(doc);
    if (trimmedEnd(docText) != trimmedEnd(plain))
        return {};
    // Only trailing white space differs: keep the runs that start inside the text.
    QList<Run> runs = decode(fromDocument(doc), plain.size());
    return runs.isEmpty() ? QByteArray() : encode(runs);
}

} // namespace platform::styl

// The "styl" style-run record (TextEdit's style scrap, big-endian), and its conversion to
// and from the character formats of a QTextDocument. Offsets count QString characters.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QString>

class QTextDocument;
class QTextCharFormat;
class QFont;

namespace platform::styl {

inline constexpr int kRunSize = 20;
inline constexpr int kMaxRuns = 32767;

enum Face : quint8 {
    Bold = 1,
    Italic = 2,
    Underline = 4,
    Outline = 8,
    Shadow = 16,
    Condensed = 32,
    Extended = 64,
};

struct Run {
    qint32 start = 0;
    qint16 lineHeight = 0;
    qint16 ascent = 0;
    qint16 family = 0;
    quint8 face = 0;
    quint8 filler = 0;
    qint16 size = 12;
    quint16 red = 0, green = 0, blue = 0;
    bool operator==(const Run &) const = default;
};

QByteArray encode(const QList<Run> &runs);
// Keeps what is sound: a negative count reads as none, a short record gives the runs it
// holds whole, and runs past textLength or out of order are dropped.
QList<Run> decode(const QByteArray &record, qsizetype textLength);

// Classic family numbers (0 System ... 22 Courier) for the classic names; any other name
// gets a number from a process-wide table.
qint16 familyNumber(const QString &family);
QString familyName(qint16 number);
// Installed look-alikes to fall back on for a family name.
QStringList familyFallbacks(const QString &family);

Run runFromFormat(const QTextCharFormat &format, const QFont &base);
QTextCharFormat formatFromRun(const Run &run);

// The document's runs; always at least one run, even for an empty document.
QByteArray fromDocument(const QTextDocument &document);
// Applies the record's runs to the document's text; text before the first run keeps its format.
void applyToDocument(QTextDocument &document, const QByteArray &record);

// Runs of rich text (HTML) whose text agrees with plainText (CR line breaks); empty when
// the two texts disagree, so text and runs never drift apart.
QByteArray fromRichText(const QString &html, const QString &plainText);

} // namespace platform::styl

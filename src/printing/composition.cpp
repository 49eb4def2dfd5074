#include "printing/composition.h"

#include "platform/services.h"
#include "platform/styl.h"
#include "platform/styledtextfield.h"

#include <QLocale>
#include <QtEndian>

QString DateText(const QDateTime &moment)
{
    return QLocale().toString(moment.date(), QLocale::ShortFormat);
}

QString TimeText(const QDateTime &moment)
{
    return QLocale().toString(moment.time(), QLocale::ShortFormat);
}

QString StampText(const QDateTime &moment)
{
    return QStringLiteral("\r\r") + DateText(moment) + QStringLiteral("  ") + TimeText(moment)
           + QStringLiteral("\r") + kSeparatorLine;
}

QByteArray MergeStyleRecords(const QByteArray &a, const QByteArray &b, qint32 l1)
{
    using platform::styl::kMaxRuns;
    using platform::styl::kRunSize;
    auto runsIn = [](const QByteArray &r) -> qsizetype {
        if (r.size() < 2)
            return 0;
        const auto n = qFromBigEndian<qint16>(r.constData());
        return qBound<qsizetype>(0, qsizetype(n), (r.size() - 2) / kRunSize);
    };
    // Records that are not whole are cut to the runs they hold.
    const qsizetype na = runsIn(a);
    qsizetype nb = runsIn(b);
    nb = qMin<qsizetype>(nb, kMaxRuns - na);
    QByteArray recA = a.left(2 + kRunSize * na);
    recA.resize(2 + kRunSize * na);
    qToBigEndian<qint16>(qint16(na), recA.data());
    const QByteArray recB = QByteArray(2, '\0') + b.mid(2, kRunSize * nb);
    const qsizetype sa = recA.size();
    const qsizetype sb = recB.size();

    QByteArray buffer(sa + sb, '\0');
    auto *p = reinterpret_cast<uchar *>(buffer.data());
    memcpy(p, recA.constData(), size_t(sa));
    memcpy(p + sa, recB.constData() + 2, size_t(sb - 2));
    qToBigEndian<qint16>(qint16(qFromBigEndian<qint16>(p) + nb), p);
    for (qsizetype i = nb - 1; i >= 0; --i) {
        uchar *offset = p + sa + kRunSize * i;
        qToBigEndian<qint32>(qFromBigEndian<qint32>(offset) + l1, offset);
        platform::framework().yield();
    }
    // Read back piece by piece: a zero byte alone, or the bytes up to the next zero.
    QByteArray merged;
    merged.reserve(sa + sb - 2);
    const qsizetype total = sa + sb - 2;
    while (merged.size() < total) {
        const qsizetype at = merged.size();
        if (p[at] == 0) {
            merged.append('\0');
        } else {
            qsizetype end = at;
            while (end < total && p[end] != 0)
                ++end;
            merged.append(buffer.constData() + at, end - at);
        }
        platform::framework().yield();
    }
    return merged;
}

void MergeStyleRuns(platform::StyledTextField &first, platform::StyledTextField &second)
{
    const QByteArray a = first.styl();
    const QByteArray b = second.styl();
    const QString firstText = first.text();
    const QByteArray merged = MergeStyleRecords(a, b, qint32(firstText.size()));
    first.setTextAndStyl(firstText + second.text(), merged);
}

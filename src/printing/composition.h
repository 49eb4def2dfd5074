// Composing the print document: the date-and-time stamp and the merge of two fields'
// style runs into the first field.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace platform {
class StyledTextField;
}

inline const QString kSeparatorLine =
    QStringLiteral("---------------------------Selection--------------------------");

// The locale's short date and short time forms.
QString DateText(const QDateTime &moment);
QString TimeText(const QDateTime &moment);

QString StampText(const QDateTime &moment);

// The joined record: A's runs, then B's runs each moved l1 characters later. Never more
// than 32767 runs: B's runs past that are left out, so the count never wraps.
QByteArray MergeStyleRecords(const QByteArray &a, const QByteArray &b, qint32 l1);

// The first field becomes its text followed by the second's, with the joined runs.
void MergeStyleRuns(platform::StyledTextField &first, platform::StyledTextField &second);

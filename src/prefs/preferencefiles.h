// The two one-line preference files beside the application and the flags they set.
#pragma once

#include <QString>

namespace Prefs {

inline const QString kPageSetUpFile = QStringLiteral(":Tapsel Resources:PageSetUp Preference");
inline const QString kPrinterDialogFile =
    QStringLiteral(":Tapsel Resources:PrinterDialog Preference");
inline const QString kPageSetUpTrue = QStringLiteral("PageSetUpTrue");
inline const QString kPageSetUpFalse = QStringLiteral("PageSetUpFalse");
inline const QString kPrintDialogTrue = QStringLiteral("PrintDialogTrue");
inline const QString kPrintDialogFalse = QStringLiteral("PrintDialogFalse");

// Longest first line worth reading; a keyword is far shorter.
inline constexpr qint64 kMaxLineBytes = 4096;

// Replaces the file with the keyword and one line end, atomically: a failed write keeps
// the old file and leaves one line in the diagnostic log. True when the file was written.
bool WritePreferenceFile(const QString &colonPath, const QString &keyword);

} // namespace Prefs

// True when the file's first line, without its line end, is the keyword (letter case aside).
// Anything else is not true: missing, empty, unreadable, not a plain file, other text.
bool PreferenceFileIsTrue(const QString &colonPath, const QString &trueKeyword);

// Start-up: the View flags (and the Preferences window's boxes, when a file is true) from
// the files; the Dock's one-shot choices cleared.
void LoadPreferences();

// Both files from the Preferences window's boxes.
void SavePreferences();

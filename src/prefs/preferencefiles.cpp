#include "prefs/preferencefiles.h"

#include "common/module1.h"
#include "platform/services.h"
#include "prefs/preferenceswindow.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <optional>

namespace {

// The first line of a file, or nothing when it is not a readable plain file or its first
// line is longer than anything worth comparing. Line ends are LF, CRLF or a lone CR.
std::optional<QByteArray> firstLine(const QString &path)
{
    if (path.isEmpty())
        return std::nullopt;
    const QFileInfo info(path);
    if (!info.isFile()) // also keeps a directory or a FIFO from being opened
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray head = file.read(Prefs::kMaxLineBytes + 1);
    file.close();
    qsizetype end = head.size();
    for (qsizetype i = 0; i < head.size(); ++i) {
        if (head[i] == '\n' || head[i] == '\r') {
            end = i;
            break;
        }
    }
    if (end > Prefs::kMaxLineBytes)
        return std::nullopt;
    return head.left(end);
}

} // namespace

bool PreferenceFileIsTrue(const QString &colonPath, const QString &trueKeyword)
{
    const auto line = firstLine(platform::files().resolve(colonPath));
    if (!line)
        return false;
    // Decoding never fails: bytes that are not UTF-8 become replacement characters.
    return Module1::TextEquals(QString::fromUtf8(*line), trueKeyword);
}

void LoadPreferences()
{
    if (PreferenceFileIsTrue(Prefs::kPageSetUpFile, Prefs::kPageSetUpTrue)) {
        PreferencesWindow &w = PreferencesWindow::instance();
        w.PageSetUpCheckbox->setChecked(true);
        w.PrintDialogCheckbox->setChecked(false);
        Module1::ViewPageSetUp = true;
        Module1::ViewPrinterDialog = false;
    }
    if (PreferenceFileIsTrue(Prefs::kPrinterDialogFile, Prefs::kPrintDialogTrue)) {
        PreferencesWindow &w = PreferencesWindow::instance();
        w.PrintDialogCheckbox->setChecked(true);
        w.PageSetUpCheckbox->setChecked(false);
        Module1::ViewPageSetUp = false;
        Module1::ViewPrinterDialog = true;
    }
    Module1::DockPageSetUpPref = false;
    Module1::DockPrintDialogPref = false;
}

bool Prefs::WritePreferenceFile(const QString &colonPath, const QString &keyword)
{
    const QString path = platform::files().resolve(colonPath);
    QString why;
    if (path.isEmpty()) {
        why = QStringLiteral("no such place");
    } else if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        why = QStringLiteral("cannot create the folder");
    } else {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly)) {
            why = file.errorString();
        } else {
            const QByteArray line = keyword.toUtf8() + '\n';
            if (file.write(line) != line.size() || !file.commit())
                why = file.errorString(); // commit() failing leaves the old file in place
        }
    }
    if (why.isEmpty())
        return true;
    platform::log().DebugMessageMBS(QStringLiteral("Tapsel could not save \"%1\": %2")
                                        .arg(path.isEmpty() ? colonPath : path, why));
    return false;
}

void SavePreferences()
{
    PreferencesWindow &w = PreferencesWindow::instance();
    const bool pageSetUp = w.PageSetUpCheckbox->isChecked();
    const bool printDialog = w.PrintDialogCheckbox->isChecked();
    Prefs::WritePreferenceFile(Prefs::kPageSetUpFile,
                               pageSetUp ? Prefs::kPageSetUpTrue : Prefs::kPageSetUpFalse);
    Prefs::WritePreferenceFile(Prefs::kPrinterDialogFile,
                               printDialog ? Prefs::kPrintDialogTrue : Prefs::kPrintDialogFalse);
}

// The framework's small services over Qt: beep, the modal message, the yield point, web
// addresses and the main screen's size in points.
#include "platform/linux/linuxplatform.h"
#include "platform/points.h"

#include <QApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QScreen>
#include <QThread>
#include <QUrl>

namespace platform::linux_x11 {

namespace {

// The commands wait for the front application's copy by counting 100000 to 300000 waitYields.
// An idle turn of Qt's loop takes well under a microsecond, which would make that wait a
// fraction of a second; so every batch of yields is stretched to a fixed least duration, and
// 200000 yields last about 1.2 seconds whatever the machine.
constexpr int kPaceEvery = 100;
constexpr qint64 kLeastNsPerYield = 6000;

class QtFramework : public Framework {
public:
    void beep() override { QApplication::beep(); }

    void messageBox(const QString &text) override
    {
        QString shown = text;
        shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        shown.replace(QChar('\r'), QChar('\n'));
        QMessageBox box(QMessageBox::Information, QStringLiteral("Tapsel"), shown,
                        QMessageBox::Ok);
        box.setTextFormat(Qt::PlainText);
        box.setWindowModality(Qt::ApplicationModal); // resets the window flags: before them
        // Tapsel has no other window in sight: the message must come up on top, in front.
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
        box.show();
        box.raise();
        box.activateWindow();
        box.exec();
    }

    void yield() override { QCoreApplication::processEvents(); }

    void waitYield() override
    {
        QCoreApplication::processEvents();
        if (++calls_ % kPaceEvery != 0)
            return;
        if (!clock_.isValid())
            clock_.start();
        // Each batch ends on its due time, counted from the last one's, so oversleeping once
        // is made up by the next; a wait that starts after a pause starts its count anew.
        const qint64 batch = kPaceEvery * kLeastNsPerYield;
        const qint64 now = clock_.nsecsElapsed();
        if (now < due_) {
            QThread::usleep(static_cast<unsigned long>((due_ - now) / 1000));
            due_ += batch;
        } else {
            due_ = now + batch;
        }
    }

    void openUrl(const QString &url) override
    {
        QDesktopServices::openUrl(QUrl::fromUserInput(url));
    }

    QSize mainScreenSize() override
    {
        const QScreen *screen = QGuiApplication::primaryScreen();
        if (!screen)
            return {0, 0};
        const qreal perPoint = pixelsPerPoint();
        const QSize pixels = screen->size();
        return {qRound(pixels.width() / perPoint), qRound(pixels.height() / perPoint)};
    }

private:
    quint64 calls_ = 0;
    QElapsedTimer clock_;
    qint64 due_ = 0;
};

} // namespace

std::unique_ptr<Framework> makeFramework() { return std::make_unique<QtFramework>(); }

} // namespace platform::linux_x11

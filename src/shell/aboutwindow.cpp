#include "shell/aboutwindow.h"
#include "common/windowsetup.h"

#include "platform/points.h"
#include "shell/pictures.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

using platform::pt;
using platform::ptRect;

AboutTapselWindow::AboutTapselWindow() : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("AboutTapselWindow"));
    SetUpWindow(*this, QStringLiteral("About Tapsel 2.0"), 530, 406, QColor(239, 239, 239));

    ImageWell1 = new QLabel(this);
    ImageWell1->setObjectName(QStringLiteral("ImageWell1"));
    ImageWell1->setGeometry(ptRect(0, 0, 530, 406));
    ImageWell1->setAlignment(Qt::AlignCenter);
    ImageWell1->setScaledContents(true);
    ImageWell1->setPixmap(Pictures::Tapsel2());

    // In the middle of the screen, so that the whole picture shows.
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect r = geometry();
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }
}

#include "common/windowsetup.h"

#include "platform/points.h"

#include <QWidget>

using platform::pt;

void SetUpWindow(QWidget &window, const QString &title, qreal width, qreal height,
                 const QColor &background)
{
    window.setWindowTitle(title);
    window.setMinimumSize(pt(64), pt(64));
    window.setMaximumSize(pt(32000), pt(32000));
    window.resize(pt(width), pt(height));
    if (!background.isValid())
        return;
    window.setAutoFillBackground(true);
    QPalette pal = window.palette();
    pal.setColor(QPalette::Window, background);
    window.setPalette(pal);
}

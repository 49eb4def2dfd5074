// Tapsel's sizes are points; on screen a point is 1/72 inch at the screen's logical DPI.
#pragma once

#include <QFont>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>

namespace platform {

inline qreal pixelsPerPoint()
{
    const QScreen *s = QGuiApplication::primaryScreen();
    const qreal dpi = s ? s->logicalDotsPerInchY() : 96.0;
    return dpi > 0 ? dpi / 72.0 : 1.0;
}

inline int pt(qreal points) { return qRound(points * pixelsPerPoint()); }

inline QRect ptRect(qreal left, qreal top, qreal width, qreal height)
{
    return QRect(pt(left), pt(top), pt(width), pt(height));
}

// A font by its classic name and point size, with installed look-alikes behind it.
QFont classicFont(const QString &family, qreal pointSize);

} // namespace platform

// The settings every Tapsel window is made with: its title, its size in points (at least
// 64 x 64, at most 32000 x 32000) and, where it has one, its own background colour.
#pragma once

#include <QColor>
#include <QString>

class QWidget;

void SetUpWindow(QWidget &window, const QString &title, qreal width, qreal height,
                 const QColor &background = QColor());

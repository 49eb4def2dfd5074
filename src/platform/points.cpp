#include "platform/points.h"

#include "platform/styl.h"

namespace platform {

QFont classicFont(const QString &family, qreal pointSize)
{
    QFont f;
    f.setFamilies(QStringList{family} + styl::familyFallbacks(family));
    f.setPointSizeF(pointSize);
    return f;
}

} // namespace platform

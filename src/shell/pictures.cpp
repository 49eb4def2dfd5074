#include "shell/pictures.h"

// The pictures live in a static library: register its resources before the first read.
static void registerResources() { Q_INIT_RESOURCE(tapsel); }

namespace Pictures {

namespace {
int readCount = 0;

QPixmap read(int id)
{
    ++readCount;
    registerResources();
    return QPixmap(QStringLiteral(":/pictures/%1.png").arg(id));
}
} // namespace

QPixmap TapselNewIcon2Larger()
{
    static const QPixmap picture = read(170);
    return picture;
}

QPixmap Tapsel2()
{
    static const QPixmap picture = read(172);
    return picture;
}

int loads() { return readCount; }

} // namespace Pictures

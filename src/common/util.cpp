#include "common/util.h"

#include "platform/services.h"

#include <QApplication>
#include <QWidget>

namespace Util {

void Write(const QString &text)
{
    // The event-log windows live above this folder; they are found by class name.
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->inherits("MainWindow"))
            QMetaObject::invokeMethod(w, "insertLogRow", Qt::DirectConnection, Q_ARG(QString, text));
    platform::log().DebugMessageMBS(text);
}

} // namespace Util

#include "platform/globalhotkey.h"

#include "platform/services.h"

#include <QPointer>

namespace platform {

GlobalHotKey::GlobalHotKey(QObject *parent) : QObject(parent) {}

GlobalHotKey::~GlobalHotKey() = default;

bool GlobalHotKey::RegisterHotKey(const QString &signature, const QString &id, int keyCode,
                                  int modifiers)
{
    Q_UNUSED(signature);
    Q_UNUSED(id);
    grab_.reset();
    QPointer<GlobalHotKey> self(this);
    grab_ = hotKeys().grab(keyCode, modifiers, [self] {
        if (self)
            emit self->HotKeyReleased(0);
    });
    return grab_ != nullptr;
}

void GlobalHotKey::UnregisterHotkey() { grab_.reset(); }

} // namespace platform

// The hot-key control: registers one system-wide key combination and raises
// HotKeyReleased each time the user lets go of it.
#pragma once

#include "platform/hotkeys.h"

#include <QObject>
#include <QString>
#include <memory>

namespace platform {

class GlobalHotKey : public QObject {
    Q_OBJECT
public:
    explicit GlobalHotKey(QObject *parent);
    ~GlobalHotKey() override;
    int GetControlKeyValue() const { return kControlKeyValue; }
    int GetOptionKeyValue() const { return kOptionKeyValue; }
    bool RegisterHotKey(const QString &signature, const QString &id, int keyCode, int modifiers);
    void UnregisterHotkey();
    bool isRegistered() const { return grab_ != nullptr; }

signals:
    void HotKeyReleased(int value);

private:
    std::unique_ptr<HotKeyGrab> grab_;
};

} // namespace platform

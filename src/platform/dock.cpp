#include "platform/dock.h"

#include "platform/services.h"

#include <QHash>

namespace platform {

namespace {
QHash<quint32, MenuMBS *> &liveMenus()
{
    static QHash<quint32, MenuMBS *> menus;
    return menus;
}
quint32 nextHandle = 0;
} // namespace

MenuMBS::MenuMBS() : handle_(++nextHandle) { liveMenus().insert(handle_, this); }

MenuMBS::~MenuMBS() { liveMenus().remove(handle_); }

bool MenuMBS::NewMenu(int id, const QString &name)
{
    id_ = id;
    name_ = name;
    items_.clear();
    return true;
}

void MenuMBS::AppendItem(const QString &text) { items_.append({text, 0}); }

void MenuMBS::CommandID(int index, quint32 code)
{
    if (index >= 1 && index <= items_.size())
        items_[index - 1].code = code;
}

quint32 MenuMBS::commandAt(int index) const
{
    return index >= 1 && index <= items_.size() ? items_[index - 1].code : 0;
}

QString MenuMBS::itemText(int index) const
{
    return index >= 1 && index <= items_.size() ? items_[index - 1].text : QString();
}

MenuMBS *MenuMBS::fromHandle(quint32 handle) { return liveMenus().value(handle, nullptr); }

quint32 OSTypeFromStringMBS(const QString &code)
{
    const QByteArray bytes = code.toLatin1().leftJustified(4, ' ', true);
    quint32 value = 0;
    for (char c : bytes)
        value = (value << 8) | quint8(c);
    return value;
}

QString StringFromOSTypeMBS(quint32 code)
{
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = char((code >> (24 - 8 * i)) & 0xFF);
    return QString::fromLatin1(bytes);
}

CarbonApplicationEventsMBS::~CarbonApplicationEventsMBS()
{
    if (services().dock)
        dock().forget(this);
}

void CarbonApplicationEventsMBS::Listen() { dock().listen(this); }

} // namespace platform

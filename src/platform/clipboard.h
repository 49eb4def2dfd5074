// The system clipboard (the X CLIPBOARD selection): plain text with CR line breaks, the
// "styl" record derived from the rich text on offer, and whole snapshots of every format.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace platform {

struct ClipboardFormat {
    QString mime;
    QByteArray data;
    bool operator==(const ClipboardFormat &) const = default;
};
// Every format the clipboard offered, in the order it offered them.
using ClipboardContents = QList<ClipboardFormat>;

inline const char *const kTextMime = "text/plain";

class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual bool hasText() = 0;
    virtual bool hasPicture() = 0;
    // The MIME types on offer, without reading their data.
    virtual QStringList formats() = 0;
    // Plain text with CR line breaks; empty when there is none.
    virtual QString text() = 0;
    // The "styl" record whose offsets match text(); empty when the clipboard has no styles.
    virtual QByteArray styl() = 0;
    // Replaces every format by this one text (CR becomes LF on the way out).
    virtual void setText(const QString &text) = 0;
    virtual void close() = 0;
    // Every format on offer; the X meta targets (TARGETS, TIMESTAMP, ...) are left out.
    virtual ClipboardContents contents() = 0;
    virtual void setContents(const ClipboardContents &contents) = 0;
};

} // namespace platform

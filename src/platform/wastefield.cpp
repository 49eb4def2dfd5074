#include "platform/wastefield.h"

#include "platform/services.h"

namespace platform {

namespace {

const ClipboardFormat *plainOf(const ClipboardContents &piece)
{
    for (const ClipboardFormat &f : piece)
        if (f.mime == QLatin1String(kTextMime))
            return &f;
    return nullptr;
}

QString textOf(const ClipboardContents &piece)
{
    const ClipboardFormat *plain = plainOf(piece);
    return plain ? QString::fromUtf8(plain->data) : QString();
}

bool hasPayload(const ClipboardContents &piece)
{
    for (const ClipboardFormat &f : piece)
        if (f.mime != QLatin1String(kTextMime) || !f.data.isEmpty())
            return true;
    return false;
}

// Another form of the same text: it tells only its own clipboard's text.
bool isTextForm(const QString &mime)
{
    if (mime.startsWith(QLatin1String("text/"), Qt::CaseInsensitive))
        return mime.compare(QLatin1String("text/uri-list"), Qt::CaseInsensitive) != 0
                && mime.compare(QLatin1String("text/x-moz-url"), Qt::CaseInsensitive) != 0;
    return mime == QLatin1String("application/x-qt-richtext")
            || mime == QLatin1String("application/rtf") || mime == QLatin1String("COMPOUND_TEXT");
}

} // namespace

WASTEfield::WASTEfield(QWidget *parent) : QWidget(parent) {}

void WASTEfield::Paste()
{
    ClipboardContents piece = clipboard().contents();
    if (!piece.isEmpty())
        pieces_.append(piece);
    selStart_ = int(Text().size());
    selLength_ = 0;
}

ClipboardContents WASTEfield::contents() const
{
    QList<const ClipboardContents *> live;
    for (const ClipboardContents &p : pieces_)
        if (hasPayload(p))
            live.append(&p);
    if (live.isEmpty())
        return pieces_.isEmpty() ? ClipboardContents{} : pieces_.back();
    if (live.size() == 1)
        return *live.front();
    // Several clipboards joined give back one: their texts run on as one text, and any other
    // format comes from the newest clipboard that offered it. Another form of text (HTML, a
    // charset variant) stays only when a single clipboard had text; with several it would
    // tell a different text than the joined one.
    QList<const ClipboardContents *> withText;
    bool anyPlain = false;
    for (const ClipboardContents *p : live) {
        anyPlain = anyPlain || plainOf(*p);
        if (!textOf(*p).isEmpty())
            withText.append(p);
    }
    ClipboardContents joined;
    if (withText.size() == 1)
        joined.append(*plainOf(*withText.front()));
    else if (anyPlain)
        joined.append({QString::fromLatin1(kTextMime),
                       Text().replace(QChar('\r'), QChar('\n')).toUtf8()});
    for (auto it = live.crbegin(); it != live.crend(); ++it)
        for (const ClipboardFormat &f : **it) {
            if (f.mime == QLatin1String(kTextMime))
                continue;
            if (withText.size() > 1 && isTextForm(f.mime))
                continue;
            bool seen = false;
            for (const ClipboardFormat &g : joined)
                seen = seen || g.mime == f.mime;
            if (!seen)
                joined.append(f);
        }
    return joined;
}

void WASTEfield::Copy()
{
    if (pieces_.isEmpty()) // nothing was saved: leave the clipboard as it is
        return;
    const QString all = Text();
    if (selStart_ <= 0 && qint64(selStart_) + selLength_ >= all.size()) {
        clipboard().setContents(contents());
        return;
    }
    clipboard().setText(all.mid(selStart_, selLength_));
}

void WASTEfield::setSelStart(int start) { selStart_ = qBound(0, start, int(Text().size())); }

void WASTEfield::setSelLength(int length) { selLength_ = qMax(0, length); }

QString WASTEfield::Text() const
{
    QString all;
    for (const ClipboardContents &p : pieces_)
        all += textOf(p);
    all.replace(QLatin1String("\r\n"), QLatin1String("\r"));
    all.replace(QChar('\n'), QChar('\r'));
    return all;
}

void WASTEfield::setText(const QString &text)
{
    pieces_.clear();
    if (!text.isEmpty()) {
        QString t = text;
        t.replace(QChar('\r'), QChar('\n'));
        pieces_.append({{QString::fromLatin1(kTextMime), t.toUtf8()}});
    }
    selStart_ = selLength_ = 0;
}

} // namespace platform

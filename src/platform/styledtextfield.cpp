#include "platform/styledtextfield.h"

#include "platform/styl.h"

#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

namespace platform {

StyledTextField::StyledTextField(const QFont &ownStyle, QWidget *parent)
    : QTextEdit(parent), ownStyle_(ownStyle)
{
    setAcceptRichText(false);
    setUndoRedoEnabled(false);
    QFont f = ownStyle;
    f.setFamilies(QStringList{ownStyle.family()} + styl::familyFallbacks(ownStyle.family()));
    document()->setDefaultFont(f);
    setStyleSheet(QStringLiteral("background: white;"));
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        if (!filling_)
            record_.clear();
    });
}

QString StyledTextField::text() const
{
    QString t = toPlainText();
    t.replace(QChar('\n'), QChar('\r'));
    return t;
}

QByteArray StyledTextField::styl() const
{
    return record_.isEmpty() ? styl::fromDocument(*document()) : record_;
}

void StyledTextField::fill(const QString &text)
{
    QString t = text;
    t.replace(QChar('\r'), QChar('\n'));
    filling_ = true;
    document()->clear();
    // The field's own style, written out so that its runs report it.
    QTextCharFormat own;
    own.setFontFamilies(QStringList{ownStyle_.family()} + styl::familyFallbacks(ownStyle_.family()));
    own.setFontPointSize(ownStyle_.pointSizeF());
    QTextCursor cursor(document());
    cursor.setCharFormat(own);
    cursor.insertText(t);
    filling_ = false;
}

void StyledTextField::setText(const QString &text)
{
    fill(text);
    record_ = styl::fromDocument(*document());
}

void StyledTextField::setTextAndStyl(const QString &text, const QByteArray &record)
{
    fill(text);
    QList<styl::Run> runs = styl::decode(record, text.size());
    if (runs.isEmpty() || runs.front().start > 0) {
        // Text that no run covers keeps the field's own style.
        const QList<styl::Run> own = styl::decode(styl::fromDocument(*document()), text.size());
        if (!own.isEmpty()) {
            styl::Run first = own.front();
            first.start = 0;
            runs.prepend(first);
        }
    }
    filling_ = true;
    styl::applyToDocument(*document(), styl::encode(runs));
    filling_ = false;
    record_ = styl::encode(runs);
}

} // namespace platform

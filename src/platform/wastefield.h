// A text field that exchanges whole clipboards: Paste keeps every format the clipboard
// offered (text, rich text, images, file lists, private types) and Copy of the whole field
// puts all of them back.
#pragma once

#include "platform/clipboard.h"

#include <QColor>
#include <QWidget>

namespace platform {

class WASTEfield : public QWidget {
    Q_OBJECT
public:
    explicit WASTEfield(QWidget *parent);

    // Settings the field is built with; they change nothing of the clipboard exchange.
    bool MonoStyled = false;
    bool NoIntCutandPaste = true;
    bool ReadOnly = false;
    bool NoDragAndDrop = false, NoUndo = false, NoAutoScroll = false, NoOutlineHilite = false,
         NoDrawOffscreen = false, NoKeyboardSync = false, MonoWithPict = false,
         InhibitRedraw = false, InhibitRecal = false, InhibitColor = false, CROnly = false,
         ShowInvisibles = false, Tabs = false;
    int TabSize = 32;
    QColor InvisiblesColor{200, 0, 0};
    QColor BackColor{Qt::white};
    int LineDirection = 1;

    // Inserts the clipboard's contents at the insertion point (the end of the field).
    void Paste();
    // Puts the selection on the clipboard; the whole field gives back every format pasted.
    void Copy();
    int SelStart() const { return selStart_; }
    void setSelStart(int start);
    int SelLength() const { return selLength_; }
    void setSelLength(int length);
    QString Text() const;
    void setText(const QString &text);
    // What Copy of the whole field would put on the clipboard.
    ClipboardContents contents() const;

private:
    QList<ClipboardContents> pieces_;
    int selStart_ = 0;
    int selLength_ = 0;
};

} // namespace platform

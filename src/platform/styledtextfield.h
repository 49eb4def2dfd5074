// A multi-line styled text field that reports and accepts its text with a "styl" record.
// Its text uses CR line breaks; text set without runs takes the field's own style.
#pragma once

#include <QByteArray>
#include <QFont>
#include <QTextEdit>

namespace platform {

class StyledTextField : public QTextEdit {
    Q_OBJECT
public:
    StyledTextField(const QFont &ownStyle, QWidget *parent);
    QString text() const;
    QByteArray styl() const;
    void setText(const QString &text);
    // An empty or unsound record leaves the text (or the part it does not cover) in the
    // field's own style.
    void setTextAndStyl(const QString &text, const QByteArray &record);
    QFont ownStyle() const { return ownStyle_; }

private:
    void fill(const QString &text);
    QFont ownStyle_;
    // The runs the field was given, reported as given until the user edits the text.
    QByteArray record_;
    bool filling_ = false;
};

} // namespace platform

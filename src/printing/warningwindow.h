// The small floating window that says the copy brought no text at all. Every word it
// shows comes from the caller.
#pragma once

#include "common/singleinstance.h"

#include <QWidget>

class QPushButton;
class QPlainTextEdit;

class NoSelectedTextWarning : public QWidget {
    Q_OBJECT
public:
    // The one warning (made on first use), shown, with this message in its field.
    static NoSelectedTextWarning &Show(const QString &message);

    QPlainTextEdit *EditField1Warning;
    QPushButton *PushButton1;

    void PushButton1_Action();
    void PushButton1_Close() {}

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    friend class SingleInstance<NoSelectedTextWarning>;
    NoSelectedTextWarning();
};

#include "printing/warningwindow.h"
#include "common/windowsetup.h"

#include "platform/points.h"

#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

using platform::classicFont;
using platform::pt;
using platform::ptRect;

NoSelectedTextWarning::NoSelectedTextWarning()
    : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("NoSelectedTextWarning"));
    SetUpWindow(*this, QString(), 310, 135, QColor(193, 193, 204));

    PushButton1 = new QPushButton(QStringLiteral("OK"), this);
    PushButton1->setObjectName(QStringLiteral("PushButton1"));
    PushButton1->setGeometry(ptRect(137, 110, 40, 20));
    PushButton1->setFont(classicFont(QStringLiteral("System"), 12));
    PushButton1->setDefault(true);
    connect(PushButton1, &QPushButton::clicked, this, &NoSelectedTextWarning::PushButton1_Action);

    EditField1Warning = new QPlainTextEdit(this);
    EditField1Warning->setObjectName(QStringLiteral("EditField1Warning"));
    EditField1Warning->setGeometry(ptRect(0, 0, 310, 104));
    EditField1Warning->setFont(classicFont(QStringLiteral("Geneva"), 12));
    EditField1Warning->setFrameShape(QFrame::NoFrame);
    EditField1Warning->setReadOnly(true); // nothing reads it back
    QPalette fieldPal = EditField1Warning->palette();
    fieldPal.setColor(QPalette::Base, QColor(229, 229, 163));
    fieldPal.setColor(QPalette::Text, Qt::black);
    EditField1Warning->setPalette(fieldPal);

    // Where it appears is ours to choose: the middle of the main screen.
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

NoSelectedTextWarning &NoSelectedTextWarning::Show(const QString &message)
{
    NoSelectedTextWarning &w = SingleInstance<NoSelectedTextWarning>::instance();
    w.show();
    w.raise();
    QString shown = message;
    shown.replace(QChar('\r'), QChar('\n'));
    w.EditField1Warning->setPlainText(shown);
    return w;
}

void NoSelectedTextWarning::PushButton1_Action() { close(); }

void NoSelectedTextWarning::closeEvent(QCloseEvent *event)
{
    PushButton1_Close();
    QWidget::closeEvent(event);
}

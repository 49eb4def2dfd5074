#include "triggers/mainwindow.h"
#include "common/windowsetup.h"

#include "platform/points.h"
#include "shell/menu.h"
#include "triggers/dockevents.h"

#include <QAction>
#include <QListWidget>
#include <QPushButton>

using platform::classicFont;
using platform::pt;
using platform::ptRect;

MainWindow::MainWindow() : QWidget(nullptr)
{
    setObjectName(QStringLiteral("MainWindow"));
    SetUpWindow(*this, QStringLiteral("Dock Menu Events"), 800, 347);

    List = new QListWidget(this);
    List->setObjectName(QStringLiteral("List"));
    List->setGeometry(ptRect(-1, 48, 802, 285));
    List->setFont(classicFont(QStringLiteral("System"), 12));
    PushButton1 = new QPushButton(QStringLiteral("Quit"), this);
    PushButton1->setObjectName(QStringLiteral("PushButton1"));
    PushButton1->setGeometry(ptRect(711, 16, 69, 20));
    PushButton1->setFont(classicFont(QStringLiteral("System"), 12));
    connect(PushButton1, &QPushButton::clicked, this, &MainWindow::PushButton1_Action);
    Open();
}

void MainWindow::Open()
{
    aevents = new MyCarbonApplicationEventsMBS(this);
    aevents->setObjectName(QStringLiteral("aevents"));
    List->insertItem(0, QStringLiteral("Listening for events..."));
    aevents->Listen();
}

void MainWindow::insertLogRow(const QString &text) { List->insertItem(0, text); }

// Quits as the menu's Quit does.
void MainWindow::PushButton1_Action()
{
    Menu::instance().item(QStringLiteral("FileQuit"))->trigger();
}

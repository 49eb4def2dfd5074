// The event log, "Dock Menu Events": a hidden window whose list shows every logged line,
// newest first. It owns the Dock listener for as long as it is open.
#pragma once

#include "common/singleinstance.h"

#include <QWidget>

class MyCarbonApplicationEventsMBS;
class QListWidget;
class QPushButton;

class MainWindow : public QWidget {
    Q_OBJECT
public:
    static MainWindow &instance() { return SingleInstance<MainWindow>::instance(); }
    static bool exists() { return SingleInstance<MainWindow>::exists(); }

    MainWindow();

    MyCarbonApplicationEventsMBS *aevents = nullptr;
    QListWidget *List;
    QPushButton *PushButton1;

    // A new row at the top of List (the event log's Util.Write finds it by name).
    Q_INVOKABLE void insertLogRow(const QString &text);

    void PushButton1_Action();

private:
    void Open();
};

// The About window: one picture about the program, floating above every application.
#pragma once

#include "common/singleinstance.h"

#include <QWidget>

class QLabel;

class AboutTapselWindow : public QWidget {
    Q_OBJECT
public:
    static AboutTapselWindow &instance() { return SingleInstance<AboutTapselWindow>::instance(); }
    static bool exists() { return SingleInstance<AboutTapselWindow>::exists(); }

    AboutTapselWindow();

    QLabel *ImageWell1;
};

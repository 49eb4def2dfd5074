#include "support/fixture.h"

#include <QApplication>
#include <QWidget>

void PlatformTest::SetUp()
{
    platform_ = std::make_unique<fakes::FakePlatform>();
    Module1::reset();
}

void PlatformTest::TearDown()
{
    // Every window, hidden or not, goes: the next test starts with none.
    for (QWidget *w : QApplication::topLevelWidgets())
        if (!w->parentWidget())
            w->deleteLater();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    platform_.reset();
}

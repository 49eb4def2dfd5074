// Where a command takes its moment from: the wall clock, unless a test puts its own
// clock here to see which moment a stamp shows.
#pragma once

#include <QDateTime>
#include <functional>

inline std::function<QDateTime()> CommandClock = [] { return QDateTime::currentDateTime(); };

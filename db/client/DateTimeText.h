#pragma once

#include <QString>

// The program's text form of a date-time: "YYYY-MM-DD HH:MM:SS", the time left out at
// midnight, ".mmm" added when the milliseconds are not zero.
QString DateTimeText(int year, int month, int day, int hour, int minute, int second, int millisecond);

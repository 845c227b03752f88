#pragma once

#include <QByteArray>
#include <QDate>

class DemoRandom;

// A point in time of the demo data, stored as the program's date-time text.
struct DemoMoment
{
    QDate date;
    int secondOfDay = 0; // 0 is midnight, whose text has no time

    // "YYYY-MM-DD HH:MM:SS", or "YYYY-MM-DD" at midnight.
    QByteArray Text() const;
    // The same time of day, some days later, or the day alone.
    DemoMoment DaysLater(int days) const { return {date.addDays(days), secondOfDay}; }
    DemoMoment Day() const { return {date, 0}; }
};

// A moment within working hours of a day from the start of firstYear to the end of lastYear.
DemoMoment RandomMoment(DemoRandom& random, int firstYear, int lastYear);

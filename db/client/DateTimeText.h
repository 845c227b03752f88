#pragma once

#include <QDate>
#include <QString>
#include <QStringView>
#include <QTime>

#include <optional>

// The program's text form of a date-time: "YYYY-MM-DD HH:MM:SS", the time left out at
// midnight, ".mmm" added when the milliseconds are not zero.
QString DateTimeText(int year, int month, int day, int hour, int minute, int second, int millisecond);
QString DateTimeText(const QDate& date, const QTime& time);

// A moment as a text gave it.
struct Moment
{
    QDate date;
    QTime time{0, 0};       // midnight when the text gave only a date
    int fractionDigits = 0; // the digits the text gave after the seconds (more than three are cut off)
};

// Reads the forms of a moment that reach the program: ISO 8601 with a blank or a "T"
// ("2017-04-06 14:30:00", "2017-04-06T14:30:00.250"), the unseparated date of T-SQL
// ("20170406", a time may follow), and the forms of a Chinese Windows ("2017/4/6 14:30:00",
// "2017/4/6 下午 2:30:00"); each with or without its time, blanks around it ignored.
// Nothing when the text is none of these or names no real day or time.
std::optional<Moment> ParseMoment(QStringView text);

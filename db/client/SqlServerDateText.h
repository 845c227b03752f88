#pragma once

#include "db/client/ValueText.h"

#include <QStringView>

#include <optional>

namespace korvel {

// The texts SQL Server reads as a date and time for a login whose language is us_english
// (the one FreeTDS logs in with, whose date order is month, day, year), as its documentation
// lists them, each with or without a time after it, blanks around it ignored:
// - numeric: month, day and year joined by "/", "-" or "." ("10/26/2021", "7-17-24"); a
//   year of four digits is the year wherever it stands ("2017.04.06", "4/2017/6");
// - alphabetical: a month's name or its three letters, a day and a year in any order, commas
//   optional ("Apr 6 2017", "6 April, 2017", "2017 Apr"; no day is the 1st);
// - unseparated: "YYYYMMDD", "YYMMDD" or a year alone;
// - ISO 8601: "YYYY-MM-DDThh:mm:ss[.mmm]", a "Z" after it allowed;
// - a time alone, on 1900-01-01.
// A time is "14:30", "14:30:20", "14:30:20.9" (a fraction) or "14:30:20:999" (milliseconds),
// the hour on a 24-hour clock or followed by AM or PM ("4 PM", "1:45PM"). A two-digit year
// up to 49 is 20yy, from 50 on 19yy. The program's Chinese forms are read too: "上午" and
// "下午" for AM and PM, before the time or after it ("2017/4/6 下午 2:30:00").
// Nothing when the text is none of these or names no real day or time.
std::optional<Moment> parseSqlServerMoment(QStringView text);

} // namespace korvel

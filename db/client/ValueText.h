#pragma once

// The program's text forms of the values that are not plain text or numbers: date-times and
// GUIDs, as every client gives them and every literal is written from them.

#include <QDate>
#include <QString>
#include <QStringView>
#include <QTime>
#include <QUuid>

#include <optional>

namespace korvel {

// The program's text form of a date-time: "YYYY-MM-DD HH:MM:SS", the time left out at
// midnight, ".mmm" added when the milliseconds are not zero.
QString dateTimeText(int year, int month, int day, int hour, int minute, int second, int millisecond);
QString dateTimeText(const QDate& date, const QTime& time);

// A moment as a text gave it.
struct Moment
{
    QDate date;
    QTime time{0, 0};       // midnight when the text gave only a date
    int fractionDigits = 0; // the digits the text gave after the seconds (more than three are cut off)
};

// Reads a moment as SQL Server reads it from a text (parseSqlServerMoment): the program's own
// form ("2017-04-06 14:30:00.250") first and without a pattern, since bulk imports read one
// in nearly every row. Nothing when the text names no real day or time.
std::optional<Moment> parseMoment(QStringView text);

// The GUID a text names, written with or without braces (or with one of them) in either
// case; nothing for any other text.
std::optional<QUuid> parseGuid(QStringView text);

// The program's form of a GUID, braced and upper-case ("{0F8FAD5B-D9CB-469F-A165-70867728950E}").
QString guidText(const QUuid& guid);

// The program's form of a text that names a GUID (parseGuid); any other text as it is.
QString canonicalGuidText(const QString& text);

// Whether the text names a GUID (parseGuid).
bool isGuidText(const QString& text);

} // namespace korvel

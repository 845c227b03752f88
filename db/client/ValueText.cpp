#include "db/client/ValueText.h"

#include "db/client/SqlServerDateText.h"

namespace korvel {

QString dateTimeText(int year, int month, int day, int hour, int minute, int second, int millisecond)
{
    // Written by hand rather than with a format: every value of every date-time column
    // passes through here when a table is read or a bundle imported. Only years a driver may
    // give beyond SQL Server's (before Christ, after 9999) take the format.
    if (year < 0 || year > 9999)
        return QString::asprintf("%04d-%02d-%02d", year, month, day) +
               dateTimeText(2000, 1, 1, hour, minute, second, millisecond).mid(10);
    char text[24];
    qsizetype length = 0;
    const auto put = [&text, &length](int value, int digits) {
        for (int i = digits - 1; i >= 0; --i) {
            text[length + i] = static_cast<char>('0' + value % 10);
            value /= 10;
        }
        length += digits;
    };
    const auto separator = [&text, &length](char c) { text[length++] = c; };
    put(year, 4);
    separator('-');
    put(month, 2);
    separator('-');
    put(day, 2);
    if (hour != 0 || minute != 0 || second != 0 || millisecond != 0) {
        separator(' ');
        put(hour, 2);
        separator(':');
        put(minute, 2);
        separator(':');
        put(second, 2);
        if (millisecond != 0) {
            separator('.');
            put(millisecond, 3);
        }
    }
    return QString::fromLatin1(text, length);
}

QString dateTimeText(const QDate& date, const QTime& time)
{
    return dateTimeText(date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second(),
                        time.msec());
}

namespace {

// The program's own form, "YYYY-MM-DD[ HH:MM:SS[.f…]]", read without a pattern: it is by far
// the most common, and bulk imports read one in every row.
std::optional<Moment> parseProgramForm(QStringView text)
{
    const auto digits = [text](qsizetype from, qsizetype count, int& value) {
        value = 0;
        for (qsizetype i = from; i < from + count; ++i) {
            if (i >= text.size() || !text[i].isDigit() || text[i].unicode() > '9')
                return false;
            value = value * 10 + (text[i].unicode() - '0');
        }
        return true;
    };
    const auto at = [text](qsizetype i, char c) { return i < text.size() && text[i] == QLatin1Char(c); };
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (!digits(0, 4, year) || !at(4, '-') || !digits(5, 2, month) || !at(7, '-') || !digits(8, 2, day))
        return std::nullopt;
    Moment moment;
    moment.date = QDate(year, month, day);
    if (text.size() == 10)
        return moment.date.isValid() ? std::optional<Moment>(moment) : std::nullopt;
    if (!at(10, ' ') || !digits(11, 2, hour) || !at(13, ':') || !digits(14, 2, minute) || !at(16, ':') ||
        !digits(17, 2, second))
        return std::nullopt;
    int millisecond = 0;
    if (text.size() > 19) {
        moment.fractionDigits = static_cast<int>(text.size() - 20);
        if (!at(19, '.') || moment.fractionDigits < 1 || moment.fractionDigits > 3 ||
            !digits(20, moment.fractionDigits, millisecond))
            return std::nullopt;
        for (int i = moment.fractionDigits; i < 3; ++i)
            millisecond *= 10;
    }
    moment.time = QTime(hour, minute, second, millisecond);
    if (!moment.date.isValid() || !moment.time.isValid())
        return std::nullopt;
    return moment;
}

} // namespace

std::optional<Moment> parseMoment(QStringView text)
{
    if (const std::optional<Moment> programForm = parseProgramForm(text))
        return programForm;
    return parseSqlServerMoment(text);
}

std::optional<QUuid> parseGuid(QStringView text)
{
    // QUuid reads the 36 characters between the braces, but would also take a text with
    // more after them; the braces are peeled off here, so that only a GUID is read.
    if (text.startsWith(u'{'))
        text = text.mid(1);
    if (text.endsWith(u'}'))
        text.chop(1);
    constexpr qsizetype kGuidLength = 36;
    if (text.size() != kGuidLength)
        return std::nullopt;
    const QUuid guid = QUuid::fromString(text);
    // A text QUuid cannot read gives the null GUID, which is also the GUID of all zeros.
    if (guid.isNull() && text != QLatin1String("00000000-0000-0000-0000-000000000000"))
        return std::nullopt;
    return guid;
}

QString guidText(const QUuid& guid)
{
    return guid.toString(QUuid::WithBraces).toUpper();
}

QString canonicalGuidText(const QString& text)
{
    const std::optional<QUuid> guid = parseGuid(text);
    return guid ? guidText(*guid) : text;
}

bool isGuidText(const QString& text)
{
    return parseGuid(text).has_value();
}

} // namespace korvel

#include "db/client/ValueText.h"

#include <QRegularExpression>

namespace {

// The time that may follow a date, in 24-hour form or with a half-day mark before or
// after it (上午/下午, AM/PM).
const QString kTime = QStringLiteral("(?:(上午|下午|AM|PM)\\s*)?(\\d{1,2}):(\\d{2})(?::(\\d{2})(?:\\.(\\d{1,9}))?)?"
                                     "(?:\\s*(上午|下午|AM|PM))?");

const QRegularExpression& MomentPattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("^(?:(\\d{4})-(\\d{1,2})-(\\d{1,2})|(\\d{4})(\\d{2})(\\d{2})|(\\d{4})/(\\d{1,2})/(\\d{1,2}))"
                       "(?:(?:T|\\s+)%1)?$")
            .arg(kTime),
        QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

// The first of the three date captures that matched: ISO, unseparated, or with slashes.
QDate DateOf(const QRegularExpressionMatch& match)
{
    for (int first = 1; first <= 7; first += 3) {
        if (match.hasCaptured(first))
            return QDate(match.captured(first).toInt(), match.captured(first + 1).toInt(),
                         match.captured(first + 2).toInt());
    }
    return {};
}

// The hour of a 24-hour clock, or -1 when a half-day mark names an hour that has none.
int HourOf(int hour, const QString& mark)
{
    if (mark.isEmpty())
        return hour;
    if (hour < 1 || hour > 12)
        return -1;
    const bool afternoon = mark == QStringLiteral("下午") || mark.compare(QLatin1String("PM"), Qt::CaseInsensitive) == 0;
    return hour % 12 + (afternoon ? 12 : 0);
}

} // namespace

QString DateTimeText(int year, int month, int day, int hour, int minute, int second, int millisecond)
{
    // Written by hand rather than with a format: every value of every date-time column
    // passes through here when a table is read or a bundle imported. Only years a driver may
    // give beyond SQL Server's (before Christ, after 9999) take the format.
    if (year < 0 || year > 9999)
        return QString::asprintf("%04d-%02d-%02d", year, month, day) +
               DateTimeText(2000, 1, 1, hour, minute, second, millisecond).mid(10);
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

QString DateTimeText(const QDate& date, const QTime& time)
{
    return DateTimeText(date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second(),
                        time.msec());
}

namespace {

// The program's own form, "YYYY-MM-DD[ HH:MM:SS[.f…]]", read without a pattern: it is by far
// the most common, and bulk imports read one in every row.
std::optional<Moment> ParseProgramForm(QStringView text)
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

std::optional<Moment> ParseMoment(QStringView text)
{
    if (const std::optional<Moment> programForm = ParseProgramForm(text))
        return programForm;
    const QRegularExpressionMatch match = MomentPattern().match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    Moment moment;
    moment.date = DateOf(match);
    if (!moment.date.isValid())
        return std::nullopt;
    constexpr int kHour = 11; // the captures of kTime after the ten of the dates
    if (!match.hasCaptured(kHour))
        return moment;
    const QString before = match.captured(kHour - 1);
    const QString after = match.captured(kHour + 4);
    if (!before.isEmpty() && !after.isEmpty())
        return std::nullopt;
    const int hour = HourOf(match.captured(kHour).toInt(), before + after);
    const QString fraction = match.captured(kHour + 3);
    moment.fractionDigits = static_cast<int>(fraction.size());
    moment.time = QTime(hour, match.captured(kHour + 1).toInt(), match.captured(kHour + 2).toInt(),
                        (fraction + QLatin1String("00")).left(3).toInt());
    if (hour < 0 || !moment.time.isValid())
        return std::nullopt;
    return moment;
}

std::optional<QUuid> ParseGuid(QStringView text)
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

QString GuidText(const QUuid& guid)
{
    return guid.toString(QUuid::WithBraces).toUpper();
}

QString CanonicalGuidText(const QString& text)
{
    const std::optional<QUuid> guid = ParseGuid(text);
    return guid ? GuidText(*guid) : text;
}

bool IsGuidText(const QString& text)
{
    return ParseGuid(text).has_value();
}

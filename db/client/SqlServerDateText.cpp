#include "db/client/SqlServerDateText.h"

#include <QList>
#include <QRegularExpression>

#include <algorithm>

namespace korvel {

namespace {

bool isDigits(QStringView text)
{
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
}

// A year of two digits belongs to the hundred years up to 2049, SQL Server's default
// "two digit year cutoff".
int yearOf(QStringView digits)
{
    const int year = digits.toInt();
    if (digits.size() != 2)
        return year;
    return year < 50 ? 2000 + year : 1900 + year;
}

int millisecondsOf(QStringView fractionDigits)
{
    return (fractionDigits.left(3).toString() + QLatin1String("00")).left(3).toInt();
}

enum class HalfDay { None, Morning, Afternoon };

HalfDay halfDayOf(const QString& mark)
{
    if (mark.isEmpty())
        return HalfDay::None;
    return mark == QStringLiteral("下午") || mark.compare(QLatin1String("PM"), Qt::CaseInsensitive) == 0
               ? HalfDay::Afternoon
               : HalfDay::Morning;
}

// The hour on a 24-hour clock, or -1: a morning's hours go up to 12, which is midnight; an
// afternoon has no hour 0, and its hours 13 to 23 stand as they are.
int hourOf(int hour, HalfDay halfDay)
{
    switch (halfDay) {
    case HalfDay::None:
        return hour <= 23 ? hour : -1;
    case HalfDay::Morning:
        return hour <= 12 ? hour % 12 : -1;
    case HalfDay::Afternoon:
        return hour >= 1 && hour <= 23 ? (hour < 12 ? hour + 12 : hour) : -1;
    }
    return -1;
}

// The time a text ends in: after a blank (or alone), an hour with minutes, seconds and
// their fraction or milliseconds, or an hour with AM or PM.
struct TimeAtEnd
{
    qsizetype start = -1; // where the time begins; -1 when the text ends in none
    std::optional<QTime> time; // none when it names no time of day
    int fractionDigits = 0;
};

TimeAtEnd findTimeAtEnd(QStringView text)
{
    static const QRegularExpression pattern(
        QStringLiteral("(?:^|\\s)(?:(上午|下午)\\s*)?(\\d{1,2})(?::(\\d{2})(?::(\\d{2})(?:([:.])(\\d+))?)?)?"
                       "\\s*(AM|PM|上午|下午)?$"),
        QRegularExpression::CaseInsensitiveOption);
    enum { kBefore = 1, kHour, kMinute, kSecond, kFractionMark, kFraction, kAfter };
    const QRegularExpressionMatch match = pattern.match(text);
    const QString before = match.captured(kBefore);
    const QString after = match.captured(kAfter);
    // A number alone is no time: it belongs to the date ("Apr 15 96").
    if (!match.hasMatch() || (!match.hasCaptured(kMinute) && before.isEmpty() && after.isEmpty()))
        return {};
    TimeAtEnd found;
    found.start = match.capturedStart(0);
    const QStringView fraction = match.capturedView(kFraction);
    // After a colon the digits are milliseconds ("12:30:20:1" is a thousandth past 20 s).
    const bool milliseconds = match.capturedView(kFractionMark) == QLatin1String(":");
    const int hour = hourOf(match.capturedView(kHour).toInt(), halfDayOf(before + after));
    if ((!before.isEmpty() && !after.isEmpty()) || hour < 0 || (milliseconds && fraction.size() > 3))
        return found;
    found.fractionDigits = static_cast<int>(fraction.size());
    const QTime time(hour, match.capturedView(kMinute).toInt(), match.capturedView(kSecond).toInt(),
                     milliseconds ? fraction.toInt() : millisecondsOf(fraction));
    if (time.isValid())
        found.time = time;
    return found;
}

// "YYYY-MM-DDThh:mm:ss[.mmm]" with every element, and a "Z" for UTC allowed after it.
std::optional<Moment> isoMomentWithT(QStringView text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})T(\\d{2}):(\\d{2}):(\\d{2})(?:\\.(\\d+))?Z?$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    Moment moment;
    moment.date = QDate(match.capturedView(1).toInt(), match.capturedView(2).toInt(), match.capturedView(3).toInt());
    moment.fractionDigits = static_cast<int>(match.capturedView(7).size());
    moment.time = QTime(match.capturedView(4).toInt(), match.capturedView(5).toInt(), match.capturedView(6).toInt(),
                        millisecondsOf(match.capturedView(7)));
    if (!moment.date.isValid() || !moment.time.isValid())
        return std::nullopt;
    return moment;
}

// A four-digit year is the year wherever it stands; the month comes before the day.
QDate numericDate(QStringView first, QStringView second, QStringView third)
{
    QStringView year = third;
    QStringView month = first;
    QStringView day = second;
    if (first.size() == 4) {
        year = first;
        month = second;
        day = third;
    } else if (second.size() == 4) {
        year = second;
        day = third;
    }
    if (month.size() > 2 || day.size() > 2 || (year.size() != 2 && year.size() != 4))
        return {};
    return QDate(yearOf(year), month.toInt(), day.toInt());
}

// January to December by their names or first three letters, in any case; 0 for any other word.
int monthOf(QStringView word)
{
    static const char* const kMonths[] = {"january", "february", "march",     "april",   "may",      "june",
                                          "july",    "august",   "september", "october", "november", "december"};
    for (int i = 0; i < 12; ++i) {
        const QLatin1String name(kMonths[i]);
        if (word.compare(name, Qt::CaseInsensitive) == 0 || word.compare(name.left(3), Qt::CaseInsensitive) == 0)
            return i + 1;
    }
    return 0;
}

// A month's name with a year and perhaps a day, in any order, blanks or commas between
// them. Of two numbers, a first of four digits is the year, else the first is the day.
QDate alphabeticalDate(QStringView text)
{
    int month = 0;
    QList<QStringView> numbers;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !text[i].isSpace() && text[i] != QLatin1Char(','))
            continue;
        const QStringView word = text.mid(start, i - start);
        start = i + 1;
        if (word.isEmpty())
            continue;
        if (isDigits(word))
            numbers.append(word);
        else if (month != 0 || (month = monthOf(word)) == 0)
            return {};
    }
    if (month == 0 || numbers.isEmpty() || numbers.size() > 2)
        return {};
    const bool yearFirst = numbers[0].size() == 4;
    const QStringView year = numbers.size() == 1 || yearFirst ? numbers[0] : numbers[1];
    const QStringView day = numbers.size() == 1 ? QStringView() : yearFirst ? numbers[1] : numbers[0];
    if ((numbers.size() == 1 && year.size() != 4) || day.size() > 2 || (year.size() != 2 && year.size() != 4))
        return {};
    return QDate(yearOf(year), month, day.isEmpty() ? 1 : day.toInt());
}

// The date before a time, or of the whole text.
QDate dateOf(QStringView text)
{
    static const QRegularExpression numeric(QStringLiteral("^(\\d{1,4})([/.-])(\\d{1,4})\\2(\\d{1,4})$"));
    if (isDigits(text)) {
        switch (text.size()) {
        case 4: return QDate(text.toInt(), 1, 1);
        case 6: return QDate(yearOf(text.left(2)), text.mid(2, 2).toInt(), text.mid(4, 2).toInt());
        case 8: return QDate(text.left(4).toInt(), text.mid(4, 2).toInt(), text.mid(6, 2).toInt());
        default: return {};
        }
    }
    const QRegularExpressionMatch match = numeric.match(text);
    if (match.hasMatch())
        return numericDate(match.capturedView(1), match.capturedView(3), match.capturedView(4));
    return alphabeticalDate(text);
}

} // namespace

std::optional<Moment> parseSqlServerMoment(QStringView text)
{
    text = text.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    if (std::optional<Moment> iso = isoMomentWithT(text))
        return iso;
    const TimeAtEnd time = findTimeAtEnd(text);
    if (time.start >= 0 && !time.time)
        return std::nullopt;
    const QStringView datePart = time.start >= 0 ? text.left(time.start).trimmed() : text;
    Moment moment;
    moment.date = datePart.isEmpty() ? QDate(1900, 1, 1) : dateOf(datePart);
    if (!moment.date.isValid())
        return std::nullopt;
    if (time.time) {
        moment.time = *time.time;
        moment.fractionDigits = time.fractionDigits;
    }
    return moment;
}

} // namespace korvel

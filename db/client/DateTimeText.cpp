#include "db/client/DateTimeText.h"

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
    QString text = QString::asprintf("%04d-%02d-%02d", year, month, day);
    if (hour == 0 && minute == 0 && second == 0 && millisecond == 0)
        return text;
    text += QString::asprintf(" %02d:%02d:%02d", hour, minute, second);
    if (millisecond != 0)
        text += QString::asprintf(".%03d", millisecond);
    return text;
}

QString DateTimeText(const QDate& date, const QTime& time)
{
    return DateTimeText(date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second(),
                        time.msec());
}

std::optional<Moment> ParseMoment(QStringView text)
{
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

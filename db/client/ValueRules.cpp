#include "db/client/ValueRules.h"

#include "db/client/ValueText.h"
#include "util/TextConversions.h"

#include <QDateTime>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace korvel {

namespace {

StoredValue storedValue(QString text)
{
    return {true, std::move(text), QString()};
}

StoredValue refused(QString refusal)
{
    return {false, QString(), std::move(refusal)};
}

bool isFixedLength(int adoType)
{
    return adoType == adChar || adoType == adWChar || adoType == adBinary;
}

// What the declared size of a text column counts: bytes in its code page for narrow text,
// UTF-16 units for wide text.
qsizetype storedLength(const ColumnType& type, const QString& text)
{
    if (!isNarrowText(type.adoType))
        return text.size();
    return codePageLength(text, type.codePage).value_or(text.size());
}

// SQL Server cuts the blanks off the end of a text that is too long for its column instead
// of refusing it; any other character beyond the limit is refused.
StoredValue textValue(const ColumnType& type, const QString& text)
{
    if (QString refusal = silentChangeRefusal(type, text); !refusal.isEmpty())
        return refused(std::move(refusal));
    const bool narrow = isNarrowText(type.adoType);
    QString stored = text;
    // A UTF-16 unit takes at most three bytes (of UTF-8; fewer in any code page of SQL
    // Server's): a short text needs no measuring.
    const int unitBytes = narrow ? 3 : 1;
    if (type.size > 0 && stored.size() * unitBytes > type.size) {
        while (storedLength(type, stored) > type.size && stored.endsWith(QLatin1Char(' ')))
            stored.chop(1);
        if (storedLength(type, stored) > type.size)
            return refused(narrow ? QStringLiteral("超过 %1 个字节").arg(type.size)
                                  : QStringLiteral("超过 %1 个字符").arg(type.size));
    }
    if (isFixedLength(type.adoType))
        stored = stored.leftJustified(stored.size() + type.size - storedLength(type, stored), QLatin1Char(' '));
    return storedValue(stored);
}

struct IntegerRange
{
    qint64 lowest;
    qint64 highest;
    const char* name;
};

IntegerRange rangeOf(int adoType)
{
    switch (adoType) {
    case adTinyInt: return {-128, 127, "tinyint"};
    case adUnsignedTinyInt: return {0, 255, "tinyint"};
    case adSmallInt: return {-32768, 32767, "smallint"};
    case adUnsignedSmallInt: return {0, 65535, "smallint"};
    case adInteger: return {std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max(), "int"};
    case adUnsignedInt: return {0, std::numeric_limits<quint32>::max(), "int"};
    default: return {std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max(), "bigint"};
    }
}

QString rangeRefusal(const IntegerRange& range)
{
    return QStringLiteral("超出 %1 的范围").arg(QLatin1String(range.name));
}

// A number written "[+-]digits[.digits]", blanks around it ignored; read without a pattern,
// since bulk imports read one in nearly every row.
struct DecimalParts
{
    bool negative = false;
    bool point = false;
    QStringView whole;
    QStringView fraction;
};

std::optional<DecimalParts> splitDecimal(QStringView text)
{
    text = text.trimmed();
    DecimalParts parts;
    if (!text.isEmpty() && (text.front() == QLatin1Char('+') || text.front() == QLatin1Char('-'))) {
        parts.negative = text.front() == QLatin1Char('-');
        text = text.mid(1);
    }
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    parts.point = point >= 0;
    parts.whole = parts.point ? text.left(point) : text;
    parts.fraction = parts.point ? text.mid(point + 1) : QStringView();
    const auto digits = [](QStringView part) {
        return std::all_of(part.begin(), part.end(), [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
    };
    if (parts.whole.size() + parts.fraction.size() == 0 || !digits(parts.whole) || !digits(parts.fraction))
        return std::nullopt;
    return parts;
}

StoredValue integerValue(const ColumnType& type, const QString& text)
{
    // SQL Server reads a text of blanks as 0.
    if (text.trimmed().isEmpty())
        return storedValue(QStringLiteral("0"));
    const std::optional<DecimalParts> parts = splitDecimal(text);
    if (!parts || parts->point || parts->whole.isEmpty())
        return refused(QStringLiteral("不是整数"));
    bool ok = false;
    const quint64 magnitude = parts->whole.toULongLong(&ok);
    const IntegerRange range = rangeOf(type.adoType);
    const bool fits = ok && (parts->negative ? magnitude <= static_cast<quint64>(-(range.lowest + 1)) + 1
                                             : magnitude <= static_cast<quint64>(range.highest));
    if (!fits)
        return refused(rangeRefusal(range));
    const qint64 value = parts->negative ? static_cast<qint64>(0 - magnitude) : static_cast<qint64>(magnitude);
    return storedValue(QString::number(value));
}

// Adds one to a text of decimal digits.
QString digitsPlusOne(QString digits)
{
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        if (digits[i] != QLatin1Char('9')) {
            digits[i] = QChar(digits[i].unicode() + 1);
            return digits;
        }
        digits[i] = QLatin1Char('0');
    }
    return QLatin1Char('1') + digits;
}

// A decimal as the program writes it for a column of the scale: a minus for a number below
// zero, the whole digits without leading zeros, a point and exactly the scale's digits
// (none for scale 0). The form of nearly every decimal an import writes: nothing to round.
bool isProgramDecimal(QStringView text, int scale)
{
    const auto digit = [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); };
    const bool negative = text.startsWith(QLatin1Char('-'));
    const QStringView number = text.mid(negative ? 1 : 0);
    const qsizetype whole = number.size() - (scale > 0 ? scale + 1 : 0);
    if (whole < 1 || (whole > 1 && number[0] == QLatin1Char('0')) ||
        (scale > 0 && number[whole] != QLatin1Char('.')))
        return false;
    bool zero = true;
    for (qsizetype i = 0; i < number.size(); ++i) {
        if (i == whole)
            continue;
        if (!digit(number[i]))
            return false;
        zero = zero && number[i] == QLatin1Char('0');
    }
    return !(negative && zero);
}

// The decimal rounded half away from zero to the scale, in the program's form.
QString roundedDecimal(const DecimalParts& parts, int scale)
{
    QString whole = parts.whole.toString();
    QString fraction = parts.fraction.toString();
    const bool roundUp = fraction.size() > scale && fraction[scale] >= QLatin1Char('5');
    fraction = fraction.leftJustified(scale, QLatin1Char('0'), true);
    if (roundUp) {
        const QString digits = digitsPlusOne(whole + fraction);
        whole = digits.left(digits.size() - scale);
        fraction = digits.right(scale);
    }
    while (whole.size() > 1 && whole.front() == QLatin1Char('0'))
        whole.remove(0, 1);
    if (whole.isEmpty())
        whole = QStringLiteral("0");
    const bool zero = whole == QLatin1String("0") && fraction.count(QLatin1Char('0')) == fraction.size();
    const QString sign = parts.negative && !zero ? QStringLiteral("-") : QString();
    return sign + whole + (scale > 0 ? QLatin1Char('.') + fraction : QString());
}

bool isCurrencySymbol(QChar c)
{
    // The currency symbols SQL Server takes before a money value.
    static const QString kSymbols = QStringLiteral("$¢£¤¥৲৳฿៛₠₡₢₣₤₥₦₧₨₩₪₫€₭₮₯₰₱﷼﹩＄￠￡￥￦");
    return kSymbols.contains(c);
}

// The number of a money text: SQL Server takes a currency symbol before the digits (after
// the sign), ignores commas among them, and reads a text of blanks as 0. Any other text
// is returned as it is, for the number's check to refuse.
QString moneyNumber(const QString& text)
{
    QStringView rest = QStringView(text).trimmed();
    if (rest.isEmpty())
        return QStringLiteral("0");
    QString number;
    if (rest.front() == QLatin1Char('+') || rest.front() == QLatin1Char('-')) {
        number += rest.front();
        rest = rest.mid(1);
    }
    if (!rest.isEmpty() && isCurrencySymbol(rest.front())) {
        rest = rest.mid(1);
        if (rest.startsWith(QLatin1Char('+')) || rest.startsWith(QLatin1Char('-')))
            return text;
    }
    for (const QChar c : rest) {
        if (c != QLatin1Char(','))
            number += c;
    }
    return number;
}

// money and smallmoney stop short of what their precision (19 and 10 digits, 4 of them
// after the point) would hold. Empty when the value, in the program's form at scale 4, fits.
QString moneyRangeRefusal(const ColumnType& type, const QString& stored)
{
    const bool small = type.size == 10;
    const bool negative = stored.startsWith(QLatin1Char('-'));
    const QLatin1String limit = small ? (negative ? QLatin1String("214748.3648") : QLatin1String("214748.3647"))
                                      : (negative ? QLatin1String("922337203685477.5808")
                                                  : QLatin1String("922337203685477.5807"));
    const QStringView magnitude = QStringView(stored).mid(negative ? 1 : 0);
    const bool beyond = magnitude.size() != limit.size() ? magnitude.size() > limit.size()
                                                         : magnitude.compare(limit) > 0;
    if (!beyond)
        return QString();
    return small ? QStringLiteral("超出 smallmoney 的范围") : QStringLiteral("超出 money 的范围");
}

// The digits before the point of a decimal in the program's form; a lone 0 counts none.
qsizetype wholeDigits(const QString& decimal)
{
    const qsizetype sign = decimal.startsWith(QLatin1Char('-')) ? 1 : 0;
    const qsizetype point = decimal.indexOf(QLatin1Char('.'));
    const qsizetype digits = (point < 0 ? decimal.size() : point) - sign;
    return digits == 1 && decimal[sign] == QLatin1Char('0') ? 0 : digits;
}

// A decimal is rounded half away from zero to the scale of its column and refused when the
// digits before the point outnumber what its precision leaves them (money and smallmoney
// hold less, see above). Without a known precision it is kept as it stands.
StoredValue decimalValue(const ColumnType& type, const QString& text)
{
    const bool money = type.adoType == adCurrency;
    const bool programForm = type.size > 0 && isProgramDecimal(text, type.scale);
    const QString number = money && !programForm ? moneyNumber(text) : text;
    const std::optional<DecimalParts> parts = programForm ? std::nullopt : splitDecimal(number);
    if (!programForm && !parts)
        return refused(QStringLiteral("不是数字"));
    if (type.size <= 0)
        return storedValue(number.trimmed());
    const QString stored = programForm ? text : roundedDecimal(*parts, type.scale);
    const QString refusal = money && type.scale == 4 ? moneyRangeRefusal(type, stored)
                            : wholeDigits(stored) > type.size - type.scale
                                ? QStringLiteral("超出 decimal(%1,%2) 的范围").arg(type.size).arg(type.scale)
                                : QString();
    return refusal.isEmpty() ? storedValue(stored) : refused(refusal);
}

// float keeps a double, real (float(24)) a single, each between its smallest and largest
// magnitude or 0; real keeps seven digits. SQL Server reads a text of blanks as 0.
StoredValue floatValue(const ColumnType& type, const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?$"));
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return storedValue(QStringLiteral("0"));
    if (!number.match(trimmed).hasMatch())
        return refused(QStringLiteral("不是数字"));
    const bool single = type.adoType == adSingle;
    // A number too large or too small for a double reads as infinite or 0, and not ok.
    bool ok = false;
    double value = trimmed.toDouble(&ok);
    const double magnitude = std::fabs(value);
    const auto within = [magnitude](double smallest, double largest) {
        return magnitude <= largest && (magnitude == 0 || magnitude >= smallest);
    };
    const bool fits = single ? within(std::numeric_limits<float>::min(), std::numeric_limits<float>::max())
                             : within(std::numeric_limits<double>::min(), std::numeric_limits<double>::max());
    if (!ok || !fits)
        return refused(single ? QStringLiteral("超出 real 的范围") : QStringLiteral("超出 float 的范围"));
    if (single)
        value = static_cast<float>(value);
    return storedValue(QString::number(value, 'g', single ? 7 : 15));
}

// "true" and "false" in any case, any integer (not zero is true) and blanks (false); also
// "是" and "否", which bundles written by earlier installations carry.
StoredValue booleanValue(const QString& text)
{
    const QString trimmed = text.trimmed();
    const QString kTrue = QStringLiteral("-1");
    const QString kFalse = QStringLiteral("0");
    if (trimmed.isEmpty())
        return storedValue(kFalse);
    if (trimmed.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || trimmed == QStringLiteral("是"))
        return storedValue(kTrue);
    if (trimmed.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0 || trimmed == QStringLiteral("否"))
        return storedValue(kFalse);
    if (const std::optional<DecimalParts> parts = splitDecimal(trimmed); parts && !parts->point) {
        const bool nonZero = std::any_of(parts->whole.begin(), parts->whole.end(),
                                         [](QChar c) { return c != QLatin1Char('0'); });
        return storedValue(nonZero ? kTrue : kFalse);
    }
    return refused(QStringLiteral("不是 bit 值（1、0、true 或 false）"));
}

// The 36 characters of a GUID as the program writes them, upper case: nothing to read and
// write again. The form of nearly every GUID an import writes, with braces (from a bundle)
// or without (a new one).
bool isUpperCaseGuidCore(QStringView text)
{
    constexpr qsizetype kLength = 36;
    if (text.size() != kLength)
        return false;
    for (qsizetype i = 0; i < kLength; ++i) {
        const QChar c = text[i];
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        const bool fits = dash ? c == QLatin1Char('-')
                               : (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                                     (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
        if (!fits)
            return false;
    }
    return true;
}

StoredValue guidValue(const QString& text)
{
    if (text.startsWith(QLatin1Char('{')) && text.endsWith(QLatin1Char('}')) &&
        isUpperCaseGuidCore(QStringView(text).mid(1, text.size() - 2)))
        return storedValue(text);
    if (isUpperCaseGuidCore(text))
        return storedValue(QLatin1Char('{') + text + QLatin1Char('}'));
    // SQL Server reads the 36 characters of a GUID, after a "{" when there is one, and
    // ignores whatever follows them: its conversion cuts a longer text off.
    constexpr qsizetype kGuidLength = 36;
    const std::optional<QUuid> guid =
        parseGuid(QStringView(text).mid(text.startsWith(QLatin1Char('{')) ? 1 : 0, kGuidLength));
    if (!guid)
        return refused(QStringLiteral("不是 GUID"));
    return storedValue(guidText(*guid));
}

// datetime keeps its time in 300ths of a second, smalldatetime in whole minutes; either
// rounds what it cannot keep, and the rounding may carry into the next day. Plain integers
// and days: a bulk import rounds one moment in nearly every row.
Moment roundedMoment(const Moment& moment, bool smallDateTime)
{
    constexpr qint64 kDay = 24 * 60 * 60 * 1000;
    const qint64 msecs = moment.time.msecsSinceStartOfDay();
    qint64 rounded = 0;
    if (smallDateTime) {
        constexpr qint64 kMinute = 60 * 1000;
        rounded = (msecs / kMinute + (msecs % kMinute >= 29999 ? 1 : 0)) * kMinute;
    } else {
        const qint64 ticks = (msecs * 3 + 5) / 10;
        rounded = (ticks * 20 + 3) / 6; // ticks × 10/3, to the nearest millisecond
    }
    Moment result = moment;
    if (rounded >= kDay) {
        result.date = moment.date.addDays(1);
        rounded -= kDay;
    }
    result.time = QTime::fromMSecsSinceStartOfDay(static_cast<int>(rounded));
    return result;
}

StoredValue dateTimeValue(const ColumnType& type, const QString& text)
{
    const bool small = type.size == 16; // smalldatetime(16 characters); datetime has 23
    const std::optional<Moment> moment = parseMoment(text);
    // SQL Server reads a text of blanks as its first day.
    if (!moment && text.trimmed().isEmpty())
        return dateTimeValue(type, QStringLiteral("19000101"));
    if (!moment || moment->fractionDigits > 3)
        return refused(QStringLiteral("不是日期时间"));
    const Moment rounded = roundedMoment(*moment, small);
    const QDate first = small ? QDate(1900, 1, 1) : QDate(1753, 1, 1);
    const QDate last = small ? QDate(2079, 6, 6) : QDate(9999, 12, 31);
    if (rounded.date < first || rounded.date > last)
        return refused(small ? QStringLiteral("超出 smalldatetime 的范围") : QStringLiteral("超出 datetime 的范围"));
    return storedValue(dateTimeText(rounded.date, rounded.time));
}

StoredValue dateValue(const QString& text)
{
    const std::optional<Moment> moment = parseMoment(text);
    if (!moment)
        return refused(QStringLiteral("不是日期"));
    return storedValue(dateTimeText(moment->date, QTime(0, 0)));
}

StoredValue binaryValue(const ColumnType& type, const QString& text)
{
    if (!isHexText(text))
        return refused(QStringLiteral("不是十六进制数据"));
    const qsizetype bytes = text.size() / 2;
    if (type.size > 0 && bytes > type.size)
        return refused(QStringLiteral("超过 %1 个字节").arg(type.size));
    QString stored = text.toUpper();
    if (type.adoType == adBinary)
        stored += QString(2 * (type.size - bytes), QLatin1Char('0'));
    return storedValue(stored);
}

} // namespace

ValueKind kindOfType(int adoType)
{
    switch (adoType) {
    case adChar:
    case adWChar:
    case adVarChar:
    case adLongVarChar:
    case adVarWChar:
    case adLongVarWChar:
        return ValueKind::Text;
    case adTinyInt:
    case adUnsignedTinyInt:
    case adSmallInt:
    case adUnsignedSmallInt:
    case adInteger:
    case adUnsignedInt:
    case adBigInt:
    case adUnsignedBigInt:
        return ValueKind::Integer;
    case adCurrency:
    case adDecimal:
    case adNumeric:
    case adVarNumeric:
        return ValueKind::Decimal;
    case adSingle:
    case adDouble:
        return ValueKind::Float;
    case adBoolean:
        return ValueKind::Boolean;
    case adGUID:
        return ValueKind::Guid;
    case adDBTimeStamp:
        return ValueKind::DateTime;
    case adDate:
    case adDBDate:
        return ValueKind::Date;
    case adBinary:
    case adVarBinary:
    case adLongVarBinary:
        return ValueKind::Binary;
    default:
        return ValueKind::Other;
    }
}

StoredValue storeValue(const ColumnType& type, const QString& text)
{
    const ValueKind kind = kindOfType(type.adoType);
    if (kind == ValueKind::Text)
        return textValue(type, text);
    if (kind == ValueKind::Other || text.isEmpty())
        return storedValue(text);
    switch (kind) {
    case ValueKind::Integer: return integerValue(type, text);
    case ValueKind::Decimal: return decimalValue(type, text);
    case ValueKind::Float: return floatValue(type, text);
    case ValueKind::Boolean: return booleanValue(text);
    case ValueKind::Guid: return guidValue(text);
    case ValueKind::DateTime: return dateTimeValue(type, text);
    case ValueKind::Date: return dateValue(text);
    case ValueKind::Binary: return binaryValue(type, text);
    default: return storedValue(text);
    }
}

bool isNarrowText(int adoType)
{
    return adoType == adChar || adoType == adVarChar || adoType == adLongVarChar;
}

QString silentChangeRefusal(const ColumnType& type, const QString& text)
{
    if (type.codePage == 0 || !isNarrowText(type.adoType) || codePageLength(text, type.codePage))
        return QString();
    return QStringLiteral("含有代码页 %1 无法表示的字符“%2”")
        .arg(QString::number(type.codePage), firstCharacterOutsideCodePage(text, type.codePage));
}

QString integerRangeRefusal(int adoType, qint64 value)
{
    const IntegerRange range = rangeOf(adoType);
    return value < range.lowest || value > range.highest ? rangeRefusal(range) : QString();
}

QString refusedValueText(const QString& table, const QString& column, const QString& value, const QString& refusal)
{
    constexpr qsizetype kShown = 40;
    const QString shown = value.size() > kShown ? value.left(kShown) + QStringLiteral("…") : value;
    return QStringLiteral("表 %1 列 %2 的值“%3”%4").arg(table, column, shown, refusal);
}

} // namespace korvel

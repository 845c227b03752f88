#include "db/odbc/OdbcValueText.h"

#include "db/client/DateTimeText.h"

#include <QRegularExpression>

QString BracedGuid(const QString& text)
{
    static const QRegularExpression guid(QStringLiteral(
        "^\\s*\\{?([0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12})\\}?\\s*$"));
    const QRegularExpressionMatch match = guid.match(text);
    if (!match.hasMatch())
        return text;
    return QLatin1Char('{') + match.captured(1).toUpper() + QLatin1Char('}');
}

QString TimestampText(const SQL_TIMESTAMP_STRUCT& timestamp)
{
    return DateTimeText(timestamp.year, timestamp.month, timestamp.day, timestamp.hour, timestamp.minute,
                        timestamp.second, static_cast<int>(timestamp.fraction / 1000000));
}

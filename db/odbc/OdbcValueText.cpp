#include "db/odbc/OdbcValueText.h"

#include "db/client/ValueText.h"

QString BracedGuid(const QString& text)
{
    // Blanks around it are the padding of a fixed-width column, not part of the GUID.
    QStringView bare(text);
    const auto isBlank = [](QChar c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); };
    while (!bare.isEmpty() && isBlank(bare.front()))
        bare = bare.mid(1);
    while (!bare.isEmpty() && isBlank(bare.back()))
        bare.chop(1);
    const std::optional<QUuid> guid = ParseGuid(bare);
    return guid ? GuidText(*guid) : text;
}

QString TimestampText(const SQL_TIMESTAMP_STRUCT& timestamp)
{
    return DateTimeText(timestamp.year, timestamp.month, timestamp.day, timestamp.hour, timestamp.minute,
                        timestamp.second, static_cast<int>(timestamp.fraction / 1000000));
}

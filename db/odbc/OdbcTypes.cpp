#include "db/odbc/OdbcTypes.h"

#include "db/client/DbClient.h"
#include "db/client/ValueText.h"

namespace korvel {

namespace {

bool nameIs(const QString& typeName, const char* name)
{
    return typeName.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

// The provider predates SQL Server's newer date and time types and hands them over as text.
constexpr int kNewerDateTime = adVarWChar;

} // namespace

int adoTypeOfOdbcColumn(SQLSMALLINT sqlType, SQLULEN columnSize, const QString& typeName)
{
    switch (sqlType) {
    case SQL_INTEGER:
        return adInteger;
    case SQL_SMALLINT:
        return adSmallInt;
    case SQL_TINYINT:
        // SQL Server's tinyint holds 0 to 255.
        return adUnsignedTinyInt;
    case SQL_BIGINT:
        return adBigInt;
    case SQL_BIT:
        return adBoolean;
    case SQL_DECIMAL:
    case SQL_NUMERIC:
        return nameIs(typeName, "money") || nameIs(typeName, "smallmoney") ? adCurrency : adNumeric;
    case SQL_FLOAT:
    case SQL_DOUBLE:
        return adDouble;
    case SQL_REAL:
        return adSingle;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
        return nameIs(typeName, "datetime2") ? kNewerDateTime : adDBTimeStamp;
    case SQL_TYPE_DATE:
    case SQL_DATE:
    case SQL_TYPE_TIME:
    case SQL_TIME:
    case kSqlServerTime2:
    case kSqlServerTimestampOffset:
        return kNewerDateTime;
    case SQL_GUID:
        return adGUID;
    case SQL_CHAR:
        return adChar;
    case SQL_VARCHAR:
        return columnSize == 0 ? adLongVarChar : adVarChar;
    case SQL_LONGVARCHAR:
        return adLongVarChar;
    case SQL_WCHAR:
        return adWChar;
    case SQL_WVARCHAR:
        return columnSize == 0 ? adLongVarWChar : adVarWChar;
    case SQL_WLONGVARCHAR:
    case kSqlServerXml:
        return adLongVarWChar;
    case SQL_BINARY:
        return adBinary;
    case SQL_VARBINARY:
        return columnSize == 0 ? adLongVarBinary : adVarBinary;
    case SQL_LONGVARBINARY:
        return adLongVarBinary;
    case kSqlServerVariant:
        return adVariant;
    default:
        // Whatever else a source has, the program can still read it as text.
        return adVarWChar;
    }
}

ColumnType columnTypeOfOdbcColumn(SQLSMALLINT sqlType, SQLULEN columnSize, SQLSMALLINT decimalDigits,
                                  const QString& typeName)
{
    ColumnType type{adoTypeOfOdbcColumn(sqlType, columnSize, typeName)};
    // Drivers describe the long kinds with sizes of a gigabyte or more; SQL Server's
    // limited kinds stop at 8,000 bytes.
    constexpr SQLULEN kLongestLimited = 8000;
    const int size = columnSize <= kLongestLimited ? static_cast<int>(columnSize) : 0;
    switch (type.adoType) {
    case adChar:
    case adWChar:
    case adVarChar:
    case adVarWChar:
    case adBinary:
    case adVarBinary:
        type.size = size;
        break;
    case adNumeric:
    case adCurrency:
    case adDBTimeStamp:
        type.size = size;
        type.scale = decimalDigits;
        break;
    default:
        break;
    }
    return type;
}

OdbcValueKind valueKindOfAdoType(int adoType)
{
    switch (adoType) {
    case adBinary:
    case adVarBinary:
    case adLongVarBinary:
        return OdbcValueKind::Bytes;
    case adBoolean:
        return OdbcValueKind::Bit;
    case adGUID:
        return OdbcValueKind::Guid;
    case adDBTimeStamp:
        return OdbcValueKind::Timestamp;
    default:
        return OdbcValueKind::Text;
    }
}

QString bracedGuid(const QString& text)
{
    // Blanks around it are the padding of a fixed-width column, not part of the GUID.
    const std::optional<QUuid> guid = parseGuid(QStringView(text).trimmed());
    return guid ? guidText(*guid) : text;
}

QString timestampText(const SQL_TIMESTAMP_STRUCT& timestamp)
{
    return dateTimeText(timestamp.year, timestamp.month, timestamp.day, timestamp.hour, timestamp.minute,
                        timestamp.second, static_cast<int>(timestamp.fraction / 1000000));
}

} // namespace korvel

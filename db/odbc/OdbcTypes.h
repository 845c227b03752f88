#pragma once

#include "db/client/DbClient.h"

#include <QString>

#include <sqlext.h>

namespace korvel {

// SQL Server's own ODBC types, which the standard headers do not name.
constexpr SQLSMALLINT kSqlServerVariant = -150;
constexpr SQLSMALLINT kSqlServerXml = -152;
constexpr SQLSMALLINT kSqlServerTime2 = -154;
constexpr SQLSMALLINT kSqlServerTimestampOffset = -155;

// The ADO data type code that SQL Server's OLE DB provider reports for the column that ODBC
// describes with this SQL type, column size and data source type name (SQL_DESC_TYPE_NAME),
// which tells the types that share an SQL type apart (money is SQL_DECIMAL, datetime2 is
// SQL_TYPE_TIMESTAMP, the (max) types are the plain ones with size 0).
int adoTypeOfOdbcColumn(SQLSMALLINT sqlType, SQLULEN columnSize, const QString& typeName);

// The column's ADO type with the limits the driver describes: the size of a text or binary
// column (none for the long kinds), the precision and scale of a decimal, the fraction
// digits of a date-time.
ColumnType columnTypeOfOdbcColumn(SQLSMALLINT sqlType, SQLULEN columnSize, SQLSMALLINT decimalDigits,
                                  const QString& typeName);

// How a value of a column is fetched and given to the program.
enum class OdbcValueKind {
    Text,      // the driver's text
    Bytes,     // binary kinds
    Bit,       // "-1" / "0"
    Guid,      // braced upper-case GUID
    Timestamp, // the program's date-time text
};

OdbcValueKind valueKindOfAdoType(int adoType);

// A GUID as the program writes it, braced and upper-case ("{6F9619FF-8B86-D011-B42D-00C04FC964FF}"),
// whether the driver gave it bare (FreeTDS), lower-case (psqlODBC) or braced. A text that
// is not a GUID comes back unchanged.
QString bracedGuid(const QString& text);

// A driver's timestamp in the program's date-time text; the fraction (nanoseconds) is kept
// to the millisecond.
QString timestampText(const SQL_TIMESTAMP_STRUCT& timestamp);

} // namespace korvel

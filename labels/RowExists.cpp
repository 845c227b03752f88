#include "labels/RowExists.h"

#include "db/CAdoDatabase.h"

bool RowExists(CAdoDatabase& database, const QString& tableName, const QString& value, const QString& columnName)
{
    QString literal = value;
    database.FormatSqlLiteral(database.GetColumnType(columnName, tableName), literal);
    TextTable rows;
    return database.Query(QStringLiteral("select * from %1 where %2=%3").arg(tableName, columnName, literal), &rows) &&
           !rows.isEmpty();
}

#include "db/odbc/OdbcResultReader.h"

#include "db/odbc/BufferedCursor.h"
#include "db/odbc/OdbcDiagnostics.h"
#include "db/odbc/OdbcText.h"
#include "db/odbc/OdbcTypes.h"
#include "db/odbc/OdbcValueReader.h"

#include <vector>

namespace {

// Moves to the first result that has columns; false with columns = 0 when there is none.
bool FindColumns(SQLHSTMT statement, SQLSMALLINT& columns, DbError& error)
{
    for (;;) {
        columns = 0;
        if (!SQL_SUCCEEDED(SQLNumResultCols(statement, &columns))) {
            error = OdbcFailure(SQL_HANDLE_STMT, statement, "SQLNumResultCols");
            return false;
        }
        if (columns > 0)
            return true;
        const SQLRETURN result = SQLMoreResults(statement);
        if (result == SQL_NO_DATA)
            return true;
        if (!SQL_SUCCEEDED(result)) {
            error = OdbcFailure(SQL_HANDLE_STMT, statement, "SQLMoreResults");
            return false;
        }
    }
}

bool TypeName(SQLHSTMT statement, SQLUSMALLINT column, QString& name, DbError& error)
{
    SQLWCHAR text[128] = {};
    SQLSMALLINT bytes = 0;
    if (!SQL_SUCCEEDED(SQLColAttributeW(statement, column, SQL_DESC_TYPE_NAME, text, sizeof text, &bytes, nullptr))) {
        error = OdbcFailure(SQL_HANDLE_STMT, statement, "SQLColAttributeW");
        return false;
    }
    const qsizetype capacity = static_cast<qsizetype>(sizeof text / sizeof text[0]) - 1;
    name = FromOdbcText(text, qMin<qsizetype>(bytes / static_cast<qsizetype>(sizeof(SQLWCHAR)), capacity));
    return true;
}

bool DescribeField(SQLHSTMT statement, SQLUSMALLINT column, BufferedCursor::Field& field,
                   OdbcValueKind& kind, DbError& error)
{
    std::vector<SQLWCHAR> name(256);
    SQLSMALLINT nameLength = 0;
    SQLSMALLINT sqlType = 0;
    SQLULEN columnSize = 0;
    SQLSMALLINT decimalDigits = 0;
    SQLSMALLINT nullable = 0;
    for (;;) {
        if (!SQL_SUCCEEDED(SQLDescribeColW(statement, column, name.data(), static_cast<SQLSMALLINT>(name.size()),
                                           &nameLength, &sqlType, &columnSize, &decimalDigits, &nullable))) {
            error = OdbcFailure(SQL_HANDLE_STMT, statement, "SQLDescribeColW");
            return false;
        }
        if (nameLength < static_cast<SQLSMALLINT>(name.size()))
            break;
        name.resize(static_cast<std::size_t>(nameLength) + 1);
    }
    QString typeName;
    if (!TypeName(statement, column, typeName, error))
        return false;
    field.name = FromOdbcText(name.data(), nameLength);
    field.type = ColumnTypeOfOdbcColumn(sqlType, columnSize, decimalDigits, typeName);
    kind = ValueKindOfAdoType(field.type.adoType);
    return true;
}

bool ReadRow(SQLHSTMT statement, const std::vector<OdbcValueKind>& kinds, BufferedCursor::Row& row, DbError& error)
{
    row.clear();
    row.reserve(static_cast<qsizetype>(kinds.size()));
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        DbValue value;
        if (!ReadOdbcValue(statement, static_cast<SQLUSMALLINT>(i + 1), kinds[i], value, error))
            return false;
        row.append(std::move(value));
    }
    return true;
}

} // namespace

bool ReadOdbcResult(SQLHSTMT statement, std::unique_ptr<DbCursor>& cursor, DbError& error)
{
    SQLSMALLINT columns = 0;
    if (!FindColumns(statement, columns, error))
        return false;

    QList<BufferedCursor::Field> fields;
    std::vector<OdbcValueKind> kinds(static_cast<std::size_t>(columns));
    for (SQLSMALLINT column = 1; column <= columns; ++column) {
        BufferedCursor::Field field;
        if (!DescribeField(statement, static_cast<SQLUSMALLINT>(column), field, kinds[column - 1], error))
            return false;
        fields.append(field);
    }

    QList<BufferedCursor::Row> rows;
    std::optional<DbError> failure;
    while (columns > 0) {
        const SQLRETURN result = SQLFetch(statement);
        if (result == SQL_NO_DATA)
            break;
        BufferedCursor::Row row;
        DbError rowError;
        if (!SQL_SUCCEEDED(result)) {
            rowError = OdbcFailure(SQL_HANDLE_STMT, statement, "SQLFetch");
        } else if (ReadRow(statement, kinds, row, rowError)) {
            rows.append(std::move(row));
            continue;
        }
        if (rows.isEmpty()) {
            error = rowError;
            return false;
        }
        failure = rowError;
        break;
    }
    cursor = std::make_unique<BufferedCursor>(std::move(fields), std::move(rows), std::move(failure));
    return true;
}

#include "db/sqlite/SqliteCursor.h"

#include "db/client/ValueRules.h"

#include <QHash>
#include <QStringList>

#include <sqlite3.h>

#include <charconv>

namespace korvel {

namespace {

struct TypeName
{
    QString base;      // lower case, without its arguments
    QString arguments; // lower case, what stands between the parentheses
};

TypeName splitTypeName(const QString& declaredType)
{
    const QString type = declaredType.trimmed().toLower();
    const qsizetype open = type.indexOf(QLatin1Char('('));
    if (open < 0)
        return {type.simplified(), QString()};
    const qsizetype close = type.indexOf(QLatin1Char(')'), open);
    return {type.left(open).simplified(), type.mid(open + 1, close < 0 ? -1 : close - open - 1).simplified()};
}

const QHash<QString, int>& typeCodes()
{
    static const QHash<QString, int> codes = {
        {"int", adInteger},         {"integer", adInteger},
        {"smallint", adSmallInt},   {"tinyint", adUnsignedTinyInt},
        {"bigint", adBigInt},       {"bit", adBoolean},
        {"decimal", adNumeric},     {"numeric", adNumeric},
        {"money", adCurrency},      {"smallmoney", adCurrency},
        {"float", adDouble},        {"double", adDouble},
        {"double precision", adDouble},
        {"real", adSingle},         {"datetime", adDBTimeStamp},
        {"smalldatetime", adDBTimeStamp},
        {"uniqueidentifier", adGUID},
        {"char", adChar},           {"varchar", adVarChar},
        {"text", adLongVarChar},    {"nchar", adWChar},
        {"nvarchar", adVarWChar},   {"ntext", adLongVarWChar},
        {"xml", adLongVarWChar},    {"binary", adBinary},
        {"varbinary", adVarBinary}, {"image", adLongVarBinary},
        {"blob", adLongVarBinary},  {"timestamp", adBinary},
        {"rowversion", adBinary},   {"sql_variant", adVariant},
        // SQL Server's OLE DB provider predates these and reports them as wide text.
        {"date", adVarWChar},       {"time", adVarWChar},
        {"datetime2", adVarWChar},  {"datetimeoffset", adVarWChar},
    };
    return codes;
}

// Types whose size the declaration does not give: the newer date and time types are wide
// text to the provider and hold no more than their text form (0: not limited here), a row
// version is eight bytes.
const QHash<QString, int>& fixedSizes()
{
    static const QHash<QString, int> sizes = {
        {"date", 0}, {"time", 0}, {"datetime2", 0}, {"datetimeoffset", 0}, {"timestamp", 8}, {"rowversion", 8},
    };
    return sizes;
}

int numberArgument(const QStringList& arguments, int index, int absent)
{
    bool ok = false;
    const int value = arguments.value(index).trimmed().toInt(&ok);
    return ok ? value : absent;
}

// A column without a declared type (an expression) takes its type from the first value.
int adoTypeFromStorage(int storageClass)
{
    switch (storageClass) {
    case SQLITE_INTEGER: return adBigInt;
    case SQLITE_FLOAT: return adDouble;
    case SQLITE_BLOB: return adVarBinary;
    default: return adVarWChar;
    }
}

// SQLite keeps text as UTF-8: decoding it here is cheaper than asking SQLite for UTF-16.
QString columnText(sqlite3_stmt* statement, int field)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, field));
    return QString::fromUtf8(text, sqlite3_column_bytes(statement, field));
}

// Whole numbers are most of the cells of a large result: std::to_chars writes them without
// the locale machinery behind QString::number.
QString integerText(sqlite3_stmt* statement, int field)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, sqlite3_column_int64(statement, field)).ptr;
    return QString::fromLatin1(digits, end - digits);
}

// SQLite keeps decimals as integers or doubles; the declared scale gives them back the
// digits SQL Server would show ("12.50" for a decimal(10,2) holding 12.5).
QString numberText(sqlite3_stmt* statement, int field, int scale)
{
    if (scale == 0 && sqlite3_column_type(statement, field) == SQLITE_INTEGER)
        return integerText(statement, field);
    return QString::number(sqlite3_column_double(statement, field), 'f', scale);
}

bool isConvertedFromText(int adoType)
{
    switch (kindOfType(adoType)) {
    case ValueKind::Boolean:
    case ValueKind::Guid:
    case ValueKind::DateTime:
    case ValueKind::Date:
    case ValueKind::Decimal:
        return true;
    default:
        return false;
    }
}

// Besides text: a decimal kept as the bytes of its text (it had more digits than a double
// holds), and a date written without separators, which SQLite took for a number
// ("20170406").
bool readsThroughTheRules(ValueKind kind, int storage)
{
    switch (storage) {
    case SQLITE_TEXT: return true;
    case SQLITE_BLOB: return kind == ValueKind::Decimal;
    case SQLITE_INTEGER: return kind == ValueKind::DateTime || kind == ValueKind::Date;
    default: return false;
    }
}

QString floatText(sqlite3_stmt* statement, int field, int significantDigits)
{
    if (sqlite3_column_type(statement, field) == SQLITE_TEXT)
        return columnText(statement, field);
    return QString::number(sqlite3_column_double(statement, field), 'g', significantDigits);
}

QByteArray columnBytes(sqlite3_stmt* statement, int field)
{
    const auto* data = static_cast<const char*>(sqlite3_column_blob(statement, field));
    return QByteArray(data, sqlite3_column_bytes(statement, field));
}

} // namespace

ColumnType columnTypeOfDeclaration(const QString& declaredType)
{
    const TypeName name = splitTypeName(declaredType);
    ColumnType type{typeCodes().value(name.base, adEmpty)};
    const QStringList arguments = name.arguments.split(QLatin1Char(','));
    const bool max = name.arguments == QLatin1String("max");
    switch (type.adoType) {
    case adVarChar:
    case adVarWChar:
    case adVarBinary:
        if (max) {
            type.adoType = type.adoType == adVarChar    ? adLongVarChar
                           : type.adoType == adVarWChar ? adLongVarWChar
                                                        : adLongVarBinary;
            break;
        }
        [[fallthrough]];
    case adChar:
    case adWChar:
    case adBinary:
        type.size = fixedSizes().value(name.base, numberArgument(arguments, 0, 1));
        break;
    case adNumeric:
        type.size = numberArgument(arguments, 0, 18);
        type.scale = numberArgument(arguments, 1, 0);
        break;
    case adCurrency:
        type.size = name.base == QLatin1String("smallmoney") ? 10 : 19;
        type.scale = 4;
        break;
    case adDBTimeStamp:
        // As ODBC describes them: smalldatetime in 16 characters keeping whole minutes,
        // datetime in 23 keeping milliseconds (to a 300th of a second).
        type.size = name.base == QLatin1String("smalldatetime") ? 16 : 23;
        type.scale = name.base == QLatin1String("smalldatetime") ? 0 : 3;
        break;
    default:
        break;
    }
    // The embedded database stands for a server with a Chinese collation, whose narrow text
    // is GBK.
    if (isNarrowText(type.adoType))
        type.codePage = kEmbeddedCodePage;
    return type;
}

SqliteCursor::SqliteCursor(sqlite3_stmt* statement, bool hasRow) : m_statement(statement), m_atEnd(!hasRow)
{
    const int count = sqlite3_column_count(statement);
    m_columns.reserve(count);
    for (int field = 0; field < count; ++field) {
        Column column;
        column.name = QString::fromUtf8(sqlite3_column_name(statement, field));
        const char* declared = sqlite3_column_decltype(statement, field);
        column.type = columnTypeOfDeclaration(QString::fromUtf8(declared));
        if (column.type.adoType == adEmpty && !declared)
            column.type.adoType = adoTypeFromStorage(hasRow ? sqlite3_column_type(statement, field) : SQLITE_TEXT);
        column.convertsText = isConvertedFromText(column.type.adoType);
        m_columns.append(column);
    }
}

SqliteCursor::~SqliteCursor()
{
    sqlite3_finalize(m_statement);
}

int SqliteCursor::fieldCount() const
{
    return static_cast<int>(m_columns.size());
}

QString SqliteCursor::fieldName(int field) const
{
    return m_columns.at(field).name;
}

ColumnType SqliteCursor::fieldColumnType(int field) const
{
    return m_columns.at(field).type;
}

bool SqliteCursor::atEnd() const
{
    return m_atEnd;
}

bool SqliteCursor::readValue(int field, DbValue& value, DbError& error)
{
    if (m_atEnd || field < 0 || field >= m_columns.size()) {
        error = DbError::driverFailure(QStringLiteral("没有当前记录"));
        return false;
    }
    const int storage = sqlite3_column_type(m_statement, field);
    if (storage == SQLITE_NULL) {
        value = DbValue::null();
        return true;
    }
    const Column& column = m_columns.at(field);
    const ColumnType& type = column.type;
    // A value stored in another form than the program writes (by hand, or by another
    // program) reads as SQL Server would have stored it.
    if (column.convertsText && readsThroughTheRules(kindOfType(type.adoType), storage)) {
        const StoredValue stored = storeValue(type, columnText(m_statement, field));
        value = DbValue::fromText(stored.accepted ? stored.text : columnText(m_statement, field));
        return true;
    }
    switch (type.adoType) {
    case adBoolean:
        value = DbValue::fromText(sqlite3_column_int64(m_statement, field) != 0 ? QStringLiteral("-1")
                                                                                  : QStringLiteral("0"));
        break;
    case adNumeric:
    case adCurrency:
        value = DbValue::fromText(numberText(m_statement, field, type.scale));
        break;
    case adDouble:
        value = DbValue::fromText(floatText(m_statement, field, 15));
        break;
    case adSingle:
        value = DbValue::fromText(floatText(m_statement, field, 7));
        break;
    case adBinary:
    case adVarBinary:
    case adLongVarBinary:
        value = DbValue::fromBytes(columnBytes(m_statement, field));
        break;
    default:
        if (storage == SQLITE_INTEGER)
            value = DbValue::fromText(integerText(m_statement, field));
        else if (storage == SQLITE_BLOB)
            value = DbValue::fromBytes(columnBytes(m_statement, field));
        else if (storage == SQLITE_FLOAT)
            value = DbValue::fromText(floatText(m_statement, field, 15));
        else
            value = DbValue::fromText(columnText(m_statement, field));
        break;
    }
    return true;
}

bool SqliteCursor::moveNext(DbError& error)
{
    if (m_atEnd)
        return true;
    const int result = sqlite3_step(m_statement);
    if (result == SQLITE_ROW)
        return true;
    m_atEnd = true;
    if (result == SQLITE_DONE)
        return true;
    error = DbError::driverFailure(QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(m_statement))));
    return false;
}

} // namespace korvel

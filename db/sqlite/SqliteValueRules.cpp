#include "db/sqlite/SqliteValueRules.h"

#include "db/client/SqlDialect.h"
#include "db/client/ValueRules.h"
#include "db/sqlite/SqliteCursor.h"
#include "util/TextConversions.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

#include <sqlite3.h>

namespace korvel {

namespace {

constexpr const char* kCheckFunction = "korvel_value_rules";

QString identifier(QString name)
{
    return QLatin1Char('"') + name.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

QString textOf(sqlite3_value* value)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(value)), sqlite3_value_bytes(value));
}

// The value as the message shows it: binary data of a binary column as hexadecimal text,
// as the program reads it.
QString shownValue(const ColumnType& type, sqlite3_value* value)
{
    if (kindOfType(type.adoType) == ValueKind::Binary && sqlite3_value_type(value) == SQLITE_BLOB)
        return bytesToHex(QByteArray(static_cast<const char*>(sqlite3_value_blob(value)), sqlite3_value_bytes(value)));
    return textOf(value);
}

bool isAsciiUtf8(sqlite3_value* value)
{
    const auto* bytes = sqlite3_value_text(value);
    return std::all_of(bytes, bytes + sqlite3_value_bytes(value), [](unsigned char byte) { return byte < 0x80; });
}

// The reason the column cannot hold the value as SQLite has it (after the column's
// affinity), or an empty text.
QString valueRefusal(const ColumnType& type, sqlite3_value* value)
{
    const ValueKind kind = kindOfType(type.adoType);
    if (kind == ValueKind::Other)
        return QString();
    switch (sqlite3_value_type(value)) {
    case SQLITE_NULL:
        return QString();
    case SQLITE_INTEGER:
        if (kind == ValueKind::Boolean || (kind == ValueKind::Decimal && type.size == 0))
            return QString();
        if (kind == ValueKind::Binary)
            return QStringLiteral("不是二进制数据");
        if (kind == ValueKind::Integer)
            return integerRangeRefusal(type.adoType, sqlite3_value_int64(value));
        return storeValue(type, QString::number(sqlite3_value_int64(value))).refusal;
    case SQLITE_FLOAT: {
        const double number = sqlite3_value_double(value);
        if (kind == ValueKind::Binary)
            return QStringLiteral("不是二进制数据");
        if (kind == ValueKind::Integer && number != std::trunc(number))
            return QStringLiteral("不是整数");
        const QString text = kind == ValueKind::Integer   ? QString::number(number, 'f', 0)
                             : kind == ValueKind::Decimal ? QString::number(number, 'f', type.scale)
                                                          : QString::number(number, 'g', 17);
        return storeValue(type, text).refusal;
    }
    case SQLITE_BLOB:
        // A refused value comes as the bytes of its text (SqliteDialect::refusedLiteral), and
        // so does a decimal with more digits than a double keeps (SqliteDialect::decimalLiteral).
        if (kind != ValueKind::Binary) {
            const StoredValue stored = storeValue(type, textOf(value));
            if (stored.accepted)
                return kind == ValueKind::Decimal ? QString() : QStringLiteral("不能是二进制数据");
            return stored.refusal;
        }
        return type.size > 0 && sqlite3_value_bytes(value) > type.size ? QStringLiteral("超过 %1 个字节").arg(type.size)
                                                                       : QString();
    default:
        break;
    }
    // UTF-8 takes at least as many bytes as a text has UTF-16 units or GBK bytes: a short
    // text fits without measuring, and one of ASCII alone needs no look at its code page.
    if (kind == ValueKind::Text && (type.size <= 0 || sqlite3_value_bytes(value) <= type.size) &&
        (type.codePage == 0 || isAsciiUtf8(value)))
        return QString();
    const StoredValue stored = storeValue(type, textOf(value));
    if (kind == ValueKind::Binary && stored.accepted)
        return QStringLiteral("不是二进制数据");
    return stored.refusal;
}

// Arguments: the position of the table's first checked column, then the new values of its
// checked columns in order.
void checkValues(sqlite3_context* context, int count, sqlite3_value** arguments)
{
    const auto& columns = *static_cast<const std::vector<SqliteValueRules::CheckedColumn>*>(sqlite3_user_data(context));
    const auto first = static_cast<std::size_t>(sqlite3_value_int(arguments[0]));
    for (int i = 1; i < count; ++i) {
        const std::size_t index = first + static_cast<std::size_t>(i - 1);
        if (index >= columns.size()) {
            sqlite3_result_error(context, "no such checked column", -1);
            return;
        }
        const SqliteValueRules::CheckedColumn& column = columns[index];
        const QString refusal = valueRefusal(column.type, arguments[i]);
        if (!refusal.isEmpty()) {
            const QByteArray message =
                refusedValueText(column.table, column.column, shownValue(column.type, arguments[i]), refusal).toUtf8();
            sqlite3_result_error(context, message.constData(), static_cast<int>(message.size()));
            return;
        }
    }
    sqlite3_result_null(context);
}

// Runs a statement that returns rows, handing each to `row`.
template <typename Row>
bool eachRow(sqlite3* db, const QString& sql, Row row)
{
    sqlite3_stmt* statement = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), static_cast<int>(text.size()), &statement, nullptr) != SQLITE_OK)
        return false;
    int result = SQLITE_ROW;
    while ((result = sqlite3_step(statement)) == SQLITE_ROW)
        row(statement);
    sqlite3_finalize(statement);
    return result == SQLITE_DONE;
}

QString columnText(sqlite3_stmt* statement, int column)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)));
}

} // namespace

SqliteValueRules::~SqliteValueRules()
{
    release();
}

bool SqliteValueRules::install(sqlite3* db)
{
    release();
    m_db = db;
    return sqlite3_create_function_v2(db, kCheckFunction, -1, SQLITE_UTF8, &m_columns, checkValues, nullptr, nullptr,
                                      nullptr) == SQLITE_OK &&
           sqlite3_prepare_v3(db, "PRAGMA main.schema_version", -1, SQLITE_PREPARE_PERSISTENT, &m_schemaVersion,
                              nullptr) == SQLITE_OK &&
           sqlite3_prepare_v3(db, "PRAGMA temp.schema_version", -1, SQLITE_PREPARE_PERSISTENT,
                              &m_triggersSchemaVersion, nullptr) == SQLITE_OK;
}

void SqliteValueRules::release()
{
    sqlite3_finalize(m_schemaVersion);
    m_schemaVersion = nullptr;
    sqlite3_finalize(m_triggersSchemaVersion);
    m_triggersSchemaVersion = nullptr;
    m_db = nullptr;
    m_triggersVersion = -1;
    m_columns.clear();
    m_triggers.clear();
}

int SqliteValueRules::schemaVersion(sqlite3_stmt* pragma)
{
    int version = -1;
    if (sqlite3_step(pragma) == SQLITE_ROW)
        version = sqlite3_column_int(pragma, 0);
    sqlite3_reset(pragma);
    return version;
}

// The triggers are temporary objects: a rollback to a savepoint set before they were made
// takes them back with the temporary schema's version, and leaves the tables' alone.
bool SqliteValueRules::stale()
{
    return m_schemaVersion && (m_triggersVersion < 0 || schemaVersion(m_schemaVersion) != m_triggersVersion ||
                               schemaVersion(m_triggersSchemaVersion) != m_triggersTempVersion);
}

bool SqliteValueRules::refresh()
{
    if (!makeTriggers())
        return false;
    m_triggersVersion = schemaVersion(m_schemaVersion);
    m_triggersTempVersion = schemaVersion(m_triggersSchemaVersion);
    return true;
}

void SqliteValueRules::forget()
{
    m_triggersVersion = -1;
}

// One trigger checks the new row of an INSERT, one that of an UPDATE. (Every statement on a
// table looks through its triggers: one per column would cost each statement more than
// checking a whole row costs an UPDATE.)
QString SqliteValueRules::triggersOf(const QString& table, std::size_t first)
{
    QString script;
    const auto create = [&](const QString& event, std::size_t from, std::size_t to) {
        QStringList values;
        for (std::size_t i = from; i < to; ++i)
            values.append(QStringLiteral("NEW.%1").arg(identifier(m_columns[i].column)));
        const QString trigger = QStringLiteral("korvel_value_rules_%1").arg(m_triggers.size());
        m_triggers.push_back(trigger);
        script += QStringLiteral("CREATE TEMP TRIGGER %1 BEFORE %2 ON main.%3 BEGIN SELECT %4(%5, %6); END;")
                      .arg(identifier(trigger), event, identifier(table), QLatin1String(kCheckFunction),
                           QString::number(from), values.join(u','));
    };
    // SQLite passes a function at most 127 arguments.
    constexpr std::size_t kValuesPerCall = 100;
    for (const char* event : {"INSERT", "UPDATE"}) {
        for (std::size_t from = first; from < m_columns.size(); from += kValuesPerCall)
            create(QLatin1String(event), from, qMin(from + kValuesPerCall, m_columns.size()));
    }
    return script;
}

bool SqliteValueRules::makeTriggers()
{
    QString script;
    for (const QString& trigger : m_triggers)
        script += QStringLiteral("DROP TRIGGER IF EXISTS temp.%1;").arg(identifier(trigger));
    m_triggers.clear();
    m_columns.clear();

    QStringList tables;
    if (!eachRow(m_db,
                 QStringLiteral("SELECT name FROM main.sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite\\_%' "
                                "ESCAPE '\\'"),
                 [&tables](sqlite3_stmt* row) { tables.append(columnText(row, 0)); }))
        return false;
    for (const QString& table : std::as_const(tables)) {
        const std::size_t first = m_columns.size();
        const bool read =
            eachRow(m_db,
                    QStringLiteral("SELECT name, type FROM pragma_table_info(%1)")
                        .arg(sqliteDialect().quotedLiteral(table)),
                    [&](sqlite3_stmt* row) {
                        const ColumnType type = columnTypeOfDeclaration(columnText(row, 1));
                        // A wide text without a limit holds any text; an unknown type anything.
                        const ValueKind kind = kindOfType(type.adoType);
                        const bool anyText = kind == ValueKind::Text && type.size == 0 && type.codePage == 0;
                        if (kind != ValueKind::Other && !anyText)
                            m_columns.push_back({table, columnText(row, 0), type});
                    });
        if (!read)
            return false;
        script += triggersOf(table, first);
    }
    return sqlite3_exec(m_db, script.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

} // namespace korvel

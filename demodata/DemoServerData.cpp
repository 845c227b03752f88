#include "demodata/DemoServerData.h"

#include "config/ConnectionSettings.h"
#include "db/Database.h"
#include "db/client/SqlDialect.h"
#include "util/TextConversions.h"

#include <QTemporaryDir>

namespace korvel {

namespace {

struct DemoTable
{
    const char* name;
    const char* order;    // its key: the order in which the embedded engine gives its rows back
    const char* identity; // the column the server numbers, or none
};

// Parents before children. A server that has no statistics of a table yet gives its rows
// back in the order they went in, which is then the embedded engine's order too.
const DemoTable kTables[] = {
    {"tblUserInfo", "UserID", nullptr},
    {"tblHarnessInfo", "HarnessID", "HarnessID"},
    {"tblHarnessWireInfo", "HarnessID, WireNo", nullptr},
    {"tblJobInfo", "JobID", "JobID"},
    {"tblJobStepInfo", "JobID, LineID", nullptr},
    {"tblLabelInfo", "LabelID", nullptr},
    {"tblLabelControls", "LabelID, ControlNo", nullptr},
    {"tblLabelControlItem", "ItemID", "LineID"},
};

// SQL Server allows at most 1,000 rows in one VALUES; fewer keep each statement small.
constexpr int kRowsPerInsert = 250;

// What lets rows in with the keys they bring into a table whose key the server numbers,
// and has it number new rows after them. The embedded engine does both by itself;
// PostgreSQL takes the keys but leaves its sequence where it was.
struct ExplicitKeys
{
    QString before;
    QString after;
};

ExplicitKeys explicitKeysFor(const SqlDialect& dialect, const QString& table, const char* identity)
{
    if (!identity)
        return {};
    if (&dialect == &transactSqlDialect())
        return {QStringLiteral("set identity_insert %1 on").arg(table),
                QStringLiteral("set identity_insert %1 off").arg(table)};
    if (&dialect == &postgreSqlDialect()) {
        const QString column = QString::fromLatin1(identity).toLower();
        return {QString(), QStringLiteral("select setval(pg_get_serial_sequence('%1', '%2'), max(%2)) from %1")
                               .arg(table.toLower(), column)};
    }
    return {};
}

QString literalOf(const DbValue& value, const ColumnType& type, const SqlDialect& dialect)
{
    switch (value.kind) {
    case DbValue::Kind::Null: return QStringLiteral("NULL");
    case DbValue::Kind::Bytes: return sqlLiteralForType(type, bytesToHex(value.bytes), dialect);
    case DbValue::Kind::Text: return sqlLiteralForType(type, value.text, dialect);
    }
    return QStringLiteral("NULL");
}

// The target's columns of the source's fields, in the source's order.
struct TargetColumns
{
    QStringList names;
    QList<ColumnType> types;
};

class RowCopier
{
public:
    RowCopier(DbClient& source, Database& target) : m_source(source), m_target(target) {}

    Outcome copyTable(const DemoTable& table)
    {
        const QString name = QString::fromLatin1(table.name);
        if (Outcome empty = checkEmpty(name); !empty)
            return empty;
        DbError sourceError;
        const std::unique_ptr<DbCursor> rows = m_source.openCursor(
            QStringLiteral("select * from %1 order by %2").arg(name, QString::fromLatin1(table.order)), sourceError);
        if (!rows)
            return sourceFailed(sourceError);
        const Result<TargetColumns> columns = columnsFor(name, *rows);
        if (!columns)
            return columns.outcome;
        const ExplicitKeys keys = explicitKeysFor(m_target.dialect(), name, table.identity);
        if (!keys.before.isEmpty() && !m_target.execute(keys.before))
            return targetFailed(name);
        if (Outcome copied = copyRows(name, columns.value, *rows); !copied)
            return copied;
        QStringList ignored;
        if (!keys.after.isEmpty() && !m_target.queryColumn(keys.after, &ignored))
            return targetFailed(name);
        return Outcome::success();
    }

private:
    Outcome checkEmpty(const QString& name)
    {
        QStringList count;
        if (!m_target.queryColumn(QStringLiteral("select count(*) from %1").arg(name), &count))
            return targetFailed(name);
        if (count.value(0) != QLatin1String("0"))
            return Outcome::failure(QStringLiteral("表 %1 已有数据：演示数据只能装入没有数据的表").arg(name));
        return Outcome::success();
    }

    Result<TargetColumns> columnsFor(const QString& name, DbCursor& rows)
    {
        Result<TargetColumns> columns{Outcome::success(), {}};
        QList<Database::LiveColumn> live;
        if (!m_target.liveColumns(name, live)) {
            columns.outcome = targetFailed(name);
            return columns;
        }
        for (int field = 0; field < rows.fieldCount(); ++field) {
            const Database::LiveColumn* column = Database::findColumn(live, rows.fieldName(field));
            if (!column) {
                columns.outcome =
                    Outcome::failure(QStringLiteral("表 %1 没有列 %2").arg(name, rows.fieldName(field)));
                return columns;
            }
            columns.value.types.append(column->type);
            columns.value.names.append(column->name);
        }
        return columns;
    }

    // The rows in statements of kRowsPerInsert rows each.
    Outcome copyRows(const QString& name, const TargetColumns& columns, DbCursor& rows)
    {
        const QString insert = QStringLiteral("insert into %1 (%2) values ").arg(name, columns.names.join(QLatin1Char(',')));
        QString statement;
        int pending = 0;
        DbError sourceError;
        while (!rows.atEnd()) {
            QStringList values;
            for (int field = 0; field < columns.types.size(); ++field) {
                DbValue value;
                if (!rows.readValue(field, value, sourceError))
                    return sourceFailed(sourceError);
                values.append(literalOf(value, columns.types[field], m_target.dialect()));
            }
            statement += (pending == 0 ? insert : QStringLiteral(",")) + QLatin1Char('(') +
                         values.join(QLatin1Char(',')) + QLatin1Char(')');
            if (!rows.moveNext(sourceError))
                return sourceFailed(sourceError);
            if (++pending == kRowsPerInsert || rows.atEnd()) {
                if (!m_target.execute(statement))
                    return targetFailed(name);
                statement.clear();
                pending = 0;
            }
        }
        return Outcome::success();
    }

    Outcome targetFailed(const QString& table) const
    {
        return Outcome::failure(QStringLiteral("%1，演示数据装入 %2 失败").arg(m_target.lastError(), table));
    }
    static Outcome sourceFailed(const DbError& failure)
    {
        return Outcome::failure(
            QStringLiteral("读取演示数据失败：%1").arg(failure.description.value_or(QString())));
    }

    DbClient& m_source;
    Database& m_target;
};

} // namespace

Outcome copyEmbeddedRows(const QString& embeddedPath, const QString& connectionString)
{
    DbError sourceError;
    const QString sourceConnection =
        buildConnectionString({embeddedPath, QString(), QString(), QString(), QString(), QStringLiteral("sqlite")});
    const std::unique_ptr<DbClient> source = createDbClient(sourceConnection, sourceError);
    if (!source || !source->open(sourceConnection, sourceError))
        return Outcome::failure(
            QStringLiteral("读取演示数据失败：%1").arg(sourceError.description.value_or(QString())));
    Database target;
    if (!target.open(connectionString) || !target.beginTransaction())
        return Outcome::failure(target.lastError());
    RowCopier copier(*source, target);
    for (const DemoTable& table : kTables) {
        if (Outcome copied = copier.copyTable(table); !copied) {
            (void)target.rollbackTransaction();
            return copied;
        }
    }
    if (!target.commitTransaction()) {
        const Outcome failed = Outcome::failure(target.lastError());
        (void)target.rollbackTransaction();
        return failed;
    }
    return Outcome::success();
}

Outcome loadDemoData(const QString& connectionString, const DemoOptions& demo)
{
    QTemporaryDir folder;
    if (!folder.isValid())
        return Outcome::failure(QStringLiteral("无法建立临时文件夹：%1").arg(folder.errorString()));
    const QString path = folder.filePath(QStringLiteral("demo.db"));
    Outcome created = createDemoDatabase(path, demo);
    if (!created)
        return created;
    return copyEmbeddedRows(path, connectionString);
}

} // namespace korvel

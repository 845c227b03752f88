// Row insertion: the columns of the live table, the literal of each value for its column's
// type, the keys read back and the long binary values written after the rows.

#include "db/Database.h"

#include "db/client/SqlDialect.h"
#include "db/client/ValueRules.h"
#include "util/TextConversions.h"

#include <QRegularExpression>

#include <memory>
#include <optional>
#include <vector>

namespace korvel {

namespace {

const QLatin1String kInsertInto("insert into ");
// Rows a batch holds at most, and characters of literals after which it holds no more: a
// round trip each, however large the label, and statements a server parses quickly.
constexpr qsizetype kBatchRows = 500;
constexpr qsizetype kBatchCharacters = 4 * 1024 * 1024;

// What a literal adds to its value at most, as a rule: quotes or X'…', a comma, a "{…}"
// around a GUID (more only makes the string grow again).
constexpr qsizetype kLiteralExtra = 6;

QString storedLiteral(ValueKind kind, const QString& stored, const SqlDialect& dialect)
{
    switch (kind) {
    case ValueKind::Text:
    case ValueKind::Other: return dialect.textLiteral(stored);
    default: break;
    }
    if (stored.isEmpty())
        return QStringLiteral("NULL");
    switch (kind) {
    case ValueKind::Integer:
    case ValueKind::Float: return stored;
    case ValueKind::Decimal: return dialect.decimalLiteral(stored);
    case ValueKind::Boolean: return dialect.booleanLiteral(stored != QLatin1String("0"));
    case ValueKind::DateTime:
    case ValueKind::Date: return dialect.dateTimeLiteral(stored);
    case ValueKind::Binary: return dialect.binaryLiteral(hexToBytes(stored));
    default: return dialect.quotedLiteral(stored);
    }
}

// A refused value still goes to the server, which gives its own reason: binary data too
// long for its column as binary, so that the server refuses it for its length.
QString refusedLiteral(ValueKind kind, const QString& value, const SqlDialect& dialect)
{
    if (kind == ValueKind::Text)
        return dialect.textLiteral(value);
    if (kind == ValueKind::Binary)
        return isHexText(value) ? dialect.binaryLiteral(hexToBytes(value)) : dialect.quotedLiteral(value);
    return dialect.refusedLiteral(value);
}

// A column name as it stands in a statement: plain names as they are, any other quoted
// as standard SQL quotes identifiers, which every engine here reads (a live column may be
// called "Font Size").
QString columnIdentifier(const QString& name)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (plain.match(name).hasMatch())
        return name;
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

// The rows' literals in batches of kBatchRows at most, fewer where their text grows past
// kBatchCharacters.
QList<QStringList> batchesOf(const QStringList& rows)
{
    QList<QStringList> batches;
    qsizetype characters = 0;
    for (const QString& row : rows) {
        if (batches.isEmpty() || batches.last().size() == kBatchRows || characters >= kBatchCharacters) {
            batches.append(QStringList());
            characters = 0;
        }
        batches.last().append(row);
        characters += row.size();
    }
    return batches;
}

// The keys a batch gave: one a row, or in one text separated by commas.
QStringList keysOf(const TextTable& rows)
{
    return firstColumn(rows).join(QLatin1Char(',')).split(QLatin1Char(','), Qt::SkipEmptyParts);
}

} // namespace

QString sqlLiteralForType(const ColumnType& type, const QString& value, const SqlDialect& dialect)
{
    const ValueKind kind = kindOfType(type.adoType);
    const StoredValue stored = storeValue(type, value);
    return stored.accepted ? storedLiteral(kind, stored.text, dialect) : refusedLiteral(kind, value, dialect);
}

namespace {

QString probeStatement(const QString& tableName)
{
    return QStringLiteral("select top 1 * from %1").arg(tableName);
}

QList<Database::LiveColumn> columnsOf(const DbCursor& cursor)
{
    QList<Database::LiveColumn> columns;
    for (int field = 0; field < cursor.fieldCount(); ++field)
        columns.append({cursor.fieldName(field), cursor.fieldColumnType(field)});
    return columns;
}

} // namespace

// Asked once per table on a connection: an import asks for the same tables several times,
// a batch of imports again and again, and each question is a round trip to a server.
const QList<Database::LiveColumn>* Database::probeColumns(const QString& tableName)
{
    auto known = m_liveColumns.constFind(tableName);
    if (known == m_liveColumns.cend()) {
        if (tableName.isEmpty() || !openCursor(probeStatement(tableName)))
            return nullptr;
        known = m_liveColumns.insert(tableName, columnsOf(*m_cursor));
        closeCursor();
    }
    return &*known;
}

void Database::probeTogether(const QStringList& tableNames)
{
    QStringList unknown;
    for (const QString& name : tableNames) {
        if (!name.isEmpty() && !m_liveColumns.contains(name) && !unknown.contains(name))
            unknown.append(name);
    }
    if (unknown.size() < 2 || !insertsTogether())
        return;
    // Each as the engine reads it: the batch as a whole is not one statement to rewrite.
    QStringList probes;
    for (const QString& name : unknown)
        probes.append(dialect().fromTransactSql(probeStatement(name)));
    if (!openCursor(probes.join(QLatin1Char(';'))))
        return;
    for (qsizetype i = 0; i < unknown.size() && m_cursor; ++i) {
        m_liveColumns.insert(unknown[i], columnsOf(*m_cursor));
        m_cursor = m_cursor->takeNextResult();
    }
    closeCursor();
}

int Database::columnType(const QString& column, const QString& tableName)
{
    const QList<LiveColumn>* columns = probeColumns(tableName);
    if (!columns)
        return -1;
    const LiveColumn* found = findColumn(*columns, column);
    return found ? found->type.adoType : 0;
}

bool Database::liveColumns(const QString& tableName, QList<LiveColumn>& columns)
{
    const QList<LiveColumn>* probed = probeColumns(tableName);
    if (!probed)
        return false;
    columns = *probed;
    return readCodePages(tableName, columns);
}

// One statement for the whole table, asked where the probe's column types lack it, and
// once per connection: a batch of imports asks for the same tables again and again, and a
// server's catalogue is slow to answer (a quarter of a second on the T-SQL server of the
// tests).
bool Database::readCodePages(const QString& tableName, QList<LiveColumn>& columns)
{
    const QString codePagesQuery = dialect().columnCodePagesQuery(tableName);
    if (codePagesQuery.isEmpty())
        return true;
    auto asked = m_codePages.constFind(tableName);
    if (asked == m_codePages.cend()) {
        TextTable rows;
        if (!query(codePagesQuery, &rows))
            return false;
        asked = m_codePages.insert(tableName, rows);
    }
    // A UTF-8 collation keeps any character.
    constexpr int kUtf8CodePage = 65001;
    for (const TextRow& row : *asked) {
        const int codePage = row.value(1).toInt();
        for (LiveColumn& column : columns) {
            if (column.name.compare(row.value(0), Qt::CaseInsensitive) == 0 && isNarrowText(column.type.adoType))
                column.type.codePage = codePage == kUtf8CodePage ? 0 : codePage;
        }
    }
    return true;
}

const Database::LiveColumn* Database::findColumn(const QList<LiveColumn>& columns, const QString& name)
{
    for (const LiveColumn& column : columns) {
        if (column.name.compare(name, Qt::CaseInsensitive) == 0)
            return &column;
    }
    return nullptr;
}

void Database::formatSqlLiteral(int type, QString& value) const
{
    value = sqlLiteralForType(ColumnType{type}, value, dialect());
}

// One table's rows on their way in: the statement's parts, and what has come back so far.
struct Database::RowsInsert
{
    RowsInsert(TextTable& rows, const RowsDone& done) : table(rows), rowsDone(done) {}

    // The rows up to the one given went in.
    void wentIn(qsizetype lastRow) const
    {
        if (rowsDone)
            rowsDone(lastRow);
    }

    TextTable& table;
    const RowsDone& rowsDone;
    qsizetype failed = 0;          // the row a failure belongs to, 0 for none
    QList<ColumnType> types;       // of the header's columns, in its order
    QStringList columns;           // as they stand in the statement
    std::optional<LiveColumn> key; // none: no key read back
    bool keyGenerated = false;     // the key column is not among those inserted: the server fills it
    qsizetype keyPosition = -1;    // in the rows, -1 when the header lacks the key column
    QStringList newKeys;           // of the rows inserted, in order
    QString heldSavepoint;         // of the last batch that went in, still set
    QString tableName;
};

Database::InsertedRows Database::insertRows(TextTable table, const QString& tableName, const QList<int>& skip,
                                            const QString& keyColumn, const RowsDone& rowsDone)
{
    m_lastError.clear();
    InsertedRows inserted{false, std::move(table), 0};
    if (inserted.table.size() <= 1) {
        (void)probeColumns(tableName);
        inserted.ok = true;
        return inserted;
    }
    RowsInsert insert(inserted.table, rowsDone);
    inserted.ok = planInsert(tableName, skip, keyColumn, insert) && sendRows(insert, skip) && writeLongBinaries(insert);
    inserted.failedRow = inserted.ok ? 0 : insert.failed;
    return inserted;
}

// The header comes from outside (a label bundle): only names of the live table's columns
// may stand in a statement. A name is matched as SQL Server matches it, ignoring case, for
// the check and for the column's type alike.
bool Database::planInsert(const QString& tableName, const QList<int>& skip, const QString& keyColumn,
                          RowsInsert& insert)
{
    // Without any column the probe failed, and its error says why.
    QList<LiveColumn> live;
    if (!liveColumns(tableName, live))
        return false;
    insert.tableName = tableName;
    const TextRow header = insert.table.value(0);
    bool keyInserted = false;
    for (int j = 0; j < header.size(); ++j) {
        const LiveColumn* column = findColumn(live, header[j]);
        insert.types.append(column ? column->type : ColumnType());
        if (skip.contains(j))
            continue;
        if (!column) {
            setLastError(DbError::driverFailure(QStringLiteral("列名 '%1' 无效。").arg(header[j])));
            return false;
        }
        insert.columns.append(columnIdentifier(header[j]));
        keyInserted = keyInserted || header[j].compare(keyColumn, Qt::CaseInsensitive) == 0;
    }
    if (const LiveColumn* key = keyColumn.isEmpty() ? nullptr : findColumn(live, keyColumn))
        insert.key = *key;
    if (!keyColumn.isEmpty() && !insert.key) {
        setLastError(DbError::driverFailure(QStringLiteral("列名 '%1' 无效。").arg(keyColumn)));
        return false;
    }
    insert.keyGenerated = !keyInserted;
    // The rows stand in the header's order, whatever the live table's: the new key goes to
    // the header's position of the key column (none when the header lacks it).
    for (qsizetype j = 0; insert.key && j < header.size() && insert.keyPosition < 0; ++j) {
        if (header[j].compare(insert.key->name, Qt::CaseInsensitive) == 0)
            insert.keyPosition = j;
    }
    return true;
}

// The literals "(…)" of the value rows, up to the first row with a value that must not reach
// the server: that row, and why.
struct Database::RowLiterals
{
    QStringList rows;
    qsizetype refusedRow = 0;
    QString refusal;
};

Database::RowLiterals Database::rowLiterals(const RowsInsert& insert, const QList<int>& skip) const
{
    const TextTable& table = insert.table;
    const TextRow& header = table[0];
    RowLiterals literals;
    for (qsizetype i = 1; i < table.size(); ++i) {
        const TextRow& row = table.at(i);
        // Grown once for the row, not once per value: a large import builds one per row.
        qsizetype values = 0;
        for (const QString& cell : row)
            values += cell.size() + kLiteralExtra;
        QString rowLiteral;
        rowLiteral.reserve(values + 2);
        rowLiteral += QLatin1Char('(');
        for (int j = 0; j < row.size(); ++j) {
            if (skip.contains(j))
                continue;
            // Not for the server to decide: it would keep the value changed.
            if (const QString refusal = silentChangeRefusal(insert.types.value(j), row[j]); !refusal.isEmpty()) {
                literals.refusedRow = i;
                literals.refusal = refusedValueText(insert.tableName, header.value(j), row[j], refusal);
                return literals;
            }
            rowLiteral += sqlLiteralForType(insert.types.value(j), row[j], dialect()) + QLatin1Char(',');
        }
        rowLiteral.back() = QLatin1Char(')');
        literals.rows.append(std::move(rowLiteral));
    }
    return literals;
}

// The rows go in batches; a row with a value refused before it is sent ends the insert once
// the rows before it are in, as they would be one by one.
bool Database::sendRows(RowsInsert& insert, const QList<int>& skip)
{
    const RowLiterals literals = rowLiterals(insert, skip);
    qsizetype firstRow = 1;
    for (const QStringList& batch : batchesOf(literals.rows)) {
        if (!insertBatch(insert, firstRow, batch))
            return false;
        firstRow += batch.size();
    }
    if (literals.refusedRow == 0)
        return true;
    insert.failed = literals.refusedRow;
    setLastError(DbError::driverFailure(literals.refusal));
    return false;
}

// With a key, the long binary values that are not NULL, each by its row's new key.
bool Database::writeLongBinaries(RowsInsert& insert)
{
    if (!insert.key)
        return true;
    const TextRow& header = insert.table[0];
    for (int i = 1; i < insert.table.size(); ++i) {
        insert.failed = i;
        const TextRow& row = insert.table.at(i);
        const QString keyLiteral = sqlLiteralForType(insert.key->type, insert.newKeys[i - 1], dialect());
        for (int k = 0; k < row.size(); ++k) {
            // An empty cell is a NULL, which the INSERT has stored already.
            if (insert.types.value(k).adoType != adLongVarBinary || row[k].isEmpty())
                continue;
            if (!writeBlob(insert.tableName, header.value(k), insert.key->name, keyLiteral, hexToBytes(row[k])))
                return false;
        }
    }
    return true;
}

// Rows of several in one round trip where the engine has a form for it, inside a
// transaction, each batch under a savepoint of its own set in the same round trip: a batch
// the server refuses is taken back, and its rows go in again one by one, so that the row
// refused is named, with the server's own reason, as it always was. A key given in the rows
// is read back row by row.
bool Database::insertBatch(RowsInsert& insert, qsizetype firstRow, const QStringList& rows)
{
    const QString keyColumn = insert.key && insert.keyGenerated ? columnIdentifier(insert.key->name) : QString();
    const QString statement = rows.size() < 2 || !m_inTransaction || (insert.key && !insert.keyGenerated)
                                  ? QString()
                                  : dialect().insertRowsStatement(insert.tableName, insert.columns, rows, keyColumn);
    if (statement.isEmpty())
        return insertOneByOne(insert, firstRow, rows);

    const QString savepoint = QStringLiteral("korvel_rows_%1").arg(++m_batches);
    const QString release =
        insert.heldSavepoint.isEmpty() ? QString() : dialect().releaseSavepointStatement(insert.heldSavepoint);
    const QString batch = (release.isEmpty() ? QString() : release + QLatin1Char(';')) +
                          dialect().savepointStatement(savepoint) + QLatin1Char(';') + statement;
    // A failure of the batch as a whole belongs to no one row.
    insert.failed = 0;
    TextTable keys;
    if (insert.key ? query(batch, &keys) : execute(batch)) {
        insert.heldSavepoint = savepoint;
        if (insert.key && !takeNewKeys(insert, firstRow, rows.size(), keysOf(keys)))
            return false;
        insert.wentIn(firstRow + rows.size() - 1);
        return true;
    }
    if (m_connectionLost)
        return false;
    const QString refusal = m_lastError;
    // A batch the server could not compile ran none of its statements, the savepoint
    // included; a transaction that the error ended leaves nothing to try again.
    if (!rollbackToSavepoint(savepoint) && !transactionStillOpen()) {
        m_lastError = refusal;
        return false;
    }
    insert.heldSavepoint.clear();
    return insertOneByOne(insert, firstRow, rows);
}

bool Database::insertsTogether() const
{
    return m_client && dialect().takesStatementsTogether();
}

bool Database::insertsAsOneTransaction(const QList<TableRows>& tables, const QString& stopIfFound)
{
    if (m_inTransaction || !insertsTogether() || dialect().failWhenFoundStatement(stopIfFound).isEmpty())
        return false;
    for (const TableRows& table : tables) {
        QList<LiveColumn> live;
        if (table.keyColumn.isEmpty() || table.table.size() <= 1)
            continue;
        if (!liveColumns(table.tableName, live))
            return false;
        const TextRow& header = table.table[0];
        for (qsizetype j = 0; j < header.size(); ++j) {
            const LiveColumn* column = findColumn(live, header[j]);
            for (qsizetype i = 1; column && column->type.adoType == adLongVarBinary && i < table.table.size(); ++i) {
                if (!table.table[i].value(j).isEmpty())
                    return false;
            }
        }
    }
    return true;
}

// One statement of rows sent together: whose rows, and whether it gives their keys.
struct Database::RowsStatement
{
    RowsInsert* insert;
    qsizetype firstRow;
    qsizetype rows;
    QString text;
    bool givesKeys;
};

// Every statement is built before the first is sent: a value refused costs no round trip.
// Inside a transaction, a round trip ends after a statement that gives keys (on SQL Server
// each gathers them in a variable of its own batch) and once its text is large.
Database::InsertedTables Database::insertTogether(QList<TableRows> tables, const QString& stopIfFound)
{
    m_lastError.clear();
    const bool oneBatch = !m_inTransaction;
    InsertedTables inserted;
    inserted.tables = std::move(tables);
    if (oneBatch && !insertsAsOneTransaction(inserted.tables, stopIfFound)) {
        setLastError(DbError::driverFailure(QStringLiteral("没有打开的事务")));
        return inserted;
    }
    std::vector<std::unique_ptr<RowsInsert>> inserts;
    QList<RowsStatement> statements;
    for (TableRows& table : inserted.tables) {
        if (table.table.size() <= 1)
            continue;
        inserted.failedTable = table.tableName;
        auto insert = std::make_unique<RowsInsert>(table.table, table.rowsDone);
        if (!planInsert(table.tableName, table.skip, table.keyColumn, *insert))
            return inserted;
        const RowLiterals literals = rowLiterals(*insert, table.skip);
        if (literals.refusedRow > 0) {
            setLastError(DbError::driverFailure(literals.refusal));
            return inserted;
        }
        const bool givesKeys = insert->key && !oneBatch;
        const QString keyColumn = givesKeys ? columnIdentifier(insert->key->name) : QString();
        qsizetype firstRow = 1;
        for (const QStringList& batch : batchesOf(literals.rows)) {
            statements.append({insert.get(), firstRow, batch.size(),
                               dialect().insertRowsStatement(table.tableName, insert->columns, batch, keyColumn),
                               givesKeys});
            firstRow += batch.size();
        }
        inserts.push_back(std::move(insert));
    }
    if (!sendTogether(stopIfFound, oneBatch, statements, inserted))
        return inserted;
    for (const std::unique_ptr<RowsInsert>& insert : inserts) {
        inserted.failedTable = insert->tableName;
        if (!oneBatch && !writeLongBinaries(*insert))
            return inserted;
    }
    inserted.failedTable.clear();
    inserted.ok = true;
    return inserted;
}

// Outside a transaction the whole batch is one, which gives no result: nothing is read after
// the server has committed it.
bool Database::sendTogether(const QString& stopIfFound, bool oneBatch, const QList<RowsStatement>& statements,
                            InsertedTables& inserted)
{
    QString batch = oneBatch && !stopIfFound.isEmpty() ? dialect().failWhenFoundStatement(stopIfFound) : stopIfFound;
    bool guard = !stopIfFound.isEmpty() && !oneBatch;
    qsizetype first = 0;
    for (qsizetype i = 0; i < statements.size(); ++i) {
        // One ";" between statements, none after one that ends with its own (T-SQL's rows).
        if (!batch.isEmpty() && !batch.endsWith(QLatin1Char(';')))
            batch += QLatin1Char(';');
        batch += statements[i].text;
        const bool ends =
            oneBatch ? i + 1 == statements.size()
                     : statements[i].givesKeys || i + 1 == statements.size() || batch.size() >= kBatchCharacters;
        if (!ends)
            continue;
        if (!sendRoundTrip(batch, guard, statements.mid(first, i + 1 - first), inserted))
            return false;
        batch.clear();
        guard = false;
        first = i + 1;
    }
    return true;
}

// One round trip of insertTogether; with `guard`, the query that stops it first.
bool Database::sendRoundTrip(const QString& batch, bool guard, const QList<RowsStatement>& statements,
                             InsertedTables& inserted)
{
    inserted.failedTable = statements.first().insert->tableName;
    QList<TextTable> results;
    if (!queryResults(batch, results))
        return false;
    qsizetype result = guard ? 1 : 0;
    if (guard && !results.value(0).isEmpty()) {
        inserted.found = true;
        return false;
    }
    for (const RowsStatement& statement : statements) {
        inserted.failedTable = statement.insert->tableName;
        if (statement.givesKeys &&
            !takeNewKeys(*statement.insert, statement.firstRow, statement.rows, keysOf(results.value(result++))))
            return false;
        statement.insert->wentIn(statement.firstRow + statement.rows - 1);
    }
    return true;
}

bool Database::transactionStillOpen()
{
    QStringList open;
    return queryColumn(dialect().openTransactionsQuery(), &open) &&
           open.value(0, QStringLiteral("0")) != QLatin1String("0");
}

// The keys a batch gave, in the rows' order.
bool Database::takeNewKeys(RowsInsert& insert, qsizetype firstRow, qsizetype rows, const QStringList& keys)
{
    for (qsizetype r = 0; r < rows; ++r) {
        insert.failed = firstRow + r;
        if (!takeNewKey(insert, firstRow + r, keys.value(r)))
            return false;
    }
    return true;
}

// The key of a row just inserted, into the row and the keys of the insert; without it the
// long binary values would be written into another row, or none.
bool Database::takeNewKey(RowsInsert& insert, qsizetype row, const QString& key)
{
    if (key.isEmpty()) {
        setLastError(
            DbError::driverFailure(QStringLiteral("读回新行的键失败：数据库没有给出 %1 的值").arg(insert.key->name)));
        return false;
    }
    TextRow& cells = insert.table[row];
    if (insert.keyPosition >= 0 && insert.keyPosition < cells.size())
        cells[insert.keyPosition] = key;
    insert.newKeys.append(key);
    return true;
}

bool Database::insertOneByOne(RowsInsert& insert, qsizetype firstRow, const QStringList& rows)
{
    const QString into = kInsertInto + insert.tableName + QStringLiteral(" (") + insert.columns.join(QLatin1Char(',')) +
                         QLatin1String(")  values");
    for (qsizetype r = 0; r < rows.size(); ++r) {
        insert.failed = firstRow + r;
        const QString statement = into + rows[r];
        if (!insert.key) {
            if (!execute(statement))
                return false;
            insert.wentIn(firstRow + r);
            continue;
        }
        QString newKey;
        if (!insertReadingKey(statement, insert.tableName, insert.key->name, newKey) ||
            !takeNewKey(insert, firstRow + r, newKey))
            return false;
        insert.wentIn(firstRow + r);
    }
    return true;
}

bool Database::insertReadingKey(const QString& insert, const QString& tableName, const QString& keyColumn, QString& key)
{
    TextTable rows;
    const QString returning = dialect().insertReturningKey(insert, columnIdentifier(keyColumn));
    if (!returning.isEmpty()) {
        if (!query(returning, &rows))
            return false;
    } else {
        // An engine without its own form: the newest key, which another session's insert
        // could have overtaken.
        if (!execute(insert) ||
            !query(
                QStringLiteral("select top 1 %1 from %2 order by %1 desc").arg(columnIdentifier(keyColumn), tableName),
                &rows))
            return false;
    }
    key = rows.value(0).value(0);
    return true;
}

bool Database::writeBlob(const QString& tableName, const QString& column, const QString& keyColumn,
                         const QString& keyLiteral, const QByteArray& bytes)
{
    const QString update = QStringLiteral("update %1 set %2=? where %3=%4")
                               .arg(tableName, columnIdentifier(column), columnIdentifier(keyColumn), keyLiteral);
    qint64 rowsChanged = 0;
    DbError error;
    DbClient* client = connectedClient(error);
    if (client && client->executeWithBinary(update, bytes, rowsChanged, error)) {
        if (rowsChanged != 0) // -1: the server counts nothing
            return true;
        // Each failure is recorded: the import shows lastError(), which must say what failed.
        error = DbError::driverFailure(QStringLiteral("写入长二进制数据失败：%1 没有选中任何行").arg(update));
    }
    setLastError(error);
    return false;
}

} // namespace korvel

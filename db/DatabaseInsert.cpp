// Row insertion: the columns of the live table, the literal of each value for its column's
// type, the keys read back and the long binary values written after the rows.

#include "db/Database.h"

#include "db/client/SqlDialect.h"
#include "db/client/ValueRules.h"
#include "util/TextConversions.h"

#include <QRegularExpression>

#include <optional>

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

} // namespace

QString sqlLiteralForType(const ColumnType& type, const QString& value, const SqlDialect& dialect)
{
    const ValueKind kind = kindOfType(type.adoType);
    const StoredValue stored = storeValue(type, value);
    return stored.accepted ? storedLiteral(kind, stored.text, dialect) : refusedLiteral(kind, value, dialect);
}

// Asked once per table on a connection: an import asks for the same tables several times,
// a batch of imports again and again, and each question is a round trip to a server.
const QList<Database::LiveColumn>* Database::probeColumns(const QString& tableName)
{
    auto known = m_liveColumns.constFind(tableName);
    if (known == m_liveColumns.cend()) {
        if (tableName.isEmpty() || !openCursor(QStringLiteral("select top 1 * from %1").arg(tableName)))
            return nullptr;
        QList<LiveColumn> columns;
        for (int field = 0; field < m_cursor->fieldCount(); ++field)
            columns.append({m_cursor->fieldName(field), m_cursor->fieldColumnType(field)});
        closeCursor();
        known = m_liveColumns.insert(tableName, columns);
    }
    return &*known;
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
    RowsInsert(TextTable& rows, qsizetype& failedRow, const RowsDone& done)
        : table(rows), failed(failedRow), rowsDone(done)
    {
    }

    // The rows up to the one given went in.
    void wentIn(qsizetype lastRow) const
    {
        if (rowsDone)
            rowsDone(lastRow);
    }

    TextTable& table;
    qsizetype& failed;
    const RowsDone& rowsDone;
    QList<ColumnType> types; // of the header's columns, in its order
    QStringList columns;     // as they stand in the statement
    std::optional<LiveColumn> key;   // none: no key read back
    bool keyGenerated = false;       // the key column is not among those inserted: the server fills it
    qsizetype keyPosition = -1;      // in the rows, -1 when the header lacks the key column
    QStringList newKeys;             // of the rows inserted, in order
    QString heldSavepoint;           // of the last batch that went in, still set
    QString tableName;
};

Database::InsertedRows Database::insertRows(TextTable table, const QString& tableName,
                                                    const QList<int>& skip, const QString& keyColumn,
                                                    const RowsDone& rowsDone)
{
    m_lastError.clear();
    InsertedRows inserted{false, std::move(table), 0};
    if (inserted.table.size() <= 1) {
        (void)probeColumns(tableName);
        inserted.ok = true;
        return inserted;
    }
    RowsInsert insert(inserted.table, inserted.failedRow, rowsDone);
    inserted.ok = planInsert(tableName, skip, keyColumn, insert) && sendRows(insert, skip) &&
                  writeLongBinaries(insert);
    if (inserted.ok)
        inserted.failedRow = 0;
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

// The rows go in batches; a row with a value refused before it is sent ends the insert once
// the rows before it are in, as they would be one by one.
bool Database::sendRows(RowsInsert& insert, const QList<int>& skip)
{
    const TextTable& table = insert.table;
    const TextRow& header = table[0];
    QStringList batch;
    qsizetype batchCharacters = 0;
    for (qsizetype i = 1; i < table.size(); ++i) {
        const TextRow& row = table.at(i);
        // Grown once for the row, not once per value: a large import builds one per row.
        qsizetype values = 0;
        for (const QString& cell : row)
            values += cell.size() + kLiteralExtra;
        QString literals;
        literals.reserve(values + 2);
        literals += QLatin1Char('(');
        for (int j = 0; j < row.size(); ++j) {
            if (skip.contains(j))
                continue;
            // Not for the server to decide: it would keep the value changed.
            if (const QString refusal = silentChangeRefusal(insert.types.value(j), row[j]); !refusal.isEmpty()) {
                if (!insertBatch(insert, i - batch.size(), batch))
                    return false;
                insert.failed = i;
                setLastError(
                    DbError::driverFailure(refusedValueText(insert.tableName, header.value(j), row[j], refusal)));
                return false;
            }
            literals += sqlLiteralForType(insert.types.value(j), row[j], dialect()) + QLatin1Char(',');
        }
        literals.back() = QLatin1Char(')');
        batchCharacters += literals.size();
        batch.append(std::move(literals));
        if (batch.size() == kBatchRows || batchCharacters >= kBatchCharacters) {
            if (!insertBatch(insert, i + 1 - batch.size(), batch))
                return false;
            batch.clear();
            batchCharacters = 0;
        }
    }
    return insertBatch(insert, table.size() - batch.size(), batch);
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
        const QStringList newKeys =
            firstColumn(keys).join(QLatin1Char(',')).split(QLatin1Char(','), Qt::SkipEmptyParts);
        if (insert.key && !takeNewKeys(insert, firstRow, rows.size(), newKeys))
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
        setLastError(DbError::driverFailure(QStringLiteral("读回新行的键失败：数据库没有给出 %1 的值").arg(insert.key->name)));
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
        if (!insertReadingKey(statement, insert.tableName, insert.key->name, newKey) || !takeNewKey(insert, firstRow + r, newKey))
            return false;
        insert.wentIn(firstRow + r);
    }
    return true;
}

bool Database::insertReadingKey(const QString& insert, const QString& tableName, const QString& keyColumn,
                                    QString& key)
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
            !query(QStringLiteral("select top 1 %1 from %2 order by %1 desc").arg(columnIdentifier(keyColumn), tableName),
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

#include "labels/LabelImport.h"

#include "db/client/SqlDialect.h"
#include "db/client/ValueText.h"
#include "util/FileIO.h"
#include "util/MessageSink.h"

#include <QSet>

#include <optional>

namespace korvel {

namespace {

const QString kNothingImported = QStringLiteral("，未导入任何数据");

// From an identifier's text in a bundle to the fresh identifier that replaces it, matched
// exactly. One map per identifier column lives for a whole import, across all blocks:
// that is what keeps the three tables referring to each other.
using IdentifierMap = QMap<QString, QString>;

struct IdentifierMaps
{
    IdentifierMap labelIds;
    IdentifierMap itemIds;
};

// The values of the column (its first occurrence in each block's column-name row) in the
// blocks' rows, each once, in the order they come; an empty value is an identifier like any
// other.
QStringList identifiersOf(const QList<BundleBlock>& blocks, const QString& column)
{
    QStringList identifiers;
    QSet<QString> seen;
    for (const BundleBlock& block : blocks) {
        const qsizetype position = columnPosition(block.rows.value(0), column, ColumnOccurrence::First);
        for (qsizetype i = 1; position >= 0 && i < block.rows.size(); ++i) {
            const QString& value = block.rows[i][position];
            if (!seen.contains(value)) {
                seen.insert(value);
                identifiers.append(value);
            }
        }
    }
    return identifiers;
}

// A fresh identifier for every LabelID and ItemID of the blocks (rows as wide as the
// column-name row), from the supply. False with a message when they cannot be had.
bool drawIdentifiers(Database& database, const QList<BundleBlock>& blocks, GuidSupply& supply, IdentifierMaps& maps,
                     QString& error)
{
    const QStringList labelIds = identifiersOf(blocks, kLabelIdColumn);
    const QStringList itemIds = identifiersOf(blocks, kItemIdColumn);
    QStringList fresh;
    if (!supply.take(database, labelIds.size() + itemIds.size(), fresh, error))
        return false;
    for (qsizetype i = 0; i < labelIds.size(); ++i)
        maps.labelIds.insert(labelIds[i], fresh[i]);
    for (qsizetype i = 0; i < itemIds.size(); ++i)
        maps.itemIds.insert(itemIds[i], fresh[labelIds.size() + i]);
    return true;
}

// Replaces every value of the column (its first occurrence in the column-name row) in the
// block's rows by its fresh identifier. A block without the column stays as it is.
void remapKeyColumn(BundleBlock& block, const IdentifierMap& map, const QString& column)
{
    const qsizetype position = columnPosition(block.rows.value(0), column, ColumnOccurrence::First);
    for (qsizetype i = 1; position >= 0 && i < block.rows.size(); ++i)
        block.rows[i][position] = map.value(block.rows[i][position]);
}

// For each row of the tblLabelInfo block (rows as wide as the column-name row) whose label
// number (the last LabelNo column) exists in the target, asks the resolver for a new one
// and puts it in the row. Runs before the import's transaction, so that nothing is held
// while the user types. False with a message when the block has no LabelNo column; false
// with an empty message when the user gave up.
bool resolveDuplicateLabelNos(Database& database, QList<BundleBlock>& blocks, DuplicateLabelResolver& resolver,
                              QString& error)
{
    for (BundleBlock& block : blocks) {
        if (block.tableName != kLabelInfoTable || block.rows.isEmpty())
            continue;
        const qsizetype position = columnPosition(block.rows[0], kLabelNoColumn, ColumnOccurrence::Last);
        if (position < 0) {
            error = missingColumnText(block.tableName, kLabelNoColumn);
            return false;
        }
        for (qsizetype i = 1; i < block.rows.size(); ++i) {
            QString& labelNo = block.rows[i][position];
            if (!rowExists(database, kLabelInfoTable, labelNo, kLabelNoColumn))
                continue;
            QString newValue;
            if (!resolver.resolveDuplicateLabelNo(database, labelNo, newValue)) {
                error.clear();
                return false;
            }
            labelNo = newValue;
        }
    }
    return true;
}

// The numbers of a tblLabelInfo block were free, or made free, before the transaction began;
// another user may have taken one since. False with the usual message when one exists.
bool labelNosStillFree(Database& database, const BundleBlock& block, QString& error)
{
    const qsizetype position = columnPosition(block.rows[0], kLabelNoColumn, ColumnOccurrence::Last);
    for (qsizetype i = 1; i < block.rows.size(); ++i) {
        if (rowExists(database, kLabelInfoTable, block.rows[i][position], kLabelNoColumn)) {
            error = block.rows[i][position] + QStringLiteral("已经存在");
            return false;
        }
    }
    return true;
}

// One block's rows as they go in: every LabelID and ItemID replaced through the maps, and
// LineID of tblLabelControlItem left to the database, which numbers the item lines itself
// (the new one read back into the row). Progress is told from 0 rows on.
Database::TableRows tableRowsOf(const BundleBlock& block, const IdentifierMaps& maps, const ImportProgress& progress)
{
    BundleBlock remapped = block;
    remapKeyColumn(remapped, maps.labelIds, kLabelIdColumn);
    remapKeyColumn(remapped, maps.itemIds, kItemIdColumn);
    const qsizetype rows = block.rows.size() - 1;
    Database::TableRows table{block.tableName, std::move(remapped.rows), {}, {}, {}};
    if (progress) {
        table.rowsDone = [progress, name = block.tableName, rows](qsizetype done) { progress(name, done, rows); };
        progress(block.tableName, 0, rows);
    }
    if (block.tableName == kLabelControlItemTable) {
        table.skip.append(
            static_cast<int>(columnPosition(table.table.value(0), kLineIdColumn, ColumnOccurrence::First)));
        table.keyColumn = kLineIdColumn;
    }
    return table;
}

// The text of a failure to insert a block's rows: the database's text names the column (one
// of the file's, when the table lacks it).
QString importTableFailure(const Database& database, const QString& tableName)
{
    return failureText(database.lastError(), QStringLiteral("导入表 %1 失败").arg(tableName));
}

// Inserts one block of a bundle, whose rows have as many values as its column names
// (readCheckedBundle) and whose label numbers are resolved. A block without rows does
// nothing. False with a message on failure, naming the file's line of a row the database
// refused. Rows inserted before a failure stay: the caller's transaction must take them back.
bool importTable(Database& database, BundleBlock& block, const IdentifierMaps& maps, const ImportProgress& progress,
                 QString& error)
{
    if (block.rows.isEmpty())
        return true;
    Database::TableRows table = tableRowsOf(block, maps, progress);
    Database::InsertedRows inserted =
        database.insertRows(std::move(table.table), block.tableName, table.skip, table.keyColumn, table.rowsDone);
    block.rows = std::move(inserted.table);
    if (!inserted) {
        // The line tells which row of the file the database refused, unless the user cancelled.
        error = importTableFailure(database, block.tableName);
        if (inserted.failedRow > 0 && !database.cancelled())
            error += QStringLiteral("（标签文件第 %1 行）").arg(lineOfRow(block, inserted.failedRow));
        return false;
    }
    return true;
}

// Every block, inside the open transaction. False with a message.
bool importBlocks(Database& database, QList<BundleBlock>& blocks, GuidSupply& supply, const ImportProgress& progress,
                  QString& error)
{
    for (const BundleBlock& block : blocks) {
        if (block.tableName == kLabelInfoTable && !block.rows.isEmpty() && !labelNosStillFree(database, block, error))
            return false;
    }
    IdentifierMaps maps;
    if (!drawIdentifiers(database, blocks, supply, maps, error))
        return false;
    for (BundleBlock& block : blocks) {
        if (!importTable(database, block, maps, progress, error))
            return false;
    }
    return true;
}

// A query of the rows of the table that hold any of the values in the column, each written
// as the literal of the column's type, a text matched as rowExists matches it.
QString rowsHoldingQuery(Database& database, const QString& tableName, const QString& columnName,
                         const QStringList& values)
{
    const int type = database.columnType(columnName, tableName);
    QStringList conditions;
    for (const QString& value : values)
        conditions.append(database.equalsCondition(columnName, type, value));
    return QStringLiteral("select * from %1 where %2").arg(tableName, conditions.join(QLatin1String(" or ")));
}

// The label numbers of the bundle's tblLabelInfo rows; none when the block lacks the column.
QStringList labelNosOf(const QList<BundleBlock>& blocks)
{
    QStringList labelNos;
    for (const BundleBlock& block : blocks) {
        const qsizetype position = columnPosition(block.rows.value(0), kLabelNoColumn, ColumnOccurrence::Last);
        for (qsizetype i = 1; block.tableName == kLabelInfoTable && position >= 0 && i < block.rows.size(); ++i)
            labelNos.append(block.rows[i][position]);
    }
    return labelNos;
}

Outcome refusedImport(const QString& reason)
{
    return Outcome::failure(reason + kNothingImported);
}

// Commits the import's own transaction, or takes it back when the commit fails.
Outcome committed(Database& database)
{
    if (database.commitTransaction())
        return Outcome::success();
    const QString failure = failureText(database.lastError(), QStringLiteral("提交事务失败"));
    (void)database.rollbackTransaction();
    return refusedImport(failure);
}

// A whole bundle in the fewest round trips, in a transaction of its own: the identifiers
// (drawn ahead for a batch), then every row in one round trip (more only for a very large
// label) that first checks that the label numbers are free, and the commit; on an engine
// that runs a batch as a transaction, that round trip is the transaction. No number is asked
// about before, since nearly all are free: where one is taken, or the server refuses
// anything, all is taken back and none is given, for the import to go step by step, which
// asks the resolver and names the row. The outcome when the import is over: done, or
// stopped by a lost connection or the user.
std::optional<Outcome> importTogether(Database& database, QList<BundleBlock>& blocks, GuidSupply& supply,
                                      const ImportProgress& progress)
{
    const QStringList labelNos = labelNosOf(blocks);
    if (labelNos.isEmpty())
        return std::nullopt;
    const auto stopped = [&database]() { return database.connectionLost() || database.cancelled(); };
    QStringList tableNames;
    for (const BundleBlock& block : blocks)
        tableNames.append(block.tableName);
    database.probeTogether(tableNames);
    IdentifierMaps maps;
    QString error;
    if (!drawIdentifiers(database, blocks, supply, maps, error))
        return stopped() ? std::optional(refusedImport(error)) : std::nullopt;
    QList<Database::TableRows> tables;
    for (const BundleBlock& block : blocks)
        tables.append(block.rows.isEmpty() ? Database::TableRows{block.tableName, {}, {}, {}, {}}
                                           : tableRowsOf(block, maps, progress));
    const QString labelNosTaken = rowsHoldingQuery(database, kLabelInfoTable, kLabelNoColumn, labelNos);
    const bool ownBatch = database.insertsAsOneTransaction(tables, labelNosTaken);
    if (!ownBatch && !database.beginTransaction())
        return refusedImport(failureText(database.lastError(), QStringLiteral("开始事务失败")));
    Database::InsertedTables inserted = database.insertTogether(std::move(tables), labelNosTaken);
    if (!inserted) {
        const QString failure = importTableFailure(database, inserted.failedTable);
        const bool stop = stopped();
        // Rows that cannot be taken back must not meet the step-by-step import's.
        if (!ownBatch && !database.rollbackTransaction())
            return refusedImport(stop ? failure : failureText(database.lastError(), QStringLiteral("回滚事务失败")));
        return stop ? std::optional(refusedImport(failure)) : std::nullopt;
    }
    for (qsizetype i = 0; i < blocks.size(); ++i)
        blocks[i].rows = std::move(inserted.tables[i].table);
    return ownBatch ? Outcome::success() : committed(database);
}

} // namespace

bool rowExists(Database& database, const QString& tableName, const QString& value, const QString& columnName)
{
    TextTable rows;
    return database.query(rowsHoldingQuery(database, tableName, columnName, {value}), &rows) && !rows.isEmpty();
}

bool newGuidText(Database& database, QString& guid, QString& error)
{
    TextTable rows;
    if (!database.query(QStringLiteral("select NEWID()"), &rows) || rows.isEmpty() || !isGuidText(rows[0].value(0))) {
        error = failureText(database.lastError(), QStringLiteral("生成新标识失败"));
        return false;
    }
    guid = canonicalGuidText(rows[0][0]).mid(1, 36);
    return true;
}

bool newGuidTexts(Database& database, qsizetype count, QStringList& guids, QString& error)
{
    guids.clear();
    const QString query = database.dialect().newIdsQuery(count);
    if (count == 0 || query.isEmpty()) {
        for (QString guid; guids.size() < count; guids.append(guid)) {
            if (!newGuidText(database, guid, error))
                return false;
        }
        return true;
    }
    QStringList drawn;
    const bool queried = database.queryColumn(query, &drawn);
    for (const QString& text : drawn) {
        if (isGuidText(text))
            guids.append(canonicalGuidText(text).mid(1, 36));
    }
    // An engine that drew one for the whole statement would give every row the same.
    if (!queried || guids.size() != count || QSet<QString>(guids.cbegin(), guids.cend()).size() != count) {
        error = failureText(database.lastError(), QStringLiteral("生成新标识失败"));
        return false;
    }
    return true;
}

Outcome importLabel(const QString& connectionString, const QString& path, DuplicateLabelResolver& resolver,
                    const ImportProgress& progress)
{
    Database database;
    if (!database.open(connectionString))
        return Outcome::failure(database.lastError());
    Outcome imported = importBundleFile(database, path, resolver, ImportTransaction::Own, progress);
    if (imported)
        database.close();
    return imported;
}

Outcome importBundleFile(Database& database, const QString& path, DuplicateLabelResolver& resolver,
                         ImportTransaction transaction, const ImportProgress& progress, GuidSupply* supply)
{
    const Result<QByteArray> file = readWholeFile(path);
    if (!file)
        return file.outcome;
    CheckedBundle bundle = readCheckedBundle(file.value);
    return importBundle(database, bundle, resolver, transaction, progress, supply);
}

Outcome importBundle(Database& database, CheckedBundle& bundle, DuplicateLabelResolver& resolver,
                     ImportTransaction transaction, const ImportProgress& progress, GuidSupply* supply)
{
    // Refused before the first row goes in: a foreign table is never touched, and a file
    // cut short or a row that does not fit its columns is never half imported.
    const QStringList problems = bundle.problems + labelProblemsOf(bundle.blocks);
    if (!problems.isEmpty())
        return refusedImport(problems.first());
    GuidSupply ownSupply;
    GuidSupply& guids = supply ? *supply : ownSupply;
    const bool own = transaction == ImportTransaction::Own;
    if (own && database.insertsTogether()) {
        if (std::optional<Outcome> imported = importTogether(database, bundle.blocks, guids, progress))
            return *imported;
    }
    QString error;
    if (!resolveDuplicateLabelNos(database, bundle.blocks, resolver, error))
        return error.isEmpty() ? Outcome::failure(QString()) : refusedImport(error);
    if (own && !database.beginTransaction())
        return refusedImport(failureText(database.lastError(), QStringLiteral("开始事务失败")));
    if (!importBlocks(database, bundle.blocks, guids, progress, error)) {
        // Should the rollback fail too, closing the connection without a commit takes the
        // rows back all the same.
        if (own)
            (void)database.rollbackTransaction();
        return refusedImport(error);
    }
    return own ? committed(database) : Outcome::success();
}

void GuidSupply::setImportsAfter(qsizetype imports)
{
    m_importsAfter = imports;
}

bool GuidSupply::take(Database& database, qsizetype count, QStringList& guids, QString& error)
{
    // A batch's labels are alike, as a rule: as many again for each import to come, within
    // one statement's sensible size.
    constexpr qsizetype kMostAhead = 4096;
    if (m_spare.size() < count) {
        QStringList drawn;
        const qsizetype ahead = qMin(count * m_importsAfter, kMostAhead);
        if (!newGuidTexts(database, count - m_spare.size() + ahead, drawn, error))
            return false;
        m_spare += drawn;
    }
    guids = m_spare.mid(0, count);
    m_spare.remove(0, count);
    return true;
}

QString failureText(const QString& databaseText, const QString& what)
{
    // A text that ends its sentence itself is separated already.
    if (databaseText.isEmpty() || databaseText.endsWith(QStringLiteral("。")))
        return databaseText + what;
    return databaseText + QStringLiteral("，") + what;
}

} // namespace korvel

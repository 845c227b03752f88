#include "labels/LabelImport.h"

#include "db/client/SqlDialect.h"
#include "db/client/ValueText.h"
#include "util/FileIO.h"
#include "util/MessageSink.h"

#include <QSet>

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
// column-name row), all drawn in one statement: one round trip however large the label.
// False with a message when they cannot be had.
bool drawIdentifiers(Database& database, const QList<BundleBlock>& blocks, IdentifierMaps& maps, QString& error)
{
    const QStringList labelIds = identifiersOf(blocks, kLabelIdColumn);
    const QStringList itemIds = identifiersOf(blocks, kItemIdColumn);
    QStringList fresh;
    if (!newGuidTexts(database, labelIds.size() + itemIds.size(), fresh, error))
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

// Inserts one block of a bundle, whose rows have as many values as its column names
// (readCheckedBundle) and whose label numbers are resolved: every LabelID and ItemID
// replaced through the maps, and LineID of tblLabelControlItem left to the database. A block
// without rows does nothing. False with a message on failure, naming the file's line of a
// row the database refused. Rows inserted before a failure stay: the caller's transaction
// must take them back.
bool importTable(Database& database, BundleBlock& block, const IdentifierMaps& maps,
                 const ImportProgress& progress, QString& error)
{
    if (block.rows.isEmpty())
        return true;
    const qsizetype rows = block.rows.size() - 1;
    const auto rowsDone = [&progress, &block, rows](qsizetype done) {
        if (progress)
            progress(block.tableName, done, rows);
    };
    rowsDone(0);
    remapKeyColumn(block, maps.labelIds, kLabelIdColumn);
    remapKeyColumn(block, maps.itemIds, kItemIdColumn);

    // The database numbers the item lines itself: the bundle's LineID is left out of each
    // INSERT and the new one read back into the row.
    QList<int> skip;
    QString keyColumn;
    if (block.tableName == kLabelControlItemTable) {
        skip.append(static_cast<int>(columnPosition(block.rows[0], kLineIdColumn, ColumnOccurrence::First)));
        keyColumn = kLineIdColumn;
    }
    Database::InsertedRows inserted =
        database.insertRows(std::move(block.rows), block.tableName, skip, keyColumn, rowsDone);
    block.rows = std::move(inserted.table);
    if (!inserted) {
        // The database's text names the column (one of the file's, when the table lacks it);
        // the line tells which row of the file it refused, unless the user cancelled.
        error = failureText(database.lastError(), QStringLiteral("导入表 %1 失败").arg(block.tableName));
        if (inserted.failedRow > 0 && !database.cancelled())
            error += QStringLiteral("（标签文件第 %1 行）").arg(lineOfRow(block, inserted.failedRow));
        return false;
    }
    return true;
}

// Every block, inside the open transaction. False with a message.
bool importBlocks(Database& database, QList<BundleBlock>& blocks, const ImportProgress& progress, QString& error)
{
    for (const BundleBlock& block : blocks) {
        if (block.tableName == kLabelInfoTable && !block.rows.isEmpty() && !labelNosStillFree(database, block, error))
            return false;
    }
    IdentifierMaps maps;
    if (!drawIdentifiers(database, blocks, maps, error))
        return false;
    for (BundleBlock& block : blocks) {
        if (!importTable(database, block, maps, progress, error))
            return false;
    }
    return true;
}

} // namespace

bool rowExists(Database& database, const QString& tableName, const QString& value, const QString& columnName)
{
    const QString condition = database.equalsCondition(columnName, database.columnType(columnName, tableName), value);
    TextTable rows;
    return database.query(QStringLiteral("select * from %1 where %2").arg(tableName, condition), &rows) &&
           !rows.isEmpty();
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
                                 ImportTransaction transaction, const ImportProgress& progress)
{
    const Result<QByteArray> file = readWholeFile(path);
    if (!file)
        return file.outcome;
    CheckedBundle bundle = readCheckedBundle(file.value);
    return importBundle(database, bundle, resolver, transaction, progress);
}

Outcome importBundle(Database& database, CheckedBundle& bundle, DuplicateLabelResolver& resolver,
                             ImportTransaction transaction, const ImportProgress& progress)
{
    const auto refused = [](const QString& reason) { return Outcome::failure(reason + kNothingImported); };
    // Refused before the first row goes in: a foreign table is never touched, and a file
    // cut short or a row that does not fit its columns is never half imported.
    const QStringList problems = bundle.problems + labelProblemsOf(bundle.blocks);
    if (!problems.isEmpty())
        return refused(problems.first());
    QString error;
    if (!resolveDuplicateLabelNos(database, bundle.blocks, resolver, error))
        return error.isEmpty() ? Outcome::failure(QString()) : refused(error);
    const bool own = transaction == ImportTransaction::Own;
    if (own && !database.beginTransaction())
        return refused(failureText(database.lastError(), QStringLiteral("开始事务失败")));
    if (!importBlocks(database, bundle.blocks, progress, error)) {
        // Should the rollback fail too, closing the connection without a commit takes the
        // rows back all the same.
        if (own)
            (void)database.rollbackTransaction();
        return refused(error);
    }
    if (own && !database.commitTransaction()) {
        const QString failure = failureText(database.lastError(), QStringLiteral("提交事务失败"));
        (void)database.rollbackTransaction();
        return refused(failure);
    }
    return Outcome::success();
}

QString failureText(const QString& databaseText, const QString& what)
{
    // A text that ends its sentence itself is separated already.
    if (databaseText.isEmpty() || databaseText.endsWith(QStringLiteral("。")))
        return databaseText + what;
    return databaseText + QStringLiteral("，") + what;
}

} // namespace korvel

#include "labels/LabelImport.h"

#include "db/client/ValueText.h"
#include "util/FileIO.h"
#include "util/MessageSink.h"

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

// Replaces every value of the column (its first occurrence in the column-name row) in the
// block's rows, which are as wide as the column-name row, by its replacement from the map,
// creating one for each identifier met for the first time; an empty value is an
// identifier like any other. A block without the column stays as it is. False with a
// message when no new identifier can be had; rows before that one are already replaced.
bool RemapKeyColumn(CAdoDatabase& database, BundleBlock& block, IdentifierMap& map, const QString& column,
                    QString& error)
{
    const qsizetype position = block.rows.value(0).indexOf(column);
    if (position < 0)
        return true;
    for (qsizetype i = 1; i < block.rows.size(); ++i) {
        QString& value = block.rows[i][position];
        const auto known = map.constFind(value);
        if (known != map.constEnd()) {
            value = *known;
            continue;
        }
        QString fresh;
        if (!NewGuidText(database, fresh, error))
            return false;
        map.insert(value, fresh);
        value = fresh;
    }
    return true;
}

// For each row of a tblLabelInfo block (rows as wide as the column-name row) whose label
// number (the last LabelNo column) exists in the target, asks the resolver for a new one
// and puts it in the row. False with a message when the block has no LabelNo column;
// false with an empty message when the user gave up.
bool ResolveDuplicateLabelNo(CAdoDatabase& database, BundleBlock& block, DuplicateLabelResolver& resolver,
                             QString& error)
{
    const qsizetype position = block.rows.value(0).lastIndexOf(kLabelNoColumn);
    if (position < 0) {
        error = MissingColumnText(block.tableName, kLabelNoColumn);
        return false;
    }
    for (qsizetype i = 1; i < block.rows.size(); ++i) {
        TextRow& row = block.rows[i];
        if (!RowExists(database, kLabelInfoTable, row[position], kLabelNoColumn))
            continue;
        QString newValue;
        if (!resolver.ResolveDuplicateLabelNo(database, row[position], newValue)) {
            error.clear();
            return false;
        }
        row[position] = newValue;
    }
    return true;
}

// Inserts one block of a bundle, whose rows have as many values as its column names
// (ReadCheckedBundle): every LabelID and ItemID replaced through the maps, a clashing label
// number of tblLabelInfo replaced through the resolver, and LineID of tblLabelControlItem
// left to the database. A block without rows does nothing. False with a message on
// failure, naming the file's line of a row the database refused; false with an empty
// message when the user gave up. Rows inserted before a failure stay: the caller's
// transaction must take them back.
bool ImportTable(CAdoDatabase& database, BundleBlock& block, IdentifierMaps& maps, DuplicateLabelResolver& resolver,
                 QString& error)
{
    if (block.rows.isEmpty())
        return true;
    if (!RemapKeyColumn(database, block, maps.labelIds, kLabelIdColumn, error) ||
        !RemapKeyColumn(database, block, maps.itemIds, kItemIdColumn, error))
        return false;
    if (block.tableName == kLabelInfoTable && !ResolveDuplicateLabelNo(database, block, resolver, error))
        return false;

    // The database numbers the item lines itself: the bundle's LineID is left out of each
    // INSERT and the new one read back into the row.
    QList<int> skip;
    QString keyColumn;
    if (block.tableName == kLabelControlItemTable) {
        skip.append(static_cast<int>(block.rows[0].indexOf(kLineIdColumn)));
        keyColumn = kLineIdColumn;
    }
    // Some failures of InsertRows leave m_strError alone; an older text must not stand in.
    database.m_strError.clear();
    qsizetype failedRow = 0;
    if (!database.InsertRows(&block.rows, block.tableName, &skip, keyColumn, &failedRow)) {
        // The database's text names the column (one of the file's, when the table lacks it);
        // the line tells which row of the file it refused.
        error = database.m_strError + QStringLiteral("导入表 %1 失败").arg(block.tableName);
        if (failedRow > 0)
            error += QStringLiteral("（标签文件第 %1 行）").arg(LineOfRow(block, failedRow));
        return false;
    }
    return true;
}

// Inside the open transaction, which it ends as asked when every block went in. False with
// a message, or with none when the user gave up.
bool ImportBlocks(CAdoDatabase& database, QList<BundleBlock>& blocks, DuplicateLabelResolver& resolver,
                  ImportEnd end, QString& error)
{
    IdentifierMaps maps;
    for (BundleBlock& block : blocks) {
        if (!ImportTable(database, block, maps, resolver, error))
            return false;
    }
    if (end == ImportEnd::RollBack) {
        if (database.RollbackTrans())
            return true;
        error = database.m_strError + QStringLiteral("回滚事务失败");
        return false;
    }
    if (!database.CommitTrans()) {
        error = database.m_strError + QStringLiteral("提交事务失败");
        return false;
    }
    return true;
}

} // namespace

bool RowExists(CAdoDatabase& database, const QString& tableName, const QString& value, const QString& columnName)
{
    const QString condition = database.EqualsCondition(columnName, database.GetColumnType(columnName, tableName), value);
    TextTable rows;
    return database.Query(QStringLiteral("select * from %1 where %2").arg(tableName, condition), &rows) &&
           !rows.isEmpty();
}

bool NewGuidText(CAdoDatabase& database, QString& guid, QString& error)
{
    // A query that fails while reading leaves m_strError alone: clear it, so that an
    // older failure is not reported as this one.
    database.m_strError.clear();
    TextTable rows;
    if (!database.Query(QStringLiteral("select NEWID()"), &rows) || rows.isEmpty() || !IsGuidText(rows[0].value(0))) {
        error = database.m_strError + QStringLiteral("生成新标识失败");
        return false;
    }
    guid = CanonicalGuidText(rows[0][0]).mid(1, 36);
    return true;
}

bool ImportLabel(const QString& connectionString, const QString& path, DuplicateLabelResolver& resolver,
                 MessageSink& messages)
{
    CAdoDatabase database;
    if (!database.Open(connectionString)) {
        messages.ShowWarning(database.m_strError);
        return false;
    }
    if (!ImportBundleFile(database, path, resolver, ImportEnd::Commit, messages))
        return false;
    database.Close();
    messages.ShowInformation(QStringLiteral("导入成功"));
    return true;
}

bool ImportBundleFile(CAdoDatabase& database, const QString& path, DuplicateLabelResolver& resolver, ImportEnd end,
                      MessageSink& messages)
{
    const std::optional<QByteArray> file = ReadWholeFile(path, messages);
    if (!file)
        return false;
    CheckedBundle bundle = ReadCheckedBundle(*file);
    return ImportBundle(database, bundle, resolver, end, messages);
}

bool ImportBundle(CAdoDatabase& database, CheckedBundle& bundle, DuplicateLabelResolver& resolver, ImportEnd end,
                  MessageSink& messages)
{
    // Refused before the first row goes in: a foreign table is never touched, and a file
    // cut short or a row that does not fit its columns is never half imported.
    const QStringList problems = bundle.problems + LabelProblems(bundle.blocks);
    if (!problems.isEmpty()) {
        messages.ShowWarning(problems.first() + kNothingImported);
        return false;
    }
    if (!database.BeginTrans()) {
        messages.ShowWarning(database.m_strError + QStringLiteral("开始事务失败") + kNothingImported);
        return false;
    }
    QString error;
    if (!ImportBlocks(database, bundle.blocks, resolver, end, error)) {
        // Should the rollback fail too, closing the connection without a commit takes the
        // rows back all the same.
        (void)database.RollbackTrans();
        if (!error.isEmpty())
            messages.ShowWarning(error + kNothingImported);
        return false;
    }
    return true;
}

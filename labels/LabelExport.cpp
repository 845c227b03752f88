#include "labels/LabelExport.h"

#include "db/Database.h"
#include "labels/LabelBundle.h"
#include "util/FileIO.h"

namespace korvel {

namespace {

// Appends the block of one table to the lines of a bundle: its name, the names of all its
// columns in the order of the server's column catalogue, and the rows of the selection
// (a "select *" of the table). Reads through the open database. Gives the number of rows;
// a failure says the database's error or what the bundle cannot carry, and appends nothing.
Result<qsizetype> exportTable(Database& database, const QString& tableName, const QString& selection,
                                      QStringList* lines)
{
    const auto failed = [](QString message) {
        return Result<qsizetype>{Outcome::failure(std::move(message)), 0};
    };
    QStringList columns;
    // Without "order by" a server gives the catalogue's rows in any order (the T-SQL server
    // of the tests does), and the names would head the wrong values of "select *".
    const QString columnQuery = QStringLiteral("select name from syscolumns where id=object_id(%1) order by colid")
                                    .arg(database.textLiteral(tableName));
    if (!database.queryColumn(columnQuery, &columns))
        return failed(database.lastError());
    BundleBlock block{tableName, {columns}};
    if (!database.query(selection, &block.rows))
        return failed(database.lastError());
    if (Outcome fits = checkBlockFitsBundle(block); !fits)
        return {std::move(fits), 0};
    appendBundleBlock(block, lines);
    return {Outcome::success(), block.rows.size() - 1};
}

} // namespace

Outcome exportLabel(const QString& connectionString, const QString& labelNo, const QString& path)
{
    Database database;
    if (!database.open(connectionString))
        return Outcome::failure(database.lastError());
    return exportLabelTo(database, labelNo, path, LinkAtTarget::WriteThrough);
}

Outcome exportLabelTo(Database& database, const QString& labelNo, const QString& path, LinkAtTarget links)
{
    const QString label = database.textLiteral(labelNo);
    const struct
    {
        const QString& table;
        QString selection;
    } blocks[] = {
        {kLabelInfoTable, QStringLiteral("select * from tblLabelInfo where LabelNo=%1").arg(label)},
        {kLabelControlsTable,
         QStringLiteral("select * from tblLabelControls where LabelID in (select LabelID from tblLabelInfo where "
                        "LabelNo=%1)")
             .arg(label)},
        {kLabelControlItemTable,
         QStringLiteral("select * from tblLabelControlItem where ItemID in(select ItemID from tblLabelControls where "
                        "LabelID in (select LabelID from tblLabelInfo where LabelNo=%1))")
             .arg(label)},
    };
    QStringList lines;
    for (const auto& block : blocks) {
        const Result<qsizetype> rows = exportTable(database, block.table, block.selection, &lines);
        if (!rows)
            return rows.outcome;
        // A bundle without its label would be refused by every import.
        if (block.table == kLabelInfoTable && rows.value == 0)
            return Outcome::failure(QStringLiteral("标签 %1 不存在").arg(labelNo));
    }
    return writeWholeFile(path, encodeBundle(lines), links);
}

} // namespace korvel

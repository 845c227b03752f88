#include "labels/LabelExport.h"

#include "db/CAdoDatabase.h"
#include "labels/LabelBundle.h"
#include "util/FileIO.h"
#include "util/MessageSink.h"

#include <optional>

namespace {

// Appends the block of one table to the lines of a bundle: its name, the names of all its
// columns in the order of the server's column catalogue, and the rows of the selection
// (a "select *" of the table). Reads through the open database. Gives the number of rows;
// on failure it has shown the database's error or what the bundle cannot carry, and
// appended nothing.
std::optional<qsizetype> ExportTable(CAdoDatabase& database, const QString& tableName, const QString& selection,
                                     QStringList* lines, MessageSink& messages)
{
    QStringList columns;
    // Without "order by" a server gives the catalogue's rows in any order (the T-SQL server
    // of the tests does), and the names would head the wrong values of "select *".
    const QString columnQuery = QStringLiteral("select name from syscolumns where id=object_id(%1) order by colid")
                                    .arg(database.TextLiteral(tableName));
    if (!database.QueryColumn(columnQuery, &columns)) {
        messages.ShowWarning(database.lastError());
        return std::nullopt;
    }
    BundleBlock block{tableName, {columns}};
    if (!database.Query(selection, &block.rows)) {
        messages.ShowWarning(database.lastError());
        return std::nullopt;
    }
    QString error;
    if (!CheckBlockFitsBundle(block, error)) {
        messages.ShowWarning(error);
        return std::nullopt;
    }
    AppendBundleBlock(block, lines);
    return block.rows.size() - 1;
}

} // namespace

bool ExportLabel(const QString& connectionString, const QString& labelNo, const QString& path, MessageSink& messages)
{
    CAdoDatabase database;
    if (!database.Open(connectionString)) {
        messages.ShowWarning(database.lastError());
        return false;
    }
    return ExportLabelTo(database, labelNo, path, LinkAtTarget::WriteThrough, messages);
}

bool ExportLabelTo(CAdoDatabase& database, const QString& labelNo, const QString& path, LinkAtTarget links,
                   MessageSink& messages)
{
    const QString label = database.TextLiteral(labelNo);
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
        const std::optional<qsizetype> rows = ExportTable(database, block.table, block.selection, &lines, messages);
        if (!rows)
            return false;
        // A bundle without its label would be refused by every import.
        if (block.table == kLabelInfoTable && *rows == 0) {
            messages.ShowWarning(QStringLiteral("标签 %1 不存在").arg(labelNo));
            return false;
        }
    }
    const korvel::Outcome written = WriteWholeFile(path, EncodeBundle(lines), links);
    if (!written)
        messages.ShowWarning(written.message());
    return written.ok();
}

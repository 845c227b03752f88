#include "labels/ImportTable.h"

#include "db/CAdoDatabase.h"
#include "labels/BundleImportChecks.h"
#include "labels/LabelTables.h"
#include "labels/ResolveDuplicateLabelNo.h"

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
        error = ShowCarriageReturns(database.m_strError) + QStringLiteral("导入表 %1 失败").arg(block.tableName);
        if (failedRow > 0)
            error += QStringLiteral("（标签文件第 %1 行）").arg(LineOfRow(block, failedRow));
        return false;
    }
    return true;
}

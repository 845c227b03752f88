#include "labels/BundleImportChecks.h"

#include "labels/LabelTables.h"

bool CheckBundleTables(const QList<BundleBlock>& blocks, QString& error)
{
    for (const BundleBlock& block : blocks) {
        if (block.tableName.isEmpty()) {
            error = QStringLiteral("标签文件含有不属于任何表的数据");
            return false;
        }
        if (block.tableName != kLabelInfoTable && block.tableName != kLabelControlsTable &&
            block.tableName != kLabelControlItemTable) {
            error = QStringLiteral("标签文件含有标签以外的表 %1").arg(block.tableName);
            return false;
        }
    }
    return true;
}

QString MissingColumnText(const QString& tableName, const QString& column)
{
    return QStringLiteral("标签文件中表 %1 没有 %2 列").arg(tableName, column);
}

QString MissingValueText(const QString& tableName, qsizetype row, const QString& column)
{
    return QStringLiteral("标签文件中表 %1 的第 %2 行数据没有 %3 的值").arg(tableName, QString::number(row), column);
}

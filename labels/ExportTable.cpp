#include "labels/ExportTable.h"

#include "db/CAdoDatabase.h"
#include "labels/BundleLimits.h"
#include "labels/LabelBundle.h"
#include "util/MessageSink.h"

bool ExportTable(CAdoDatabase& database, const QString& tableName, const QString& selection, QStringList* lines,
                 MessageSink& messages)
{
    TextTable columns;
    const QString columnQuery =
        QStringLiteral("select name from syscolumns where id=object_id(%1)").arg(database.TextLiteral(tableName));
    if (!database.Query(columnQuery, &columns)) {
        messages.ShowWarning(database.m_strError);
        return false;
    }
    BundleBlock block{tableName, {FirstColumn(columns)}};
    if (!database.Query(selection, &block.rows)) {
        messages.ShowWarning(database.m_strError);
        return false;
    }
    QString error;
    if (!CheckBlockFitsBundle(block, error)) {
        messages.ShowWarning(error);
        return false;
    }
    AppendBundleBlock(block, lines);
    return true;
}

#include "labels/LabelExport.h"

#include "db/CAdoDatabase.h"
#include "labels/ExportTable.h"
#include "labels/LabelBundle.h"
#include "labels/LabelTables.h"
#include "util/FileIO.h"
#include "util/MessageSink.h"

bool ExportLabel(const QString& connectionString, const QString& labelNo, const QString& path, MessageSink& messages)
{
    CAdoDatabase database;
    if (!database.Open(connectionString)) {
        messages.ShowWarning(database.m_strError);
        return false;
    }
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
        if (!ExportTable(database, block.table, block.selection, &lines, messages))
            return false;
    }
    database.Close();
    if (!WriteWholeFile(path, EncodeBundle(lines), messages))
        return false;
    messages.ShowInformation(QStringLiteral("导出成功"));
    return true;
}

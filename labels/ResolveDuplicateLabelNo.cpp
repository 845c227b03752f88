#include "labels/ResolveDuplicateLabelNo.h"

#include "labels/BundleImportChecks.h"
#include "labels/DuplicateLabelResolver.h"
#include "labels/LabelTables.h"
#include "labels/RowExists.h"

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

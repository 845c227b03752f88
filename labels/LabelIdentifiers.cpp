#include "labels/LabelIdentifiers.h"

#include "db/CAdoDatabase.h"
#include "db/client/ValueText.h"

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

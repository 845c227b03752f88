#include "attributes/NumberLists.h"

#include "db/Database.h"
#include "util/TextConversions.h"

namespace korvel {

namespace {

Result<QStringList> numbersListed(Database& database, const QString& sql)
{
    QStringList read;
    const bool whole = database.queryColumn(sql, &read);
    return {whole ? Outcome::success() : Outcome::failure(database.lastError()), inListOrder(std::move(read))};
}

} // namespace

QStringList inListOrder(QStringList texts)
{
    QStringList sorted;
    sorted.reserve(texts.size());
    for (const qsizetype index : orderIgnoringCase(texts))
        sorted.append(std::move(texts[index]));
    return sorted;
}

Result<QStringList> harnessNumbers(Database& database)
{
    return numbersListed(database, QStringLiteral("select HarnessNo from tblHarnessInfo"));
}

Result<QStringList> jobNumbers(Database& database)
{
    return numbersListed(database, QStringLiteral("select JobNo from tblJobInfo"));
}

Result<QStringList> activeLabelNumbers(Database& database)
{
    return numbersListed(database, QStringLiteral("select LabelNo from tblLabelInfo where LabelStatus=1"));
}

} // namespace korvel

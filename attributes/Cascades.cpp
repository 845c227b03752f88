#include "attributes/Cascades.h"

#include "attributes/NumberLists.h"
#include "db/Database.h"

namespace korvel {

const Cascade kWiresOfHarness = {
    "select HarnessID from tblHarnessInfo where HarnessNo=%1", "获取HarnessID信息失败",
    "select WireNo from tblHarnessWireInfo where HarnessID=%1", "获取WireNo信息失败"};

const Cascade kStepsOfJob = {
    "select JobID from tblJobInfo where JobNo=%1", "获取JobID信息失败",
    "select LineID from tblJobStepInfo where JobID=%1", "获取LineID信息失败"};

Result<QString> recordId(Database& database, const Cascade& cascade, const QString& number)
{
    TextTable ids;
    if (!database.query(QString::fromUtf8(cascade.idQuery).arg(database.textLiteral(number)), &ids))
        return {Outcome::failure(database.lastError() + QString::fromUtf8(cascade.idFailure)), QString()};
    if (ids.isEmpty())
        return {Outcome::failure(QString::fromUtf8(cascade.idFailure)), QString()};
    return {Outcome::success(), ids[0].value(0)};
}

Result<Children> childrenOf(Database& database, const Cascade& cascade, const QString& number)
{
    Result<QString> id = recordId(database, cascade, number);
    if (!id)
        return {id.outcome, {}};
    QStringList children;
    if (!database.queryColumn(QString::fromUtf8(cascade.childQuery).arg(database.textLiteral(id.value)), &children))
        return {Outcome::failure(database.lastError() + QString::fromUtf8(cascade.childFailure)), {}};
    return {Outcome::success(), {std::move(id.value), inListOrder(std::move(children))}};
}

} // namespace korvel

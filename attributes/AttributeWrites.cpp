#include "attributes/AttributeWrites.h"

#include "attributes/LeadingInteger.h"
#include "db/Database.h"
#include "db/client/DbClient.h"

namespace korvel {

const AttributeWrite kConnectionTypeWrite = {
    kConnectTypeList, &kWiresOfHarness, "tblHarnessWireInfo", "HarnessType", ValueKind::WholeNumber,
    "WireNo", ValueKind::Text, "HarnessID", "harnessno,wireno,联线类型不能为空", "写入联线类型失败"};

const AttributeWrite kTestGroupWrite = {
    kTestGroupList, &kWiresOfHarness, "tblHarnessWireInfo", "WireGroup", ValueKind::Text,
    "WireNo", ValueKind::Text, "HarnessID", "harnessno,wireno,测试组不能为空", "写入测试组失败"};

const AttributeWrite kTestModeWrite = {
    kTestModeList, &kStepsOfJob, "tblJobStepInfo", "TestMode", ValueKind::WholeNumber,
    "LineID", ValueKind::WholeNumber, "JobID", "harnessno,wireno,测试模式不能为空", "写入测试模式失败"};

const AttributeWrite kTestGroup2Write = {
    kTestGroup2List, &kStepsOfJob, "tblJobStepInfo", "TestGroup", ValueKind::Text,
    "LineID", ValueKind::WholeNumber, "JobID", "harnessno,wireno,测试组2不能为空", "写入测试组2失败"};

namespace {

QString valueLiteral(const Database& database, ValueKind kind, const QString& value)
{
    return kind == ValueKind::WholeNumber ? QString::number(leadingInteger(value)) : database.textLiteral(value);
}

QString keyLiteral(const Database& database, ValueKind kind, const QString& key)
{
    if (kind == ValueKind::Text)
        return database.textLiteral(key);
    QString literal = key;
    database.formatSqlLiteral(adInteger, literal);
    return literal;
}

} // namespace

Outcome requireChoices(const AttributeWrite& write, bool recordChosen, const QString& child, const QString& entry)
{
    if (!recordChosen || child.isEmpty() || entry.isEmpty())
        return Outcome::failure(QString::fromUtf8(write.missingChoice));
    return Outcome::success();
}

Result<QString> entryValue(const AttributeWrite& write, const ValueLists& lists, const QString& entry)
{
    const ValueList& list = lists[write.valueList];
    const auto found = list.constFind(entry);
    if (found == list.cend())
        return {Outcome::failure(QStringLiteral("%1中没有“%2”").arg(valueListNames()[write.valueList], entry)), {}};
    return {Outcome::success(), *found};
}

Outcome writeAttribute(Database& database, const AttributeWrite& write, const QString& recordId,
                       const QString& child, const QString& value)
{
    const QString statement = QStringLiteral("update %1 set %2=%3 where %4=%5 and %6=%7")
                                  .arg(QString::fromUtf8(write.table), QString::fromUtf8(write.column),
                                       valueLiteral(database, write.value, value), QString::fromUtf8(write.childKey),
                                       keyLiteral(database, write.childKind, child),
                                       QString::fromUtf8(write.recordKey), database.textLiteral(recordId));
    const QString failure = QString::fromUtf8(write.failure);
    qint64 changed = 0;
    if (!database.execute(statement, &changed))
        return Outcome::failure(database.lastError() + failure);
    if (changed == 0)
        return Outcome::failure(QStringLiteral("没有找到要写入的记录，") + failure);
    return Outcome::success();
}

Outcome writeAttributeAlone(Database& database, const AttributeWrite& write, const QString& recordId,
                            const QString& child, const QString& value)
{
    const QString failure = QString::fromUtf8(write.failure);
    if (!database.beginTransaction())
        return Outcome::failure(database.lastError() + failure);
    Outcome written = writeAttribute(database, write, recordId, child, value);
    if (written && !database.commitTransaction())
        written = Outcome::failure(database.lastError() + failure);
    if (!written)
        (void)database.rollbackTransaction();
    return written;
}

} // namespace korvel

#include "labels/LabelBatch.h"

#include "db/client/ValueRules.h"
#include "labels/LabelBundle.h"
#include "labels/LabelExport.h"
#include "labels/LabelImport.h"
#include "util/FileIO.h"
#include "util/TextConversions.h"

#include <QDir>
#include <QHash>
#include <QRegularExpression>
#include <QUuid>

#include <optional>

namespace korvel {

namespace {

bool isForbiddenInFileName(char32_t c)
{
    return c < 0x20 || c == 0x7F || QStringView(u"\\/:*?\"<>|%").contains(QChar(c));
}

bool isDeviceName(const QString& name)
{
    static const QRegularExpression device(QStringLiteral("^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9])(\\..*)?$"),
                                           QRegularExpression::CaseInsensitiveOption);
    return device.match(name).hasMatch();
}

QString escaped(char32_t c)
{
    QString escaped;
    for (const char byte : QString::fromUcs4(&c, 1).toUtf8())
        escaped +=
            QLatin1Char('%') + QStringLiteral("%1").arg(static_cast<uchar>(byte), 2, 16, QLatin1Char('0')).toUpper();
    return escaped;
}

// Each label's file, or the reason the batch cannot start.
Result<QStringList> planFiles(const QStringList& labelNos, const QString& folder)
{
    const auto refused = [](QString message) { return Result<QStringList>{Outcome::failure(std::move(message)), {}}; };
    Result<QStringList> paths{Outcome::success(), {}};
    QHash<QString, QString> labelOfName; // a name folded as Windows compares names
    for (const QString& labelNo : labelNos) {
        if (labelNo.isEmpty())
            return refused(kEmptyLabelNoText);
        const QString name = bundleFileName(labelNo);
        const QString key = name.toCaseFolded();
        if (const auto other = labelOfName.constFind(key); other != labelOfName.cend() && *other != labelNo)
            return refused(QStringLiteral("标签 %1 和 %2 的文件名相同（%3）").arg(*other, labelNo, name));
        labelOfName.insert(key, labelNo);
        paths.value.append(QDir(folder).filePath(name));
    }
    if (!QDir().mkpath(folder))
        return refused(QStringLiteral("无法创建文件夹：%1").arg(folder));
    return paths;
}

// Refuses a label number that exists, as a user who gives up would, and keeps why.
class ClashRefusingResolver : public DuplicateLabelResolver
{
public:
    bool resolveDuplicateLabelNo(Database&, const QString& oldValue, QString&) override
    {
        m_refusal = oldValue + QStringLiteral("已经存在");
        return false;
    }
    const QString& refusal() const { return m_refusal; }

private:
    QString m_refusal;
};

// Answers the trial import's question about a label number that exists with a free one:
// the clash is a problem of its own, and the trial goes on past it to what the server says
// of the rest.
class TrialResolver : public DuplicateLabelResolver
{
public:
    bool resolveDuplicateLabelNo(Database& database, const QString&, QString& newValue) override
    {
        do
            newValue = QUuid::createUuid().toString(QUuid::Id128).left(8);
        while (rowExists(database, kLabelInfoTable, newValue, kLabelNoColumn));
        return true;
    }
};

// The columns an import fills itself, whatever the bundle holds: the identifiers it
// replaces and the item lines the database numbers.
bool isFilledByTheImport(const QString& table, const QString& column)
{
    return isColumnNamed(column, kLabelIdColumn) || isColumnNamed(column, kItemIdColumn) ||
           (table == kLabelControlItemTable && isColumnNamed(column, kLineIdColumn));
}

// What the live tables say of the blocks of a whole bundle: columns they lack, values their
// columns refuse where the value rules decide (on a server, the server does), a label number
// that exists (counted in `clashes` too).
QStringList problemsAgainstTheDatabase(Database& database, const QList<BundleBlock>& blocks, qsizetype& clashes)
{
    const bool rulesDecide = database.valueRulesDecide();
    QStringList problems;
    for (const BundleBlock& block : blocks) {
        QList<Database::LiveColumn> live;
        if (!database.liveColumns(block.tableName, live)) {
            problems.append(database.lastError());
            continue;
        }
        const TextRow& header = block.rows.value(0);
        for (qsizetype j = 0; j < header.size(); ++j) {
            const Database::LiveColumn* column = Database::findColumn(live, header[j]);
            if (!column) {
                problems.append(QStringLiteral("标签文件第 %1 行：表 %2 没有列 %3")
                                    .arg(block.nameLine + 1)
                                    .arg(block.tableName, header[j]));
                continue;
            }
            if (!rulesDecide || isFilledByTheImport(block.tableName, header[j]))
                continue;
            for (qsizetype i = 1; i < block.rows.size(); ++i) {
                const StoredValue stored = storeValue(column->type, block.rows[i][j]);
                if (!stored.accepted)
                    problems.append(QStringLiteral("标签文件第 %1 行：").arg(lineOfRow(block, i)) +
                                    refusedValueText(block.tableName, header[j], block.rows[i][j], stored.refusal));
            }
        }
        const qsizetype labelNo = columnPosition(header, kLabelNoColumn, ColumnOccurrence::Last);
        for (qsizetype i = 1; block.tableName == kLabelInfoTable && labelNo >= 0 && i < block.rows.size(); ++i) {
            if (rowExists(database, kLabelInfoTable, block.rows[i][labelNo], kLabelNoColumn)) {
                problems.append(QStringLiteral("标签文件第 %1 行：").arg(lineOfRow(block, i)) + block.rows[i][labelNo] +
                                QStringLiteral("已经存在"));
                ++clashes;
            }
        }
    }
    return problems;
}

// The savepoint each file's trial goes under in the check's transaction.
const QString kTrialSavepoint = QStringLiteral("korvel_trial");

// One file of a check, inside the check's transaction: its problems, none when it would
// import, in which case what it imported stays for the files after it. None at all when
// its trial could not begin. `stopReason` says why the check cannot go on when the trial
// cannot begin or be ended alone.
std::optional<QStringList> checkBundle(Database& database, const QString& path, GuidSupply& guids, QString& stopReason)
{
    const Result<QByteArray> file = readWholeFile(path);
    if (!file)
        return QStringList{file.message()};
    CheckedBundle bundle = readCheckedBundle(file.value);
    if (!bundle.problems.isEmpty())
        return bundle.problems;
    const QStringList labelProblems = labelProblemsOf(bundle.blocks);
    qsizetype clashes = 0;
    QStringList problems = labelProblems + problemsAgainstTheDatabase(database, bundle.blocks, clashes);
    if (!labelProblems.isEmpty())
        return problems;

    // The import itself, under a savepoint. A clashing number would refuse the file before
    // its transaction; it is a problem of its own, and the trial goes on past it with a free
    // number to what the server says of the rest.
    if (!database.savepoint(kTrialSavepoint)) {
        stopReason = failureText(database.lastError(), QStringLiteral("设置保存点失败"));
        return std::nullopt;
    }
    TrialResolver resolver;
    const Outcome imported = importBundle(database, bundle, resolver, ImportTransaction::Callers, {}, &guids);
    if (imported && clashes == 0) {
        if (!database.releaseSavepoint(kTrialSavepoint))
            stopReason = failureText(database.lastError(), QStringLiteral("释放保存点失败"));
        return QStringList();
    }
    // A lost connection is told by the problems of the file already.
    if (!database.rollbackToSavepoint(kTrialSavepoint) && !database.connectionLost())
        stopReason = failureText(database.lastError(), QStringLiteral("回滚到保存点失败"));
    // The tables' problems name the line of each; the trial's reason stands for what they
    // do not tell.
    if (!imported && problems.size() == clashes && !imported.message().isEmpty())
        problems += imported.message();
    return problems;
}

} // namespace

QString bundleFileName(const QString& labelNo)
{
    const QList<uint> characters = labelNo.toUcs4();
    QString name;
    for (qsizetype i = 0; i < characters.size(); ++i) {
        const char32_t c = characters[i];
        // Windows drops a blank or dot at the end of a name, a leading one hides the file or
        // is easily lost.
        const bool atAnEnd = i == 0 || i == characters.size() - 1;
        const bool fragile = atAnEnd && (c == U' ' || c == U'.');
        name += isForbiddenInFileName(c) || fragile ? escaped(c) : QString::fromUcs4(&c, 1);
    }
    if (isDeviceName(name))
        name = escaped(characters.value(0)) + name.mid(1);
    return name + QStringLiteral(".bq");
}

Result<QList<LabelCounts>> listLabels(Database& database)
{
    // By number, as the export takes a label: the controls of every label of that number,
    // and the items those controls use.
    TextTable rows;
    const QString sql = QStringLiteral(
        "select n.LabelNo,"
        " (select count(*) from tblLabelControls c where c.LabelID in"
        " (select LabelID from tblLabelInfo l where l.LabelNo=n.LabelNo)),"
        " (select count(*) from tblLabelControlItem i where i.ItemID in (select ItemID from tblLabelControls c where"
        " c.LabelID in (select LabelID from tblLabelInfo l where l.LabelNo=n.LabelNo)))"
        " from (select distinct LabelNo from tblLabelInfo) n");
    Result<QList<LabelCounts>> labels{Outcome::success(), {}};
    if (!database.query(sql, &rows)) {
        labels.outcome = Outcome::failure(database.lastError());
        return labels;
    }
    for (const qsizetype row : orderIgnoringCase(firstColumn(rows)))
        labels.value.append({rows[row].value(0), rows[row].value(1).toLongLong(), rows[row].value(2).toLongLong()});
    return labels;
}

Result<QList<BatchOutcome>> exportLabels(Database& database, const QStringList& labelNos, const QString& folder,
                                         const BatchProgress& progress)
{
    const Result<QStringList> paths = planFiles(labelNos, folder);
    if (!paths)
        return {paths.outcome, {}};
    Result<QList<BatchOutcome>> outcomes{Outcome::success(), {}};
    for (qsizetype i = 0; i < labelNos.size(); ++i) {
        progress(i, labelNos.size(), labelNos[i]);
        const Outcome exported = exportLabelTo(database, labelNos[i], paths.value[i], LinkAtTarget::Refuse);
        outcomes.value.append({labelNos[i], exported.message()});
    }
    progress(labelNos.size(), labelNos.size(), QString());
    return outcomes;
}

QList<BatchOutcome> importLabels(Database& database, const QStringList& files, const BatchProgress& progress)
{
    QList<BatchOutcome> outcomes;
    GuidSupply guids;
    for (qsizetype i = 0; i < files.size(); ++i) {
        progress(i, files.size(), files[i]);
        ClashRefusingResolver resolver;
        guids.setImportsAfter(files.size() - 1 - i);
        const Outcome imported = importBundleFile(database, files[i], resolver, ImportTransaction::Own, {}, &guids);
        // A refused number ends the import without a message of its own.
        outcomes.append({files[i], imported.message().isEmpty() ? resolver.refusal() : imported.message()});
        if (!imported && database.connectionLost())
            break;
    }
    progress(files.size(), files.size(), QString());
    return outcomes;
}

Result<QList<FileCheck>> checkBundles(Database& database, const QStringList& files, const BatchProgress& progress)
{
    Result<QList<FileCheck>> checks{Outcome::success(), {}};
    if (!database.beginTransaction()) {
        checks.outcome = Outcome::failure(failureText(database.lastError(), QStringLiteral("开始事务失败")));
        return checks;
    }
    QString stopReason;
    GuidSupply guids;
    for (qsizetype i = 0; i < files.size() && stopReason.isEmpty(); ++i) {
        progress(i, files.size(), files[i]);
        guids.setImportsAfter(files.size() - 1 - i);
        const std::optional<QStringList> problems = checkBundle(database, files[i], guids, stopReason);
        if (!problems)
            break;
        checks.value.append({files[i], *problems});
        if (!problems->isEmpty() && database.connectionLost())
            break;
    }
    progress(files.size(), files.size(), QString());
    // A server that lost the connection has dropped the transaction already.
    if (!database.rollbackTransaction() && stopReason.isEmpty() && !database.connectionLost())
        stopReason = failureText(database.lastError(), QStringLiteral("回滚事务失败"));
    if (!stopReason.isEmpty())
        checks.outcome = Outcome::failure(stopReason);
    return checks;
}

} // namespace korvel

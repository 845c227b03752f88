#include "labels/LabelImport.h"

#include "db/CAdoDatabase.h"
#include "labels/BundleImportChecks.h"
#include "labels/ImportTable.h"
#include "labels/LabelBundle.h"
#include "util/FileIO.h"
#include "util/MessageSink.h"

namespace {

const QString kNothingImported = QStringLiteral("，未导入任何数据");

// Inside the open transaction. False with a message, or with none when the user gave up.
bool ImportBlocks(CAdoDatabase& database, QList<BundleBlock>& blocks, DuplicateLabelResolver& resolver, QString& error)
{
    IdentifierMaps maps;
    for (BundleBlock& block : blocks) {
        if (!ImportTable(database, block, maps, resolver, error))
            return false;
    }
    if (!database.CommitTrans()) {
        error = database.m_strError + QStringLiteral("提交事务失败");
        return false;
    }
    return true;
}

} // namespace

bool ImportLabel(const QString& connectionString, const QString& path, DuplicateLabelResolver& resolver,
                 MessageSink& messages)
{
    CAdoDatabase database;
    if (!database.Open(connectionString)) {
        messages.ShowWarning(database.m_strError);
        return false;
    }
    const std::optional<QByteArray> file = ReadWholeFile(path, messages);
    if (!file)
        return false;
    CheckedBundle bundle = ReadCheckedBundle(*file);

    // Refused before the first row goes in: a foreign table is never touched, and a file
    // cut short or a row that does not fit its columns is never half imported.
    const QStringList problems = bundle.problems + LabelProblems(bundle.blocks);
    if (!problems.isEmpty()) {
        messages.ShowWarning(problems.first() + kNothingImported);
        return false;
    }
    if (!database.BeginTrans()) {
        messages.ShowWarning(database.m_strError + QStringLiteral("开始事务失败") + kNothingImported);
        return false;
    }
    QString error;
    if (!ImportBlocks(database, bundle.blocks, resolver, error)) {
        // Should the rollback fail too, closing the connection without a commit takes the
        // rows back all the same.
        (void)database.RollbackTrans();
        if (!error.isEmpty())
            messages.ShowWarning(error + kNothingImported);
        return false;
    }
    database.Close();
    messages.ShowInformation(QStringLiteral("导入成功"));
    return true;
}

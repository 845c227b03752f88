// The commands on labels: the main window's export and import, and labels between plants by
// the hundred: the list of a database's labels, many labels to a folder, many bundles
// imported, bundles checked before their import.

#include "app/korvelctl/CommandSupport.h"

#include "labels/LabelBatch.h"
#include "labels/LabelBundle.h"
#include "labels/LabelExport.h"

namespace korvel {

namespace {

// Progress on a terminal, rewritten in place; nothing where the output goes to a file or a
// pipe, which would only fill up with it.
BatchProgress progressOf(CommandContext& context, const QString& doing)
{
    return [&context, doing](qsizetype done, qsizetype total, const QString& next) {
        if (!context.errIsTerminal)
            return;
        context.err << "\r\x1b[K";
        if (done < total)
            context.err << doing << ' ' << done + 1 << '/' << total << ' ' << escapeForDisplay(next);
        context.err.flush();
    };
}

// Each failure with its reason on stderr; gives the names of those that failed, as printed.
QStringList reportFailures(const QList<BatchOutcome>& outcomes, CommandContext& context)
{
    QStringList failed;
    for (const BatchOutcome& outcome : outcomes) {
        if (outcome.reason.isEmpty())
            continue;
        failed.append(escapeForDisplay(outcome.name));
        context.messages.showWarning(outcome.name + QStringLiteral("：") + outcome.reason);
    }
    return failed;
}

// The summary line on stdout, made from how many there were, and how many were done and not,
// followed by the names of those not done.
bool printSummary(const QList<BatchOutcome>& outcomes, CommandContext& context,
                  const std::function<QString(QString total, QString done, QString failed)>& summary)
{
    const QStringList failed = reportFailures(outcomes, context);
    context.out << summary(QString::number(outcomes.size()), QString::number(outcomes.size() - failed.size()),
                           QString::number(failed.size()));
    if (!failed.isEmpty())
        context.out << QStringLiteral("（%1）").arg(failed.join(QStringLiteral("、")));
    context.out << '\n';
    return failed.isEmpty();
}

// The files a batch that stopped early did not come to, named on one line on stderr after
// what stopped it. True when there are none.
bool reportFilesLeft(const QStringList& files, qsizetype done, const QString& stopped, CommandContext& context)
{
    if (done == files.size())
        return true;
    const QStringList left = files.mid(done);
    context.messages.showWarning(stopped.arg(left.size()) + left.join(QStringLiteral("、")));
    return false;
}

int exportToFolder(const QString& settings, const QStringList& chosen, const QString& folder, CommandContext& context)
{
    return onOpenSettingsDatabase(settings, context, [&](Database& database, MessageSink& messages) {
        QStringList labelNos = chosen;
        if (chosen.isEmpty()) {
            const Result<QList<LabelCounts>> labels = listLabels(database);
            if (!labels) {
                messages.showWarning(labels.message());
                return false;
            }
            for (const LabelCounts& label : labels.value)
                labelNos.append(label.labelNo);
        }
        const Result<QList<BatchOutcome>> outcomes =
            exportLabels(database, labelNos, folder, progressOf(context, QStringLiteral("导出")));
        if (!outcomes) {
            messages.showWarning(outcomes.message() + QStringLiteral("，未导出任何标签"));
            return false;
        }
        return printSummary(outcomes.value, context, [&folder](QString total, QString done, QString failed) {
            return QStringLiteral("导出 %1 个标签到 %2：成功 %3 个，失败 %4 个")
                .arg(total, escapeForDisplay(folder), done, failed);
        });
    });
}

int importFiles(const QString& settings, const QStringList& files, CommandContext& context)
{
    return onOpenSettingsDatabase(settings, context, [&](Database& database, MessageSink&) {
        const QList<BatchOutcome> outcomes = importLabels(database, files, progressOf(context, QStringLiteral("导入")));
        const bool allImported = printSummary(outcomes, context, [](QString total, QString done, QString failed) {
            return QStringLiteral("导入 %1 个文件：成功 %2 个，拒绝 %3 个").arg(total, done, failed);
        });
        return reportFilesLeft(files, outcomes.size(), QStringLiteral("与数据库的连接已断开，%1 个文件未导入："),
                               context) &&
               allImported;
    });
}

} // namespace

int runLabelsCommand(const CommandLine& line, CommandContext& context)
{
    if (line.arguments.size() != 1)
        return kExitUsage;
    return onOpenSettingsDatabase(line.arguments[0], context, [&context](Database& database, MessageSink& messages) {
        const Result<QList<LabelCounts>> labels = listLabels(database);
        if (!labels) {
            messages.showWarning(labels.message());
            return false;
        }
        for (const LabelCounts& label : labels.value)
            context.out << escapeForDisplay(label.labelNo) << '\t' << label.controls << '\t' << label.items << '\n';
        return true;
    });
}

// The main window's export, the label number given instead of chosen; or many labels, each
// to its own file in a folder.
int runExportCommand(const CommandLine& line, CommandContext& context)
{
    const bool all = line.options.isSet(kAllOption);
    const bool toFolder = line.options.isSet(kToOption);
    const QStringList& words = line.arguments;
    if (all && !toFolder && words.size() == 2)
        return exportToFolder(words[0], {}, words[1], context);
    if (toFolder && !all && words.size() >= 2)
        return exportToFolder(words[0], words.mid(1), line.options.value(kToOption), context);
    if (all || toFolder || words.size() != 3)
        return kExitUsage;
    if (words[1].isEmpty()) {
        context.messages.showWarning(kEmptyLabelNoText);
        return kExitFailure;
    }
    return onSettingsDatabase(words[0], context, [&words](const QString& connection, MessageSink& messages) {
        const Outcome exported = exportLabel(connection, words[1], words[2]);
        if (!exported)
            messages.showWarning(exported.message());
        return exported.ok();
    });
}

// The main window's import, --label-no answering the duplicate-label dialog; or many files,
// each in its own transaction, where a number that exists refuses its file (a command line
// cannot ask for another). An empty number is refused with the dialog's message rather
// than as a usage error.
int runImportCommand(const CommandLine& line, CommandContext& context)
{
    const QStringList& words = line.arguments;
    const bool labelNoGiven = line.options.isSet(kLabelNoOption);
    if (words.size() < 2 || words.contains(QString()) || (labelNoGiven && words.size() > 2))
        return kExitUsage;
    if (words.size() > 2)
        return importFiles(words[0], words.mid(1), context);
    std::optional<QString> newLabelNo;
    if (labelNoGiven)
        newLabelNo = line.options.value(kLabelNoOption);
    if (newLabelNo && newLabelNo->isEmpty()) {
        context.messages.showWarning(kEmptyLabelNoText);
        return kExitFailure;
    }
    LabelNoOptionResolver resolver(newLabelNo, context.messages);
    return onSettingsDatabase(words[0], context, [&](const QString& connection, MessageSink& messages) {
        const Outcome imported = importLabel(connection, words[1], resolver);
        if (!imported.message().isEmpty())
            messages.showWarning(imported.message());
        return imported.ok();
    });
}

// The import's pre-flight: every problem of every file, one per line, then a summary.
int runCheckCommand(const CommandLine& line, CommandContext& context)
{
    const QStringList& words = line.arguments;
    if (words.size() < 2 || words.contains(QString()))
        return kExitUsage;
    return onOpenSettingsDatabase(words[0], context, [&](Database& database, MessageSink& messages) {
        const QStringList files = words.mid(1);
        const auto [ended, checks] = checkBundles(database, files, progressOf(context, QStringLiteral("检查")));
        qsizetype refused = 0;
        for (const FileCheck& check : checks) {
            refused += check.problems.isEmpty() ? 0 : 1;
            if (check.problems.isEmpty())
                context.out << escapeForDisplay(check.file) << QStringLiteral("：可以导入\n");
            for (const QString& problem : check.problems)
                context.out << escapeForDisplay(check.file) << QStringLiteral("：") << escapeForDisplay(problem) << '\n';
        }
        context.out << QStringLiteral("检查 %1 个文件：可以导入 %2 个，不能导入 %3 个\n")
                           .arg(checks.size())
                           .arg(checks.size() - refused)
                           .arg(refused);
        if (!ended)
            messages.showWarning(ended.message());
        return reportFilesLeft(files, checks.size(), QStringLiteral("检查中断，%1 个文件未检查："), context) &&
               ended.ok() && refused == 0;
    });
}

} // namespace korvel

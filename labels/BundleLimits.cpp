#include "labels/BundleLimits.h"

namespace {

// What keeps a name or value off a line of the bundle; empty when nothing does.
QString SeparatorProblem(const QString& text)
{
    if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('\n')))
        return QStringLiteral("含有逗号或换行");
    if (text.contains(QChar(u'\0')))
        return QStringLiteral("含有空字符");
    return QString();
}

QString LeadingPrefixProblem(const QString& firstValue)
{
    for (const QString& prefix : {kTableNamePrefix, kColumnNamePrefix}) {
        if (firstValue.startsWith(prefix))
            return QStringLiteral("以“%1”开头").arg(prefix);
    }
    return QString();
}

} // namespace

bool CheckBlockFitsBundle(const BundleBlock& block, QString& error)
{
    const TextRow header = block.rows.value(0);
    for (const QString& name : header) {
        const QString problem = SeparatorProblem(name);
        if (!problem.isEmpty()) {
            error = QStringLiteral("标签数据无法导出：表 %1 的列名 %2 %3").arg(block.tableName, name, problem);
            return false;
        }
    }
    for (qsizetype i = 1; i < block.rows.size(); ++i) {
        const TextRow& row = block.rows[i];
        for (qsizetype j = 0; j < row.size(); ++j) {
            QString problem = SeparatorProblem(row[j]);
            if (problem.isEmpty() && j == 0)
                problem = LeadingPrefixProblem(row[j]);
            if (!problem.isEmpty()) {
                error = QStringLiteral("标签数据无法导出：表 %1 列 %2 的值%3")
                            .arg(block.tableName, header.value(j), problem);
                return false;
            }
        }
    }
    return true;
}

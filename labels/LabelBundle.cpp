#include "labels/LabelBundle.h"

#include "util/FileCipher.h"
#include "util/TextConversions.h"

#include <QStringTokenizer>

#include <algorithm>

namespace korvel {

namespace {

const QChar kFieldSeparator = QLatin1Char(',');
const QChar kLineEnd = QLatin1Char('\n');

TextRow splitFields(QStringView line)
{
    TextRow fields;
    for (const QStringView field : QStringTokenizer(line, kFieldSeparator))
        fields.append(field.toString());
    return fields;
}

// What keeps a name or value off a line of the bundle; empty when nothing does.
QString separatorProblem(const QString& text)
{
    if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('\n')))
        return QStringLiteral("含有逗号或换行");
    if (text.contains(QChar(u'\0')))
        return QStringLiteral("含有空字符");
    return QString();
}

QString leadingPrefixProblem(const QString& firstValue)
{
    for (const QString& prefix : {kTableNamePrefix, kColumnNamePrefix}) {
        if (firstValue.startsWith(prefix))
            return QStringLiteral("以“%1”开头").arg(prefix);
    }
    return QString();
}

const QStringList kBlockOrder = {kLabelInfoTable, kLabelControlsTable, kLabelControlItemTable};

// The bundle text of a file, after checking the NUL that every writer ends it with: a copy
// cut short has none, and bytes after it would be dropped unseen.
QString checkedBundleText(const QByteArray& file, QStringList& problems)
{
    const QByteArray plaintext = cryptFileData(file);
    if (plaintext.isEmpty())
        problems.append(QStringLiteral("不是完整的标签文件：文件是空的"));
    else if (!plaintext.endsWith('\0'))
        problems.append(QStringLiteral("不是完整的标签文件：末尾没有结束标记"));
    else if (plaintext.indexOf('\0') != plaintext.size() - 1)
        problems.append(QStringLiteral("不是完整的标签文件：结束标记之后还有数据"));
    // The reader never looks at a last line without its line feed: its row would be lost.
    else if (!plaintext.endsWith(QByteArrayView("\n\0", 2)))
        problems.append(QStringLiteral("不是完整的标签文件：最后一行没有换行"));
    return utf8ToWide(plaintext);
}

QStringList blockProblems(const QList<BundleBlock>& blocks)
{
    QStringList problems;
    QStringList labelBlocks;
    for (const BundleBlock& block : blocks) {
        if (block.tableName.isEmpty()) {
            problems.append(QStringLiteral("标签文件含有不属于任何表的数据"));
        } else if (!kBlockOrder.contains(block.tableName)) {
            problems.append(QStringLiteral("标签文件含有标签以外的表 %1").arg(block.tableName));
        } else {
            labelBlocks.append(block.tableName);
            if (!block.hasColumnNameLine)
                problems.append(QStringLiteral("标签文件第 %1 行应是表 %2 的列名行")
                                    .arg(QString::number(block.nameLine + 1), block.tableName));
        }
    }
    if (labelBlocks != kBlockOrder) {
        const QString found = labelBlocks.isEmpty() ? QStringLiteral("一个也没有")
                                                    : QStringLiteral("实际含有 ") + labelBlocks.join(QStringLiteral("、"));
        problems.append(QStringLiteral("标签文件应依次含有表 %1，%2").arg(kBlockOrder.join(QStringLiteral("、")), found));
    }
    return problems;
}

// Counted against the column-name line only: a block without one is a problem already.
QStringList rowWidthProblems(const QList<BundleBlock>& blocks)
{
    QStringList problems;
    for (const BundleBlock& block : blocks) {
        if (!block.hasColumnNameLine)
            continue;
        const qsizetype columns = block.rows[0].size();
        for (qsizetype i = 1; i < block.rows.size(); ++i) {
            if (block.rows[i].size() != columns)
                problems.append(QStringLiteral("标签文件第 %1 行有 %2 个值，而表 %3 有 %4 个列名")
                                    .arg(QString::number(lineOfRow(block, i)), QString::number(block.rows[i].size()),
                                         block.tableName, QString::number(columns)));
        }
    }
    return problems;
}

} // namespace

void appendBundleBlock(const BundleBlock& block, QStringList* lines)
{
    lines->append(kTableNamePrefix + block.tableName + kLineEnd);
    for (qsizetype i = 0; i < block.rows.size(); ++i) {
        const QString line = block.rows[i].join(kFieldSeparator) + kLineEnd;
        lines->append(i == 0 ? kColumnNamePrefix + line : line);
    }
}

QByteArray encodeBundle(const QStringList& lines)
{
    return cryptFileData(wideToUtf8(lines.join(QString())));
}

QString decodeBundle(const QByteArray& file)
{
    return utf8ToWide(cryptFileData(file));
}

QList<BundleBlock> readBundleText(const QString& text)
{
    // Only what ends with a line feed is looked at; the lines are walked as views into the
    // text, since a bundle of a million rows would otherwise be held twice more as copies.
    const qsizetype lastLineEnd = text.lastIndexOf(kLineEnd);
    QList<BundleBlock> blocks;
    if (lastLineEnd < 0)
        return blocks;
    BundleBlock current; // named once its nameLine is set
    qsizetype line = 0;
    for (const QStringView piece : QStringTokenizer(QStringView(text).left(lastLineEnd), kLineEnd)) {
        ++line;
        if (piece.startsWith(kTableNamePrefix)) {
            if (current.nameLine > 0 || !current.rows.isEmpty())
                blocks.append(std::move(current));
            current = BundleBlock{piece.mid(kTableNamePrefix.size()).toString(), TextTable(), line, false};
        } else if (piece.startsWith(kColumnNamePrefix)) {
            if (current.nameLine > 0 && line == current.nameLine + 1)
                current.hasColumnNameLine = true;
            current.rows.append(splitFields(piece.mid(kColumnNamePrefix.size())));
        } else {
            current.rows.append(splitFields(piece));
        }
    }
    if (current.nameLine > 0 || !current.rows.isEmpty())
        blocks.append(std::move(current));
    return blocks;
}

Outcome checkBlockFitsBundle(const BundleBlock& block)
{
    const TextRow header = block.rows.value(0);
    for (const QString& name : header) {
        const QString problem = separatorProblem(name);
        if (!problem.isEmpty())
            return Outcome::failure(
                QStringLiteral("标签数据无法导出：表 %1 的列名 %2 %3").arg(block.tableName, name, problem));
    }
    for (qsizetype i = 1; i < block.rows.size(); ++i) {
        const TextRow& row = block.rows[i];
        for (qsizetype j = 0; j < row.size(); ++j) {
            QString problem = separatorProblem(row[j]);
            if (problem.isEmpty() && j == 0)
                problem = leadingPrefixProblem(row[j]);
            if (!problem.isEmpty())
                return Outcome::failure(QStringLiteral("标签数据无法导出：表 %1 列 %2 的值%3")
                                                    .arg(block.tableName, header.value(j), problem));
        }
    }
    return Outcome::success();
}

CheckedBundle readCheckedBundle(const QByteArray& file)
{
    CheckedBundle bundle;
    bundle.blocks = readBundleText(checkedBundleText(file, bundle.problems));
    bundle.problems += blockProblems(bundle.blocks);
    bundle.problems += rowWidthProblems(bundle.blocks);
    return bundle;
}

QStringList labelProblemsOf(const QList<BundleBlock>& blocks)
{
    QStringList problems;
    for (const BundleBlock& block : blocks) {
        if (block.tableName != kLabelInfoTable)
            continue;
        if (block.rows.size() < 2)
            problems.append(QStringLiteral("标签文件中没有标签"));
        // A label numbered "" could never be chosen for an export again.
        const qsizetype labelNo = columnPosition(block.rows.value(0), kLabelNoColumn, ColumnOccurrence::Last);
        for (qsizetype i = 1; labelNo >= 0 && i < block.rows.size(); ++i) {
            if (block.rows[i].value(labelNo).isEmpty())
                problems.append(QStringLiteral("标签文件第 %1 行：标签不能为空").arg(lineOfRow(block, i)));
        }
    }
    return problems;
}

bool isColumnNamed(const QString& name, const QString& column)
{
    return name.compare(column, Qt::CaseInsensitive) == 0;
}

qsizetype columnPosition(const TextRow& header, const QString& column, ColumnOccurrence occurrence)
{
    const auto named = [&column](const QString& name) { return isColumnNamed(name, column); };
    if (occurrence == ColumnOccurrence::First) {
        const auto found = std::find_if(header.cbegin(), header.cend(), named);
        return found == header.cend() ? -1 : found - header.cbegin();
    }
    const auto found = std::find_if(header.crbegin(), header.crend(), named);
    return found == header.crend() ? -1 : header.crend() - found - 1;
}

QString missingColumnText(const QString& tableName, const QString& column)
{
    return QStringLiteral("标签文件中表 %1 没有 %2 列").arg(tableName, column);
}

} // namespace korvel

#include "labels/LabelBundle.h"

#include "util/FileCipher.h"
#include "util/TextConversions.h"

#include <QStringTokenizer>

namespace {

const QChar kFieldSeparator = QLatin1Char(',');
const QChar kLineEnd = QLatin1Char('\n');

TextRow SplitFields(QStringView line)
{
    TextRow fields;
    for (const QStringView field : QStringTokenizer(line, kFieldSeparator))
        fields.append(field.toString());
    return fields;
}

} // namespace

void AppendBundleBlock(const BundleBlock& block, QStringList* lines)
{
    lines->append(kTableNamePrefix + block.tableName + kLineEnd);
    for (qsizetype i = 0; i < block.rows.size(); ++i) {
        const QString line = block.rows[i].join(kFieldSeparator) + kLineEnd;
        lines->append(i == 0 ? kColumnNamePrefix + line : line);
    }
}

QByteArray EncodeBundle(const QStringList& lines)
{
    return CryptFileData(WideToUtf8(lines.join(QString())));
}

QString DecodeBundle(const QByteArray& file)
{
    return Utf8ToWide(CryptFileData(file));
}

QList<BundleBlock> ReadBundleText(const QString& text)
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
            current.rows.append(SplitFields(piece.mid(kColumnNamePrefix.size())));
        } else {
            current.rows.append(SplitFields(piece));
        }
    }
    if (current.nameLine > 0 || !current.rows.isEmpty())
        blocks.append(std::move(current));
    return blocks;
}

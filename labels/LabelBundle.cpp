#include "labels/LabelBundle.h"

#include "config/SplitText.h"
#include "util/FileCipher.h"
#include "util/Utf8Text.h"

namespace {

const QChar kFieldSeparator = QLatin1Char(',');
const QChar kLineEnd = QLatin1Char('\n');

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
    const QStringList pieces = SplitText(text, kLineEnd);
    QList<BundleBlock> blocks;
    BundleBlock current;
    bool named = false;
    for (qsizetype i = 0; i + 1 < pieces.size(); ++i) {
        const QString& piece = pieces[i];
        if (piece.startsWith(kTableNamePrefix)) {
            if (named || !current.rows.isEmpty())
                blocks.append(std::move(current));
            current = BundleBlock{piece.mid(kTableNamePrefix.size()), TextTable()};
            named = true;
        } else if (piece.startsWith(kColumnNamePrefix)) {
            current.rows.append(SplitText(piece.mid(kColumnNamePrefix.size()), kFieldSeparator));
        } else {
            current.rows.append(SplitText(piece, kFieldSeparator));
        }
    }
    if (named || !current.rows.isEmpty())
        blocks.append(std::move(current));
    return blocks;
}

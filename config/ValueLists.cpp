#include "config/ValueLists.h"

#include "util/FileCipher.h"
#include "util/FileIO.h"
#include "util/MessageSink.h"
#include "util/TextConversions.h"

#include <QFileInfo>
#include <QStringTokenizer>

namespace korvel {

const std::array<QString, kValueListCount>& valueListNames()
{
    static const std::array<QString, kValueListCount> names = {
        QStringLiteral("联线类型"), QStringLiteral("测试组"), QStringLiteral("测试组2"), QStringLiteral("测试模式")};
    return names;
}

QStringList splitText(const QString& text, QChar separator)
{
    return text.split(separator, Qt::KeepEmptyParts, Qt::CaseSensitive);
}

ValueLists parseValueListText(const QString& plaintext)
{
    ValueLists lists;
    const auto& names = valueListNames();
    // Views rather than splitText's copies: a large file is not held three times over.
    for (const QStringView line : QStringTokenizer(plaintext, u';')) {
        const QList<QStringView> fields = line.split(u'&');
        if (fields.size() < 3)
            continue;
        for (int list = 0; list < kValueListCount; ++list) {
            if (fields[0] == names[list]) {
                const QString key = fields[1].toString();
                if (!lists[list].contains(key))
                    lists[list].insert(key, fields[2].toString());
                break;
            }
        }
    }
    return lists;
}

QString decipherValueListFile(const QByteArray& fileBytes)
{
    return ansiToWide(cryptFileData(fileBytes));
}

Result<ValueLists> readValueListFile(const QString& path)
{
    if (!QFileInfo::exists(path))
        return {Outcome::failure(QStringLiteral("配置文件不存在")), {}};
    const Result<QByteArray> bytes = readWholeFile(path);
    if (!bytes)
        return {bytes.outcome, {}};
    return {Outcome::success(), parseValueListText(decipherValueListFile(bytes.value))};
}

} // namespace korvel

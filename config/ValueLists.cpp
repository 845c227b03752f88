#include "config/ValueLists.h"

#include "config/SplitText.h"
#include "util/AnsiText.h"
#include "util/FileCipher.h"
#include "util/FileIO.h"
#include "util/MessageSink.h"

#include <QFileInfo>

const std::array<QString, kValueListCount>& ValueListNames()
{
    static const std::array<QString, kValueListCount> names = {
        QStringLiteral("联线类型"), QStringLiteral("测试组"), QStringLiteral("测试组2"), QStringLiteral("测试模式")};
    return names;
}

ValueLists ParseValueListText(const QString& plaintext)
{
    ValueLists lists;
    const auto& names = ValueListNames();
    for (const QString& line : SplitText(plaintext, QLatin1Char(';'))) {
        const QStringList fields = SplitText(line, QLatin1Char('&'));
        if (fields.size() < 3)
            continue;
        for (int list = 0; list < kValueListCount; ++list) {
            if (fields[0] == names[list]) {
                if (!lists[list].contains(fields[1]))
                    lists[list].insert(fields[1], fields[2]);
                break;
            }
        }
    }
    return lists;
}

QString DecipherValueListFile(const QByteArray& fileBytes)
{
    return AnsiToWide(CryptFileData(fileBytes));
}

bool LoadValueListFile(const QString& path, ValueLists& lists, MessageSink& messages)
{
    if (!QFileInfo::exists(path)) {
        messages.ShowWarning(QStringLiteral("配置文件不存在"));
        return false;
    }
    const std::optional<QByteArray> bytes = ReadWholeFile(path, messages);
    lists = bytes ? ParseValueListText(DecipherValueListFile(*bytes)) : ValueLists{};
    return bytes.has_value();
}

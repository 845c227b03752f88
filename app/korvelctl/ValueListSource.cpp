#include "app/korvelctl/ValueListSource.h"

#include "config/ValueLists.h"
#include "util/TextConversions.h"

#include <algorithm>

namespace {

// Empty when the line is a valid entry; then `ansi` holds its GBK bytes.
QString LineProblem(const QString& line, QByteArray& ansi)
{
    if (line.contains(QLatin1Char(';')) || line.contains(QChar(0)))
        return QStringLiteral("不能含有“;”或NUL字符");
    const QStringList fields = SplitText(line, QLatin1Char('&'));
    if (fields.size() != 3)
        return QStringLiteral("格式错误，应为：列表名&条目&值");
    const auto& names = ValueListNames();
    if (std::find(names.begin(), names.end(), fields[0]) == names.end())
        return QStringLiteral("的列表名无效：%1").arg(fields[0]);
    if (!WideToAnsi(line, ansi))
        return QStringLiteral("含有GBK无法表示的字符");
    return QString();
}

} // namespace

bool ValueListPlaintextFromLines(const QString& text, QByteArray& plaintext, QString& error)
{
    QByteArray built;
    const QStringList lines = SplitText(text, QLatin1Char('\n'));
    for (qsizetype number = 0; number < lines.size(); ++number) {
        QString line = lines[number];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.endsWith(QLatin1Char(';')))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        QByteArray ansi;
        const QString problem = LineProblem(line, ansi);
        if (!problem.isEmpty()) {
            error = QStringLiteral("第%1行").arg(number + 1) + problem;
            return false;
        }
        built += ansi + ';';
    }
    plaintext = built;
    return true;
}

#include "config/ConnectionSettings.h"

#include "config/SettingsXml.h"
#include "util/FileIO.h"
#include "util/MessageSink.h"

#include <QDir>
#include <QFileInfo>

namespace {

// A settings file is a few hundred bytes; anything near this is not one.
constexpr std::int64_t kMaxSettingsFileSize = 16 * 1024 * 1024;

} // namespace

ConnectionSettings ConnectionSettingsFromRows(const QMap<QString, QString>& rows)
{
    ConnectionSettings settings;
    settings.hostName = rows.value(QStringLiteral("txtHostName"));
    settings.dataName = rows.value(QStringLiteral("txtDataName"));
    settings.userName = rows.value(QStringLiteral("txtUserName"));
    settings.password = rows.value(QStringLiteral("txtPasswd"));
    settings.instance = rows.value(QStringLiteral("txtInstance"));
    settings.provider = rows.value(QStringLiteral("txtProvider"));
    return settings;
}

bool UsesEmbeddedEngine(const ConnectionSettings& settings)
{
    return settings.provider.compare(QLatin1String("sqlite"), Qt::CaseInsensitive) == 0;
}

bool LoadConnectionSettings(const QString& path, ConnectionSettings& settings)
{
    QByteArray xml;
    FileReadFailure failure;
    if (!ReadFileBytes(path, xml, failure, kMaxSettingsFileSize))
        return false;
    QMap<QString, QString> rows;
    if (!ReadSettingsRows(xml, rows))
        return false;

    ConnectionSettings loaded = ConnectionSettingsFromRows(rows);
    if (UsesEmbeddedEngine(loaded) && !loaded.hostName.isEmpty() && QDir::isRelativePath(loaded.hostName))
        loaded.hostName = QDir::cleanPath(QFileInfo(path).absoluteDir().filePath(loaded.hostName));
    settings = loaded;
    return true;
}

std::optional<ConnectionSettings> ReadSettingsFile(const QString& path, MessageSink& messages)
{
    if (!QFileInfo::exists(path)) {
        messages.ShowWarning(QStringLiteral("获取配置文件失败"));
        return std::nullopt;
    }
    ConnectionSettings settings;
    if (!LoadConnectionSettings(path, settings)) {
        messages.ShowWarning(QStringLiteral("获取配置数据失败"));
        return std::nullopt;
    }
    return settings;
}

#pragma once

#include <QString>

#include <optional>

class MessageSink;

// The parameters of the settings file "frmConnect", in the order the file defines them.
struct ConnectionSettings
{
    QString hostName; // "txtHostName": the server, or the database file of the embedded engine
    QString dataName; // "txtDataName"
    QString userName; // "txtUserName"
    QString password; // "txtPasswd"
    QString instance; // "txtInstance": a named SQL Server instance, may be empty
    QString provider; // "txtProvider", optional: empty means SQL Server, "sqlite" the embedded engine
};

inline const QString kSettingsFileName = QStringLiteral("frmConnect");

// Reads a settings file. False when it cannot be read or parsed or has no top-level
// NewDataSet; a parameter that no row names is empty. For the embedded engine a relative
// database file is taken from the settings file's directory. `settings` is only written
// on success.
[[nodiscard]] bool LoadConnectionSettings(const QString& path, ConnectionSettings& settings);

// What the login and the main window do before they connect: "获取配置文件失败" when
// nothing exists at the path, "获取配置数据失败" when it cannot be loaded.
std::optional<ConnectionSettings> ReadSettingsFile(const QString& path, MessageSink& messages);

// True when the settings select the embedded engine.
bool UsesEmbeddedEngine(const ConnectionSettings& settings);

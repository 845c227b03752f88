#pragma once

#include "util/Outcome.h"

#include <QByteArray>
#include <QMap>
#include <QString>

namespace korvel {

// The directory of the running executable, with a trailing '/'. The program's two
// configuration files lie there. Needs the QCoreApplication object.
QString exeDirectory();

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
[[nodiscard]] bool loadConnectionSettings(const QString& path, ConnectionSettings& settings);

// What the login and the main window do before they connect: fails with "获取配置文件失败"
// when nothing exists at the path, "获取配置数据失败" when it cannot be loaded.
Result<ConnectionSettings> readSettingsFile(const QString& path);

// True when the settings select the embedded engine.
bool usesEmbeddedEngine(const ConnectionSettings& settings);

// The two steps of loadConnectionSettings after the file's bytes are read. The rows of a
// settings document, ParaName → ParaValue, the first row of a name winning: false when the
// bytes are not a well-formed document with a top-level NewDataSet.
[[nodiscard]] bool readSettingsRows(const QByteArray& xml, QMap<QString, QString>& rows);
// The parameters that the rows name; a name no row has is empty.
ConnectionSettings connectionSettingsFromRows(const QMap<QString, QString>& rows);

// The OLE DB connection string of the settings:
// "Provider=sqloledb;Data Source=host[\instance];Initial Catalog=…;User Id=…;Password=…;"
// (the provider of the settings instead of sqloledb when one is named; only the data
// source for the embedded engine). A value holding ';', a quote or blanks at either end is
// quoted so that it reaches the driver intact; every other value stands as it is.
QString buildConnectionString(const ConnectionSettings& settings);

// The connection string of a settings file (readSettingsFile, then buildConnectionString).
Result<QString> readConnectionString(const QString& path);

} // namespace korvel

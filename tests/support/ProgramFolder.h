#pragma once

#include "tests/support/EmbeddedTestDatabase.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <optional>

namespace korvel {

struct ConnectionSettings;

// The folder a program runs from: the settings file "frmConnect", the value-list file
// "SQL配置.ini" and an embedded database "korvel.db", written byte by byte by the test.
class ProgramFolder
{
public:
    // Without a database of its own: the settings name a server.
    ProgramFolder() = default;
    explicit ProgramFolder(const char* databaseSql);

    // With its trailing '/', as the program's own directory is given.
    QString directory() const { return m_dir.path() + QLatin1Char('/'); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    EmbeddedTestDatabase& database() { return *m_database; }

    // A settings file naming the embedded database (relative, as the demo has it).
    void writeEmbeddedSettings(const QByteArray& databaseFile = "korvel.db");
    void writeSettings(const QByteArray& xml);
    // A settings file with each parameter that is not empty.
    void writeSettings(const ConnectionSettings& settings);
    // The value-list plaintext, stored in GBK and enciphered as the program expects.
    void writeValueLists(const QString& plaintext);

private:
    QTemporaryDir m_dir;
    std::optional<EmbeddedTestDatabase> m_database;
};

} // namespace korvel

#include "tests/support/ProgramFolder.h"

#include "config/ConnectionSettings.h"
#include "config/ValueLists.h"
#include "tests/support/TestFiles.h"
#include "util/TextConversions.h"
#include "util/FileCipher.h"

#include <gtest/gtest.h>

namespace korvel {

ProgramFolder::ProgramFolder(const char* databaseSql)
    : m_database(std::in_place, m_dir.filePath(QStringLiteral("korvel.db")), databaseSql)
{
}

void ProgramFolder::writeEmbeddedSettings(const QByteArray& databaseFile)
{
    writeSettings("<?xml version=\"1.0\" standalone=\"yes\"?>\n<NewDataSet>\n"
                  "  <frmConnect><ParaName>txtHostName</ParaName><ParaValue>" +
                  databaseFile +
                  "</ParaValue></frmConnect>\n"
                  "  <frmConnect><ParaName>txtProvider</ParaName><ParaValue>sqlite</ParaValue></frmConnect>\n"
                  "</NewDataSet>\n");
}

void ProgramFolder::writeSettings(const QByteArray& xml)
{
    writeTestFile(filePath(kSettingsFileName), xml);
}

void ProgramFolder::writeSettings(const ConnectionSettings& settings)
{
    const QList<std::pair<const char*, QString>> parameters = {
        {"txtHostName", settings.hostName}, {"txtDataName", settings.dataName}, {"txtUserName", settings.userName},
        {"txtPasswd", settings.password},   {"txtInstance", settings.instance}, {"txtProvider", settings.provider},
    };
    QByteArray xml = "<?xml version=\"1.0\" standalone=\"yes\"?>\n<NewDataSet>\n";
    for (const auto& [name, value] : parameters) {
        if (!value.isEmpty())
            xml += QByteArray("  <frmConnect><ParaName>") + name + "</ParaName><ParaValue>" +
                   value.toHtmlEscaped().toUtf8() + "</ParaValue></frmConnect>\n";
    }
    writeSettings(xml + "</NewDataSet>\n");
}

void ProgramFolder::writeValueLists(const QString& plaintext)
{
    QByteArray gbk;
    ASSERT_TRUE(wideToAnsi(plaintext, gbk));
    writeTestFile(filePath(kValueListFileName), cryptFileData(gbk));
}

} // namespace korvel

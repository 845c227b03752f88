#include "tests/support/ProgramFolder.h"

#include "config/ConnectionSettings.h"
#include "config/ValueLists.h"
#include "tests/support/TestFiles.h"
#include "util/AnsiText.h"
#include "util/FileCipher.h"

#include <gtest/gtest.h>

ProgramFolder::ProgramFolder(const char* databaseSql)
    : m_database(m_dir.filePath(QStringLiteral("korvel.db")), databaseSql)
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
    WriteTestFile(filePath(kSettingsFileName), xml);
}

void ProgramFolder::writeValueLists(const QString& plaintext)
{
    QByteArray gbk;
    ASSERT_TRUE(WideToAnsi(plaintext, gbk));
    WriteTestFile(filePath(kValueListFileName), CryptFileData(gbk));
}

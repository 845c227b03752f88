// The settings file "frmConnect" as the program reads it, whatever its bytes.

#include "config/ConnectionSettings.h"
#include "db/client/ConnectionString.h"
#include "tests/fuzz/FuzzInput.h"

using namespace korvel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QMap<QString, QString> rows;
    if (!readSettingsRows(fuzzBytes(data, size), rows))
        return 0;
    ConnectionSettings settings = connectionSettingsFromRows(rows);
    settings.provider.clear(); // the SQL Server form, with every parameter in it
    // Whatever the values, the connection string gives them back intact.
    QMap<QString, QString> attributes;
    FUZZ_CHECK(parseConnectionString(buildConnectionString(settings), attributes));
    FUZZ_CHECK(attributes.value(QStringLiteral("password")) == settings.password);
    FUZZ_CHECK(attributes.value(QStringLiteral("initial catalog")) == settings.dataName);
    return 0;
}

// Connection strings: parsing anything, and five arbitrary values surviving the trip
// through buildConnectionString.

#include "config/ConnectionSettings.h"
#include "db/client/ConnectionString.h"
#include "tests/fuzz/FuzzInput.h"

using namespace korvel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = fuzzText(data, size);
    QMap<QString, QString> parsed;
    (void)parseConnectionString(text, parsed);

    // Five values separated by U+001F, whatever they hold.
    const QStringList fields = text.split(QChar(0x1F));
    if (fields.size() < 5)
        return 0;
    ConnectionSettings settings;
    settings.hostName = fields[0];
    settings.dataName = fields[1];
    settings.userName = fields[2];
    settings.password = fields[3];
    settings.instance = fields[4];
    QMap<QString, QString> attributes;
    FUZZ_CHECK(parseConnectionString(buildConnectionString(settings), attributes));
    FUZZ_CHECK(attributes.value(QStringLiteral("initial catalog")) == settings.dataName);
    FUZZ_CHECK(attributes.value(QStringLiteral("user id")) == settings.userName);
    FUZZ_CHECK(attributes.value(QStringLiteral("password")) == settings.password);
    const QString source = settings.instance.isEmpty() ? settings.hostName
                                                       : settings.hostName + QLatin1Char('\\') + settings.instance;
    FUZZ_CHECK(attributes.value(QStringLiteral("data source")) == source);
    return 0;
}

#include "config/ConnectionSettings.h"

#include "db/client/ConnectionString.h"
#include "util/FileIO.h"
#include "util/MessageSink.h"
#include "util/TextConversions.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cctype>

#include <tinyxml.h>

namespace korvel {

namespace {

// A settings file is a few hundred bytes; anything near this is not one.
constexpr std::int64_t kMaxSettingsFileSize = 16 * 1024 * 1024;

// TinyXML parses and frees nested elements recursively, so a hostile file of deeply
// nested elements would overflow the stack. No settings file comes near this many
// elements; counting every '<' that may open one bounds the depth whatever the markup.
constexpr int kMaxElementOpenings = 4096;

bool mayOpenElement(char next)
{
    const auto c = static_cast<unsigned char>(next);
    return c == '_' || c >= 0x7F || std::isalpha(c);
}

bool tooManyElements(const QByteArray& xml)
{
    int openings = 0;
    for (qsizetype i = 0; i + 1 < xml.size(); ++i) {
        if (xml[i] == '<' && mayOpenElement(xml[i + 1]) && ++openings > kMaxElementOpenings)
            return true;
    }
    return false;
}

enum class TextEncoding { Utf8, Ansi };

// UTF-8 when the document has a byte-order mark or declares UTF-8, or declares nothing and
// its bytes are valid UTF-8; otherwise the ANSI code page. The declaration is taken from
// the document parsed byte by byte, which is safe for any bytes.
TextEncoding documentEncoding(const QByteArray& xml, const TiXmlDocument& document)
{
    if (xml.startsWith("\xEF\xBB\xBF"))
        return TextEncoding::Utf8;
    for (const TiXmlNode* node = document.FirstChild(); node; node = node->NextSibling()) {
        if (const TiXmlDeclaration* declaration = node->ToDeclaration()) {
            const QByteArray declared = QByteArray(declaration->Encoding()).toUpper();
            if (declared.isEmpty())
                break;
            return declared == "UTF-8" || declared == "UTF8" ? TextEncoding::Utf8 : TextEncoding::Ansi;
        }
    }
    return xml.isValidUtf8() ? TextEncoding::Utf8 : TextEncoding::Ansi;
}

QString childText(const TiXmlElement& row, const char* childName, TextEncoding encoding)
{
    const TiXmlElement* child = row.FirstChildElement(childName);
    const char* text = child ? child->GetText() : nullptr;
    if (!text)
        return QString();
    return encoding == TextEncoding::Utf8 ? QString::fromUtf8(text) : ansiToWide(QByteArray(text));
}

QString dataSource(const ConnectionSettings& settings)
{
    if (settings.instance.isEmpty())
        return settings.hostName;
    return settings.hostName + QLatin1Char('\\') + settings.instance;
}

} // namespace

ConnectionSettings connectionSettingsFromRows(const QMap<QString, QString>& rows)
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

bool usesEmbeddedEngine(const ConnectionSettings& settings)
{
    return isEmbeddedProvider(settings.provider);
}

bool loadConnectionSettings(const QString& path, ConnectionSettings& settings)
{
    QByteArray xml;
    FileReadFailure failure;
    if (!readFileBytes(path, xml, failure, kMaxSettingsFileSize))
        return false;
    QMap<QString, QString> rows;
    if (!readSettingsRows(xml, rows))
        return false;

    ConnectionSettings loaded = connectionSettingsFromRows(rows);
    if (usesEmbeddedEngine(loaded) && !loaded.hostName.isEmpty() && QDir::isRelativePath(loaded.hostName))
        loaded.hostName = QDir::cleanPath(QFileInfo(path).absoluteDir().filePath(loaded.hostName));
    settings = loaded;
    return true;
}

Result<ConnectionSettings> readSettingsFile(const QString& path)
{
    Result<ConnectionSettings> read{Outcome::success(), {}};
    if (!QFileInfo::exists(path))
        read.outcome = Outcome::failure(QStringLiteral("获取配置文件失败"));
    else if (!loadConnectionSettings(path, read.value))
        read.outcome = Outcome::failure(QStringLiteral("获取配置数据失败"));
    return read;
}

bool readSettingsRows(const QByteArray& xml, QMap<QString, QString>& rows)
{
    if (tooManyElements(xml))
        return false;
    TiXmlDocument document;
    document.Parse(xml.constData(), nullptr, TIXML_ENCODING_LEGACY);
    const TextEncoding encoding = documentEncoding(xml, document);
    if (encoding == TextEncoding::Utf8) {
        // In UTF-8 mode TinyXML steps over a character by the length its lead byte claims
        // and runs past the end of the text on a malformed one: it only ever gets valid
        // UTF-8 (malformed sequences as U+FFFD, which is how they would be read anyway).
        const QByteArray text = QString::fromUtf8(xml).toUtf8();
        document.Clear();
        document.Parse(text.constData(), nullptr, TIXML_ENCODING_UTF8);
    }
    if (document.Error())
        return false;
    const TiXmlElement* dataSet = document.FirstChildElement("NewDataSet");
    if (!dataSet)
        return false;

    for (const TiXmlElement* row = dataSet->FirstChildElement("frmConnect"); row;
         row = row->NextSiblingElement("frmConnect")) {
        const QString name = childText(*row, "ParaName", encoding);
        if (!rows.contains(name))
            rows.insert(name, childText(*row, "ParaValue", encoding));
    }
    return true;
}

QString buildConnectionString(const ConnectionSettings& settings)
{
    const QString provider = settings.provider.isEmpty() ? QStringLiteral("sqloledb") : settings.provider;
    const auto quoted = quoteConnectionStringValue;
    if (usesEmbeddedEngine(settings))
        return QStringLiteral("Provider=%1;Data Source=%2;").arg(quoted(provider), quoted(settings.hostName));
    return QStringLiteral("Provider=%1;Data Source=%2;Initial Catalog=%3;User Id=%4;Password=%5;")
        .arg(quoted(provider), quoted(dataSource(settings)), quoted(settings.dataName), quoted(settings.userName),
             quoted(settings.password));
}

Result<QString> readConnectionString(const QString& path)
{
    const Result<ConnectionSettings> settings = readSettingsFile(path);
    return {settings.outcome, settings ? buildConnectionString(settings.value) : QString()};
}

QString exeDirectory()
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/');
}

} // namespace korvel

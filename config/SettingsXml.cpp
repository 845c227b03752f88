#include "config/SettingsXml.h"

#include "util/TextConversions.h"

#include <tinyxml.h>

#include <cctype>

namespace {

// TinyXML parses and frees nested elements recursively, so a hostile file of deeply
// nested elements would overflow the stack. No settings file comes near this many
// elements; counting every '<' that may open one bounds the depth whatever the markup.
constexpr int kMaxElementOpenings = 4096;

bool MayOpenElement(char next)
{
    const auto c = static_cast<unsigned char>(next);
    return c == '_' || c >= 0x7F || std::isalpha(c);
}

bool TooManyElements(const QByteArray& xml)
{
    int openings = 0;
    for (qsizetype i = 0; i + 1 < xml.size(); ++i) {
        if (xml[i] == '<' && MayOpenElement(xml[i + 1]) && ++openings > kMaxElementOpenings)
            return true;
    }
    return false;
}

enum class TextEncoding { Utf8, Ansi };

// UTF-8 when the document has a byte-order mark or declares UTF-8, or declares nothing and
// its bytes are valid UTF-8; otherwise the ANSI code page. The declaration is taken from
// the document parsed byte by byte, which is safe for any bytes.
TextEncoding DocumentEncoding(const QByteArray& xml, const TiXmlDocument& document)
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

QString ChildText(const TiXmlElement& row, const char* childName, TextEncoding encoding)
{
    const TiXmlElement* child = row.FirstChildElement(childName);
    const char* text = child ? child->GetText() : nullptr;
    if (!text)
        return QString();
    return encoding == TextEncoding::Utf8 ? QString::fromUtf8(text) : AnsiToWide(QByteArray(text));
}

} // namespace

bool ReadSettingsRows(const QByteArray& xml, QMap<QString, QString>& rows)
{
    if (TooManyElements(xml))
        return false;
    TiXmlDocument document;
    document.Parse(xml.constData(), nullptr, TIXML_ENCODING_LEGACY);
    const TextEncoding encoding = DocumentEncoding(xml, document);
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
        const QString name = ChildText(*row, "ParaName", encoding);
        if (!rows.contains(name))
            rows.insert(name, ChildText(*row, "ParaValue", encoding));
    }
    return true;
}

#include "util/TextConversions.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <string_view>
#include <vector>

namespace korvel {

namespace {

constexpr const char* kAnsiCodePage = "GBK";

template <typename Text>
qsizetype lengthBeforeNul(const Text& text)
{
    const qsizetype nul = text.indexOf(typename Text::value_type(0));
    return nul < 0 ? text.size() : nul;
}

int hexDigitValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    return -1;
}

// The rare pair that is not two plain digits goes through strtol itself, so blanks, signs
// and stray characters are read exactly as the C library reads them. Characters outside
// ASCII can never be digits, blanks or signs; '?' stands in for them.
char pairByStrtol(char16_t high, char16_t low)
{
    const char pair[3] = {high < 0x80 ? static_cast<char>(high) : '?',
                          low < 0x80 ? static_cast<char>(low) : '?', '\0'};
    return static_cast<char>(std::strtol(pair, nullptr, 16) & 0xFF);
}

bool isAscii(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

// Appends the text as QString::toCaseFolded folds it. Most list entries are plain ASCII,
// whose folding is A-Z to a-z: that is done here without a string of its own per text.
void appendCaseFolded(QString& folded, const QString& text)
{
    if (!isAscii(text)) {
        folded += text.toCaseFolded();
        return;
    }
    const qsizetype start = folded.size();
    folded.resize(start + text.size());
    std::transform(text.begin(), text.end(), folded.begin() + start, [](QChar c) {
        return c.unicode() >= u'A' && c.unicode() <= u'Z' ? QChar(c.unicode() + (u'a' - u'A')) : c;
    });
}

// ICU's tables under the Windows names are Microsoft's own (its "cp950", for one, lacks the
// euro sign that Windows' code page 950 has).
QStringEncoder codePageEncoder(int codePage)
{
    const QByteArray name = "windows-" + QByteArray::number(codePage);
    return QStringEncoder(name.constData(), QStringConverter::Flag::Stateless);
}

} // namespace

QString ansiToWide(const QByteArray& bytes)
{
    QStringDecoder decoder(kAnsiCodePage, QStringConverter::Flag::Stateless);
    return decoder.decode(QByteArrayView(bytes.constData(), lengthBeforeNul(bytes)));
}

bool wideToAnsi(const QString& text, QByteArray& bytes)
{
    QStringEncoder encoder(kAnsiCodePage, QStringConverter::Flag::Stateless);
    QByteArray encoded = encoder.encode(text);
    if (encoder.hasError())
        return false;
    bytes = std::move(encoded);
    return true;
}

std::optional<qsizetype> codePageLength(const QString& text, int codePage)
{
    // Bulk imports measure nearly every value, and most are plain ASCII.
    if (isAscii(text))
        return text.size();
    if (codePage == 0)
        return QStringView(text).toUtf8().size();
    QStringEncoder encoder = codePageEncoder(codePage);
    const QByteArray bytes = encoder.encode(text);
    if (!encoder.isValid() || encoder.hasError())
        return std::nullopt;
    return bytes.size();
}

QString firstCharacterOutsideCodePage(const QString& text, int codePage)
{
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype units = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
        const QString character = text.mid(i, units);
        if (!codePageLength(character, codePage))
            return character;
        i += units;
    }
    return QString();
}

QByteArray wideToUtf8(const QString& text)
{
    QByteArray bytes = QStringView(text).left(lengthBeforeNul(text)).toUtf8();
    bytes.append('\0');
    return bytes;
}

QString utf8ToWide(const QByteArray& bytes)
{
    return QString::fromUtf8(bytes.constData(), lengthBeforeNul(bytes));
}

QString bytesToHex(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex().toUpper());
}

bool isHexText(const QString& text)
{
    return text.size() % 2 == 0 &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return hexDigitValue(c.unicode()) >= 0; });
}

QByteArray hexToBytes(const QString& hex)
{
    QByteArray bytes(hex.size() / 2, Qt::Uninitialized);
    const char16_t* digits = reinterpret_cast<const char16_t*>(hex.utf16());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char16_t high = digits[2 * i];
        const char16_t low = digits[2 * i + 1];
        const int highValue = hexDigitValue(high);
        const int lowValue = hexDigitValue(low);
        bytes[i] = highValue >= 0 && lowValue >= 0 ? static_cast<char>(highValue << 4 | lowValue)
                                                   : pairByStrtol(high, low);
    }
    return bytes;
}

QList<qsizetype> orderIgnoringCase(const QStringList& texts)
{
    // Folding each text once makes the sort a plain ordinal one. The folded texts stand
    // one after the other in one string, so that a long list costs one allocation, not one
    // per text.
    QString folded;
    folded.reserve(std::accumulate(texts.begin(), texts.end(), qsizetype(0),
                                   [](qsizetype length, const QString& text) { return length + text.size(); }));
    std::vector<qsizetype> ends;
    ends.reserve(texts.size());
    for (const QString& text : texts) {
        appendCaseFolded(folded, text);
        ends.push_back(folded.size());
    }
    // Ordinal order is the order of the UTF-16 code units, which the standard comparison
    // of char16_t views gives without a call per comparison.
    const auto* units = reinterpret_cast<const char16_t*>(folded.constData());
    const auto key = [units, &ends](qsizetype i) {
        const qsizetype start = i == 0 ? 0 : ends[i - 1];
        return std::u16string_view(units + start, static_cast<std::size_t>(ends[i] - start));
    };
    QList<qsizetype> order(texts.size());
    std::iota(order.begin(), order.end(), 0);
    const auto before = [&key](qsizetype a, qsizetype b) { return key(a) < key(b); };
    // Numbers given out in order often come back from the database in order: one pass tells.
    if (!std::is_sorted(order.begin(), order.end(), before))
        std::stable_sort(order.begin(), order.end(), before);
    return order;
}

} // namespace korvel

#include "util/AnsiText.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {

constexpr const char* kAnsiCodePage = "GBK";

} // namespace

QString AnsiToWide(const QByteArray& bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    QStringDecoder decoder(kAnsiCodePage, QStringConverter::Flag::Stateless);
    return decoder.decode(QByteArrayView(bytes.constData(), nul < 0 ? bytes.size() : nul));
}

bool WideToAnsi(const QString& text, QByteArray& bytes)
{
    QStringEncoder encoder(kAnsiCodePage, QStringConverter::Flag::Stateless);
    QByteArray encoded = encoder.encode(text);
    if (encoder.hasError())
        return false;
    bytes = std::move(encoded);
    return true;
}

qsizetype AnsiLength(const QString& text)
{
    QStringEncoder encoder(kAnsiCodePage, QStringConverter::Flag::Stateless);
    const QByteArray bytes = encoder.encode(text);
    return bytes.size();
}

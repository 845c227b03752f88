#include "util/Utf8Text.h"

namespace {

template <typename Text>
qsizetype LengthBeforeNul(const Text& text)
{
    const qsizetype nul = text.indexOf(typename Text::value_type(0));
    return nul < 0 ? text.size() : nul;
}

} // namespace

QByteArray WideToUtf8(const QString& text)
{
    QByteArray bytes = QStringView(text).left(LengthBeforeNul(text)).toUtf8();
    bytes.append('\0');
    return bytes;
}

QString Utf8ToWide(const QByteArray& bytes)
{
    return QString::fromUtf8(bytes.constData(), LengthBeforeNul(bytes));
}

#include "db/client/GuidText.h"

#include <QRegularExpression>

namespace {

QRegularExpressionMatch MatchGuid(const QString& text)
{
    static const QRegularExpression guid(
        QStringLiteral("^\\{?([0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12})\\}?$"));
    return guid.match(text);
}

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case, checked without a pattern: the
// form of nearly every GUID the program handles.
bool IsCanonicalGuidText(const QString& text)
{
    if (text.size() != 38 || text.front() != QLatin1Char('{') || text.back() != QLatin1Char('}'))
        return false;
    for (qsizetype i = 1; i < 37; ++i) {
        const char16_t c = text[i].unicode();
        const bool dash = i == 9 || i == 14 || i == 19 || i == 24;
        if (dash ? c != u'-' : !((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F')))
            return false;
    }
    return true;
}

} // namespace

QString CanonicalGuidText(const QString& text)
{
    if (IsCanonicalGuidText(text))
        return text;
    const QRegularExpressionMatch match = MatchGuid(text);
    return match.hasMatch() ? QLatin1Char('{') + match.captured(1).toUpper() + QLatin1Char('}') : text;
}

bool IsGuidText(const QString& text)
{
    return IsCanonicalGuidText(text) || MatchGuid(text).hasMatch();
}

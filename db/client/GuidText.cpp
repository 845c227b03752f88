#include "db/client/GuidText.h"

#include <QRegularExpression>

namespace {

QRegularExpressionMatch MatchGuid(const QString& text)
{
    static const QRegularExpression guid(
        QStringLiteral("^\\{?([0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12})\\}?$"));
    return guid.match(text);
}

} // namespace

QString CanonicalGuidText(const QString& text)
{
    const QRegularExpressionMatch match = MatchGuid(text);
    return match.hasMatch() ? QLatin1Char('{') + match.captured(1).toUpper() + QLatin1Char('}') : text;
}

bool IsGuidText(const QString& text)
{
    return MatchGuid(text).hasMatch();
}

#include "attributes/LeadingInteger.h"

#include <limits>

namespace korvel {

int leadingInteger(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        negative = text[i++] == QLatin1Char('-');
    qint64 magnitude = 0;
    const qint64 limit = negative ? -qint64(std::numeric_limits<int>::min()) : std::numeric_limits<int>::max();
    for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i)
        magnitude = qMin(limit, magnitude * 10 + (text[i].unicode() - u'0'));
    return static_cast<int>(negative ? -magnitude : magnitude);
}

} // namespace korvel

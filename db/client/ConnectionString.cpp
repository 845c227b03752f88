#include "db/client/ConnectionString.h"

namespace korvel {

namespace {

bool needsQuotes(const QString& value)
{
    if (value.isEmpty())
        return false;
    return value.contains(QLatin1Char(';')) || value.contains(QLatin1Char('"')) ||
           value.contains(QLatin1Char('\'')) || value.front().isSpace() || value.back().isSpace();
}

} // namespace

QString quoteConnectionStringValue(const QString& value)
{
    if (!needsQuotes(value))
        return value;
    if (!value.contains(QLatin1Char('"')))
        return QLatin1Char('"') + value + QLatin1Char('"');
    if (!value.contains(QLatin1Char('\'')))
        return QLatin1Char('\'') + value + QLatin1Char('\'');
    QString doubled = value;
    doubled.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}

bool parseConnectionString(const QString& text, QMap<QString, QString>& attributes)
{
    QMap<QString, QString> parsed;
    qsizetype pos = 0;
    const qsizetype end = text.size();
    while (pos < end) {
        const qsizetype equals = text.indexOf(QLatin1Char('='), pos);
        const qsizetype semicolon = text.indexOf(QLatin1Char(';'), pos);
        if (equals < 0 || (semicolon >= 0 && semicolon < equals)) {
            // A piece without '=' carries no attribute (an empty piece between ';;' included).
            if (!text.mid(pos, semicolon < 0 ? end - pos : semicolon - pos).trimmed().isEmpty())
                return false;
            pos = semicolon < 0 ? end : semicolon + 1;
            continue;
        }
        const QString keyword = text.mid(pos, equals - pos).trimmed().toLower();
        pos = equals + 1;
        while (pos < end && text[pos].isSpace())
            ++pos;
        QString value;
        if (pos < end && (text[pos] == QLatin1Char('"') || text[pos] == QLatin1Char('\''))) {
            const QChar quote = text[pos++];
            bool closed = false;
            while (pos < end) {
                if (text[pos] == quote) {
                    if (pos + 1 < end && text[pos + 1] == quote) {
                        value += quote;
                        pos += 2;
                        continue;
                    }
                    ++pos;
                    closed = true;
                    break;
                }
                value += text[pos++];
            }
            while (pos < end && text[pos].isSpace())
                ++pos;
            if (!closed || (pos < end && text[pos] != QLatin1Char(';')))
                return false;
            ++pos;
        } else {
            const qsizetype valueEnd = semicolon < 0 ? end : semicolon;
            value = text.mid(pos, valueEnd - pos).trimmed();
            pos = valueEnd + 1;
        }
        parsed.insert(keyword, value);
    }
    attributes = parsed;
    return true;
}

} // namespace korvel

#include "app/korvelctl/DisplayEscape.h"

QString EscapeForDisplay(const QString& value)
{
    QString escaped;
    escaped.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
        case u'\\': escaped += QLatin1String("\\\\"); break;
        case u'\t': escaped += QLatin1String("\\t"); break;
        case u'\r': escaped += QLatin1String("\\r"); break;
        case u'\n': escaped += QLatin1String("\\n"); break;
        default: escaped += c;
        }
    }
    return escaped;
}

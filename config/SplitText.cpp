#include "config/SplitText.h"

QStringList SplitText(const QString& text, QChar separator)
{
    return text.split(separator, Qt::KeepEmptyParts, Qt::CaseSensitive);
}

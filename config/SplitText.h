#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

// The pieces between the separators, empty ones included: k separators give k + 1
// pieces, an empty text one empty piece.
QStringList SplitText(const QString& text, QChar separator);

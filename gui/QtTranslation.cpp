#include "gui/QtTranslation.h"

#include <QCoreApplication>

namespace korvel {

bool installQtChineseTranslation(QTranslator& translator, const QString& directory)
{
    return translator.load(QStringLiteral("qtbase_zh_CN"), directory) &&
           QCoreApplication::installTranslator(&translator);
}

} // namespace korvel

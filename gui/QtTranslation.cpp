#include "gui/QtTranslation.h"

#include <QCoreApplication>

bool installQtChineseTranslation(QTranslator& translator, const QString& directory)
{
    return translator.load(QStringLiteral("qtbase_zh_CN"), directory) &&
           QCoreApplication::installTranslator(&translator);
}

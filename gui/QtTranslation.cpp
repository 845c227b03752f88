#include "gui/QtTranslation.h"

#include <QCoreApplication>

bool InstallQtChineseTranslation(QTranslator& translator, const QString& directory)
{
    return translator.load(QStringLiteral("qtbase_zh_CN"), directory) &&
           QCoreApplication::installTranslator(&translator);
}

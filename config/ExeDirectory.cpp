#include "config/ExeDirectory.h"

#include <QCoreApplication>

QString GetExeDirectory()
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/');
}

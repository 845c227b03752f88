#include "gui/QtTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>

QtChineseTranslation::QtChineseTranslation()
    : QtChineseTranslation(QLibraryInfo::path(QLibraryInfo::TranslationsPath))
{
}

QtChineseTranslation::QtChineseTranslation(const QString& directory)
    : m_installed(m_translator.load(QStringLiteral("qtbase_zh_CN"), directory) &&
                  QCoreApplication::installTranslator(&m_translator))
{
}

QtChineseTranslation::~QtChineseTranslation()
{
    if (m_installed)
        QCoreApplication::removeTranslator(&m_translator);
}

#pragma once

#include <QLibraryInfo>
#include <QLocale>
#include <QString>
#include <QTranslator>

#include <memory>

namespace korvel {

// Qt's own words on screen (the buttons of the message boxes and file dialogs, the file
// dialogs' texts and their overwrite question, the edit boxes' context menu) in Chinese, as
// the program's own texts are, whatever the system's language, for as long as it lives: it
// loads the translation that the distribution ships for Qt and installs it in the
// application, and makes Chinese the program's locale, in which the file dialogs write file
// types, sizes and dates. Without the translation file Qt speaks English, in the system's
// locale, and the program goes on: it is no fault of the user's, so nothing is said.
class QtInChinese
{
public:
    explicit QtInChinese(const QString& directory = QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    ~QtInChinese();
    QtInChinese(const QtInChinese&) = delete;
    QtInChinese& operator=(const QtInChinese&) = delete;

    // Whether the translation was found and installed.
    bool installed() const { return m_installed; }

private:
    QTranslator m_qtTexts;
    std::unique_ptr<QTranslator> m_movedTexts;
    QLocale m_previousLocale;
    bool m_installed;
};

} // namespace korvel

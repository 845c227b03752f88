#pragma once

#include <QLibraryInfo>
#include <QString>
#include <QTranslator>

namespace korvel {

// Qt's own words on screen (the buttons of the message boxes and file dialogs, the file
// dialogs' texts and their overwrite question, the edit boxes' context menu) in Chinese,
// as the program's own texts are, whatever the system's language: loads the translation
// that the distribution ships for Qt into the translator and installs it in the
// application, where it stays until the translator is destroyed. Without that file Qt
// speaks English and the program goes on: it is no fault of the user's, so nothing is said.
// Whether it was installed.
bool installQtChineseTranslation(QTranslator& translator,
                                 const QString& directory = QLibraryInfo::path(QLibraryInfo::TranslationsPath));

} // namespace korvel

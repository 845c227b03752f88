#pragma once

#include <QString>
#include <QTranslator>

// Qt's own words on screen (the buttons of the message boxes and file dialogs, the file
// dialogs' texts and their overwrite question, the edit boxes' context menu) in Chinese,
// as the program's own texts are, whatever the system's language: the translation that
// the distribution ships for Qt, installed in the application for the object's life.
// Without that file Qt speaks English and the program goes on: it is no fault of the
// user's, so nothing is said.
class QtChineseTranslation
{
public:
    // From the folder where Qt's translations are installed.
    QtChineseTranslation();
    explicit QtChineseTranslation(const QString& directory);
    ~QtChineseTranslation();
    QtChineseTranslation(const QtChineseTranslation&) = delete;
    QtChineseTranslation& operator=(const QtChineseTranslation&) = delete;

    bool IsInstalled() const { return m_installed; }

private:
    QTranslator m_translator;
    bool m_installed;
};

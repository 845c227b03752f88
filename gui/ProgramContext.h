#pragma once

#include "util/MessageSink.h"

#include <QString>

class QWidget;

namespace korvel {

// What the dialogs need from outside, behind interfaces that tests replace: where the
// configuration files lie, where messages go, the file dialogs.

// The file dialogs of the program. Filters are written as the program's texts have them:
// "标签文件(*.bq)|*.bq|".
class FileDialogs
{
public:
    virtual ~FileDialogs() = default;

    // The chosen path, or "" when the user cancelled. Choosing an existing file asks first.
    virtual QString getSaveFileName(QWidget* parent, const QString& filter, const QString& defaultSuffix) = 0;
    virtual QString getOpenFileName(QWidget* parent, const QString& filter, const QString& defaultSuffix) = 0;
};

// Qt's file dialogs, each filter as Qt writes it ("标签文件(*.bq)").
class QtFileDialogs : public FileDialogs
{
public:
    QString getSaveFileName(QWidget* parent, const QString& filter, const QString& defaultSuffix) override;
    QString getOpenFileName(QWidget* parent, const QString& filter, const QString& defaultSuffix) override;
};

// The program's message boxes: the application's name as caption, an OK button only, the
// warning icon, or the information icon for the success messages. Each waits for the user.
class QtMessageSink : public MessageSink
{
public:
    explicit QtMessageSink(QWidget* parent = nullptr) : m_parent(parent) {}

    void showWarning(const QString& text) override;
    void showInformation(const QString& text) override;

private:
    QWidget* m_parent;
};

// Where the configuration files lie (the executable's directory, with its trailing '/'),
// where messages go, and the file dialogs. The sink and the dialogs are the caller's and
// must outlive every dialog given the context.
class ProgramContext
{
public:
    ProgramContext(QString configDirectory, MessageSink& messages, FileDialogs& fileDialogs)
        : m_configDirectory(std::move(configDirectory)), m_messages(&messages), m_fileDialogs(&fileDialogs)
    {
    }

    const QString& configDirectory() const { return m_configDirectory; }
    MessageSink& messages() const { return *m_messages; }
    FileDialogs& fileDialogs() const { return *m_fileDialogs; }

private:
    QString m_configDirectory;
    MessageSink* m_messages;
    FileDialogs* m_fileDialogs;
};

} // namespace korvel

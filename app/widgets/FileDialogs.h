#pragma once

#include <QString>

class QWidget;

// The file dialogs of the program, behind an interface that tests answer themselves.
// Filters are written as the program's texts have them: "标签文件(*.bq)|*.bq|".
class FileDialogs
{
public:
    virtual ~FileDialogs() = default;

    // The chosen path, or "" when the user cancelled. Choosing an existing file asks first.
    virtual QString GetSaveFileName(QWidget* parent, const QString& filter, const QString& defaultSuffix) = 0;
    virtual QString GetOpenFileName(QWidget* parent, const QString& filter, const QString& defaultSuffix) = 0;
};

class QtFileDialogs : public FileDialogs
{
public:
    QString GetSaveFileName(QWidget* parent, const QString& filter, const QString& defaultSuffix) override;
    QString GetOpenFileName(QWidget* parent, const QString& filter, const QString& defaultSuffix) override;
};

// "标签文件(*.bq)|*.bq|" as Qt writes filters: "标签文件(*.bq)".
QString QtNameFilters(const QString& filter);

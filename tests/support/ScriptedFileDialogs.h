#pragma once

#include "gui/ProgramContext.h"

#include <QStringList>

namespace korvel {

// Answers each file dialog with the next scripted path ("" is a cancelled dialog) and
// remembers what was asked.
class ScriptedFileDialogs : public FileDialogs
{
public:
    QString getSaveFileName(QWidget*, const QString& filter, const QString& defaultSuffix) override
    {
        return answer(QStringLiteral("save"), filter, defaultSuffix);
    }
    QString getOpenFileName(QWidget*, const QString& filter, const QString& defaultSuffix) override
    {
        return answer(QStringLiteral("open"), filter, defaultSuffix);
    }

    QStringList answers;
    QStringList asked; // "save|标签文件(*.bq)|*.bq||bq"

private:
    QString answer(const QString& kind, const QString& filter, const QString& defaultSuffix)
    {
        asked.append(kind + QLatin1Char('|') + filter + QLatin1Char('|') + defaultSuffix);
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
};

} // namespace korvel

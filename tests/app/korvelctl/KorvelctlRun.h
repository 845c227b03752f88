#pragma once

#include <QString>
#include <QStringList>

// What one in-process korvelctl run printed and returned.
struct KorvelctlRun
{
    int exitCode;
    QString out;
    QString err;
};

KorvelctlRun RunKorvelctlInProcess(const QStringList& arguments);

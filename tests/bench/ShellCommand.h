#pragma once

#include <QString>
#include <QStringList>

// Runs a reference program (the sqlite3 shell) to its end, its output thrown away and its
// input, when given, read from a file. Aborts the benchmark run when it fails.
void RunReferenceProgram(const QString& program, const QStringList& arguments, const QString& inputFile = QString());

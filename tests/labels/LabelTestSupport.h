#pragma once

#include "db/Database.h"
#include "labels/LabelBundle.h"
#include "labels/LabelImport.h"
#include "tests/support/FaultInjectingClient.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace korvel {

// The three label tables cut down to the columns that export and import name, for bundles
// written by hand and files compared byte by byte.
extern const char* const kCompactLabelSchema;

// Answers the duplicate-label question from the script (nothing: the user gives up) and
// remembers what it was asked and on which connection.
class ScriptedResolver : public DuplicateLabelResolver
{
public:
    explicit ScriptedResolver(std::optional<QString> answer = std::nullopt) : answer(std::move(answer)) {}
    bool resolveDuplicateLabelNo(Database& database, const QString& oldValue, QString& newValue) override;

    std::optional<QString> answer;
    QStringList asked;
    Database* database = nullptr;
    std::function<void()> whileAsked; // what another user does while this one types
};

// Every row of the label tables and of sqlite_sequence, read through plain SQLite: what
// "the database is as it was" is judged by.
QStringList labelTableContents(const QString& databasePath);

// The bytes of a bundle file of a text written by hand, as every writer of the format
// makes them: UTF-8, one NUL, enciphered.
QByteArray bundleBytes(const QString& text);
void writeBundleFile(const QString& path, const QString& text);

// The blocks of a bundle file as the import takes them apart.
QList<BundleBlock> bundleOf(const QString& path);

// What the imports failing at each database call said: one message each, the connection's
// own error first, then each ending in "，未导入任何数据", the last at the commit. A run that
// went through is passed over: a failed existence check counts as a free number.
void expectImportFailuresSayNothingWasImported(const QList<FaultedRun>& runs);

} // namespace korvel

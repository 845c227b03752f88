#pragma once

#include "db/Database.h"
#include "labels/LabelBundle.h"

#include <QString>

#include <functional>

namespace korvel {

// Asked when the label number of an imported row already exists in the target, before the
// import's transaction begins: nothing is locked while the user types.
class DuplicateLabelResolver
{
public:
    virtual ~DuplicateLabelResolver() = default;
    // The database is the import's open connection (rowExists must run on it). True with a
    // number that did not exist when the user confirmed it; false when the user gave up.
    virtual bool resolveDuplicateLabelNo(Database& database, const QString& oldValue, QString& newValue) = 0;
};

// Told as an import goes, table by table: the rows of the table that went in so far, of
// how many. From the thread the import runs on.
using ImportProgress = std::function<void(const QString& table, qsizetype rowsDone, qsizetype rows)>;

// Reads a label bundle file into the database: every LabelID and ItemID replaced by a new
// GUID, consistently across the three tables, and a label number that exists already
// replaced by the one the resolver gives. Only a whole bundle (readCheckedBundle) that
// holds a label is imported. All or nothing: the rows go in within one transaction, and
// any failure, or the user giving up, leaves the database exactly as it was. A number that
// another user took while this one was asked is refused ("X已经存在"). A failure once the
// file has been read says its reason followed by "，未导入任何数据"; the user giving up is a
// failure with no message (the resolver has said what it had to).
Outcome importLabel(const QString& connectionString, const QString& path, DuplicateLabelResolver& resolver,
                    const ImportProgress& progress = {});

// New GUIDs from the server (newGuidTexts) for an import, or for a batch of them: a draw for
// one import also draws for those expected after it, as many again for each, so that a
// batch pays one round trip for many imports.
class GuidSupply
{
public:
    // The imports expected after the one that draws next; none at first.
    void setImportsAfter(qsizetype imports);
    // `count` GUIDs, drawn where too few are left. False with a message when they cannot be
    // had.
    [[nodiscard]] bool take(Database& database, qsizetype count, QStringList& guids, QString& error);

private:
    QStringList m_spare;
    qsizetype m_importsAfter = 0;
};

// Whose transaction an import's rows go in: one of its own, committed when every block
// went in and rolled back on any failure; or the caller's, for a trial (korvelctl check)
// that keeps or takes back what went in.
enum class ImportTransaction { Own, Callers };

// The same through an open database: for many files in a row, each in its own transaction,
// their GUIDs from one supply (without one, from a supply of the import's own).
Outcome importBundleFile(Database& database, const QString& path, DuplicateLabelResolver& resolver,
                         ImportTransaction transaction, const ImportProgress& progress = {},
                         GuidSupply* supply = nullptr);

// The same for a bundle already read; its blocks come back with the identifiers and numbers
// the import gave them.
Outcome importBundle(Database& database, CheckedBundle& bundle, DuplicateLabelResolver& resolver,
                     ImportTransaction transaction, const ImportProgress& progress = {}, GuidSupply* supply = nullptr);

// Whether at least one row of the table holds the value in the column, the value written
// as the literal of the column's type; a text matches as SQL Server's default collation
// compares texts (ignoring case and blanks at the end). A query that fails counts as no
// row and shows nothing.
[[nodiscard]] bool rowExists(Database& database, const QString& tableName, const QString& value,
                             const QString& columnName);

// A new GUID from the server ("select NEWID()"), without braces: 36 characters. False
// with a message when the query fails or gives no GUID.
[[nodiscard]] bool newGuidText(Database& database, QString& guid, QString& error);

// `count` new GUIDs from the server, as newGuidText gives one, drawn in one statement where
// the engine has a form for it (else one statement each), all different. False with a
// message when they cannot be had.
[[nodiscard]] bool newGuidTexts(Database& database, qsizetype count, QStringList& guids, QString& error);

// The database's text of a failure (lastError()) followed by what failed, a full-width comma
// between them unless the text ends with "。"; what failed alone when the database had no
// text.
QString failureText(const QString& databaseText, const QString& what);

} // namespace korvel

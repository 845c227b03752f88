#pragma once

#include <QString>

// SQLite has LIMIT where T-SQL has TOP: "select top N rest" becomes "select rest limit N".
// Other statements stand as they are.
QString RewriteTopClause(const QString& sql);

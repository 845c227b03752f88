#pragma once

#include <QString>
#include <QStringList>

class CAdoDatabase;
class MessageSink;

// Appends the block of one table to the lines of a bundle: its name, the names of all its
// columns in the order of the server's column catalogue, and the rows of the selection
// (a "select *" of the table). Reads through the open database. On failure it has shown
// the database's error or what the bundle cannot carry, and appended nothing.
[[nodiscard]] bool ExportTable(CAdoDatabase& database, const QString& tableName, const QString& selection,
                               QStringList* lines, MessageSink& messages);

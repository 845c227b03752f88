#pragma once

#include <QString>

class DuplicateLabelResolver;
class MessageSink;

// Reads a label bundle file into the database: every LabelID and ItemID replaced by a new
// GUID, consistently across the three tables, and a label number that exists already
// replaced by the one the resolver gives. Only a whole bundle (ReadCheckedBundle) that
// holds a label is imported. All or nothing: the rows go in within one transaction, and
// any failure, or the user giving up, leaves the database exactly as it was. Shows "导入成功" (information) on success; a
// failure once the file has been read shows its reason followed by "，未导入任何数据";
// giving up shows nothing more.
bool ImportLabel(const QString& connectionString, const QString& path, DuplicateLabelResolver& resolver,
                 MessageSink& messages);

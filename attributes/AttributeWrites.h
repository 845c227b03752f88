#pragma once

#include "attributes/Cascades.h"
#include "config/ValueLists.h"
#include "util/Outcome.h"

#include <QString>

namespace korvel {

class Database;

// How a value or a key stands in a write's statement. A whole-number value is the integer
// its text starts with, as the window shows it; a whole-number key (a step's LineID)
// stands as it is when it is a number and goes quoted otherwise, for the server to refuse.
// Text goes as the dialect's text literal.
enum class ValueKind { WholeNumber, Text };

// One of the four attribute writes: the value list its value is chosen from, the column
// it writes, and the keys of the row: the child (a wire, a step) of the record (a harness,
// a job) that the cascade found. Texts are the window's: the one for a missing choice,
// and the one that follows the reason a write failed.
struct AttributeWrite
{
    ValueListIndex valueList;
    const Cascade* cascade;
    const char* table;
    const char* column;
    ValueKind value;
    const char* childKey;
    ValueKind childKind;
    const char* recordKey;
    const char* missingChoice;
    const char* failure;
};

extern const AttributeWrite kConnectionTypeWrite;
extern const AttributeWrite kTestGroupWrite;
extern const AttributeWrite kTestModeWrite;
extern const AttributeWrite kTestGroup2Write;

// What a write needs chosen before it goes to the database: a record, a child and an
// entry of the value list. Without all three, the write's missing-choice text.
Outcome requireChoices(const AttributeWrite& write, bool recordChosen, const QString& child, const QString& entry);

// The value behind an entry of the write's value list, looked up as the window looks it
// up; an entry the list lacks fails with the list and the entry named.
Result<QString> entryValue(const AttributeWrite& write, const ValueLists& lists, const QString& entry);

// Writes the value to the child of the record with the id, in one UPDATE. Fails with the
// database's error followed by the write's failure text, or, when no row changed (the
// child is gone, or is not the record's), with "没有找到要写入的记录，" and that text.
Outcome writeAttribute(Database& database, const AttributeWrite& write, const QString& recordId,
                       const QString& child, const QString& value);

// The same in a transaction of its own, committed only once the write went through: a write
// whose connection went while it waited (cut once the user cancelled) is taken back by the
// server, even by one that runs the statement after the connection is gone. Fails as the
// write does, with the database's error and the write's failure text when the transaction
// cannot begin or commit.
Outcome writeAttributeAlone(Database& database, const AttributeWrite& write, const QString& recordId,
                            const QString& child, const QString& value);

} // namespace korvel

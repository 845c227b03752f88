#pragma once

#include "util/Outcome.h"

#include <QString>
#include <QStringList>

namespace korvel {

class Database;

// How a record chosen by its number (a harness, a job) is found, and its children (the
// harness's wires, the job's steps): the record's id first, then the children of that id.
// Each statement has %1 for a text literal; each failure text follows the database's
// error.
struct Cascade
{
    const char* idQuery;
    const char* idFailure;
    const char* childQuery;
    const char* childFailure;
};

extern const Cascade kWiresOfHarness;
extern const Cascade kStepsOfJob;

// The id of the record with the number; of several, the first the database gives. A
// number no record has fails with the id failure text alone.
Result<QString> recordId(Database& database, const Cascade& cascade, const QString& number);

struct Children
{
    QString recordId;
    QStringList numbers; // in the order the window lists them
};

// The children of the record with the number; none is no failure.
Result<Children> childrenOf(Database& database, const Cascade& cascade, const QString& number);

} // namespace korvel

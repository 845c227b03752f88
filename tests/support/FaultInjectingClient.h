#pragma once

#include "db/client/DbClient.h"

#include <QStringList>

#include <memory>

// What a fault-injecting client does: counts every call that reaches the database (open,
// execute, open a cursor, fetch a value or the next row, long binary write, begin, commit,
// rollback), fails the call whose number is failAt (0: none), and logs each statement as
// the server receives it.
struct FaultPlan
{
    int failAt = 0;
    int calls = 0;
    QStringList statements;
};

// A client over the embedded engine that fails when its plan says so. Register it with
// RegisterFaultInjectingProvider; connection strings then name "Provider=faulty".
void RegisterFaultInjectingProvider(FaultPlan& plan);

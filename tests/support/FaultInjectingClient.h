#pragma once

#include "db/client/DbClient.h"

#include <QStringList>

#include <functional>
#include <memory>

// What a fault-injecting client does: counts every call that reaches the database (open,
// execute, open a cursor, fetch a value or the next row, long binary write, begin, commit,
// rollback), fails the call whose number is failAt (0: none), logs each statement as the
// server receives it, and calls afterStatement (when set) once the server has run one, so
// that a test can let another connection act at that very point.
struct FaultPlan
{
    int failAt = 0;
    int calls = 0;
    QStringList statements;
    std::function<void(const QString& statement)> afterStatement;

    static FaultPlan FailingAt(int call)
    {
        FaultPlan plan;
        plan.failAt = call;
        return plan;
    }
};

// A client that fails when its plan says so, over the client of another provider: the
// embedded engine unless told otherwise ("MSDASQL" for an ODBC data source). Register it
// with RegisterFaultInjectingProvider; connection strings then name "Provider=faulty" and
// otherwise what the wrapped client reads.
void RegisterFaultInjectingProvider(FaultPlan& plan, const QString& wrappedProvider = QStringLiteral("sqlite"));

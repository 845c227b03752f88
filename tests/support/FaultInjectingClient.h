#pragma once

#include "db/client/DbClient.h"
#include "tests/support/RecordingMessageSink.h"

#include <QList>
#include <QStringList>

#include <chrono>
#include <functional>
#include <memory>

namespace korvel {

// What a fault-injecting client does: counts every call that reaches the database (open,
// execute, open a cursor, fetch a value or the next row, long binary write, begin, commit,
// rollback), fails the call whose number is failAt (0: none), and from the call whose
// number is lostFrom on (0: none) fails every call as a lost connection does; logs each
// statement as the server receives it, and calls afterStatement (when set) once the server
// has run one, so that a test can let another connection act at that very point. afterOpen
// (when set) gets the wrapped client once it is connected, to set the session up as a
// server may. With a statementDelay each statement waits that long before it runs, as on a
// slow server; a cancel ends the wait and fails the call, as a driver's cancel does.
struct FaultPlan
{
    int failAt = 0;
    int lostFrom = 0;
    int calls = 0;
    std::chrono::milliseconds statementDelay{0};
    QStringList statements;
    std::function<void(const QString& statement)> afterStatement;
    std::function<void(DbClient& client)> afterOpen;

    static FaultPlan failingAt(int call)
    {
        FaultPlan plan;
        plan.failAt = call;
        return plan;
    }
};

// A client that fails when its plan says so, over the client of another provider: the
// embedded engine unless told otherwise ("MSDASQL" for an ODBC data source). Register it
// with registerFaultInjectingProvider; connection strings then name "Provider=faulty" and
// otherwise what the wrapped client reads.
void registerFaultInjectingProvider(FaultPlan& plan, const QString& wrappedProvider = QStringLiteral("sqlite"));

// One run of an operation with the failure injected at its call failAt.
struct FaultedRun
{
    int failAt = 0;
    bool succeeded = false;
    RecordingMessageSink messages;
};

// Runs the operation once without a fault, which must succeed, then once failing at each
// call that run made (plan being the one the faulty provider was registered with). Gives
// the faulted runs, none when the run without a fault failed. What a failed run left
// behind is the operation's to check before it returns (plan.failAt names the call).
QList<FaultedRun> runFailingAtEveryCall(FaultPlan& plan, const std::function<bool(MessageSink&)>& operation);

} // namespace korvel

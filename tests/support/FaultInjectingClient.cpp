#include "tests/support/FaultInjectingClient.h"

#include "db/CAdoDatabase.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

namespace korvel {

namespace {

class Faults
{
public:
    explicit Faults(FaultPlan& plan) : m_plan(plan) {}

    // True when this call is the one to fail; the error says which call it was.
    bool strike(DbError& error)
    {
        ++m_plan.calls;
        if (m_plan.lostFrom > 0 && m_plan.calls >= m_plan.lostFrom) {
            error = DbError::DriverFailure(QStringLiteral("injected lost connection"));
            error.connectionLost = true;
            return true;
        }
        if (m_plan.calls != m_plan.failAt)
            return false;
        error = DbError::DriverFailure(QStringLiteral("injected failure at call %1").arg(m_plan.calls));
        return true;
    }
    void log(const QString& statement) { m_plan.statements.append(statement); }
    std::chrono::milliseconds statementDelay() const { return m_plan.statementDelay; }
    bool opened(DbClient& client, bool result)
    {
        if (result && m_plan.afterOpen)
            m_plan.afterOpen(client);
        return result;
    }
    // Passes a call's result on, after the hook when the server has run the statement.
    template <typename Result>
    Result ran(const QString& statement, Result result)
    {
        if (result && m_plan.afterStatement)
            m_plan.afterStatement(statement);
        return result;
    }

private:
    FaultPlan& m_plan;
};

class FaultInjectingCursor : public DbCursor
{
public:
    FaultInjectingCursor(std::unique_ptr<DbCursor> cursor, Faults faults)
        : m_cursor(std::move(cursor)), m_faults(faults)
    {
    }

    int FieldCount() const override { return m_cursor->FieldCount(); }
    QString FieldName(int field) const override { return m_cursor->FieldName(field); }
    ColumnType FieldColumnType(int field) const override { return m_cursor->FieldColumnType(field); }
    bool AtEnd() const override { return m_cursor->AtEnd(); }
    bool ReadValue(int field, DbValue& value, DbError& error) override
    {
        return !m_faults.strike(error) && m_cursor->ReadValue(field, value, error);
    }
    bool MoveNext(DbError& error) override { return !m_faults.strike(error) && m_cursor->MoveNext(error); }

private:
    std::unique_ptr<DbCursor> m_cursor;
    Faults m_faults;
};

// The wait of a statement on a slow server, which a cancel from another thread ends.
class SlowServer
{
public:
    // False with the driver's error when cancelled.
    bool wait(std::chrono::milliseconds delay, DbError& error)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!m_woken.wait_for(lock, delay, [this] { return m_cancelled; }))
            return true;
        error = DbError::DriverFailure(QStringLiteral("statement cancelled"));
        return false;
    }
    void cancel()
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_cancelled = true;
        }
        m_woken.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_woken;
    bool m_cancelled = false;
};

class FaultInjectingClient : public DbClient
{
public:
    FaultInjectingClient(FaultPlan& plan, std::unique_ptr<DbClient> client)
        : m_faults(plan), m_client(std::move(client))
    {
    }

    bool Open(const QString& connectionString, DbError& error) override
    {
        return m_faults.opened(*m_client, !m_faults.strike(error) && m_client->Open(connectionString, error));
    }
    bool IsOpen() const override { return m_client->IsOpen(); }
    bool Close(DbError& error) override { return m_client->Close(error); }
    bool Execute(const QString& sql, qint64& rowsChanged, DbError& error) override
    {
        m_faults.log(sql);
        return m_faults.ran(sql, slowly(error) && !m_faults.strike(error) && m_client->Execute(sql, rowsChanged, error));
    }
    std::unique_ptr<DbCursor> OpenCursor(const QString& sql, DbError& error) override
    {
        m_faults.log(sql);
        if (!slowly(error) || m_faults.strike(error))
            return nullptr;
        std::unique_ptr<DbCursor> cursor = m_faults.ran(sql, m_client->OpenCursor(sql, error));
        return cursor ? std::make_unique<FaultInjectingCursor>(std::move(cursor), m_faults) : nullptr;
    }
    bool ExecuteWithBinary(const QString& sql, const QByteArray& bytes, qint64& rowsChanged, DbError& error) override
    {
        m_faults.log(sql);
        return m_faults.ran(sql, slowly(error) && !m_faults.strike(error) &&
                                     m_client->ExecuteWithBinary(sql, bytes, rowsChanged, error));
    }
    bool BeginTransaction(DbError& error) override
    {
        return !m_faults.strike(error) && m_client->BeginTransaction(error);
    }
    bool CommitTransaction(DbError& error) override
    {
        return !m_faults.strike(error) && m_client->CommitTransaction(error);
    }
    bool RollbackTransaction(DbError& error) override
    {
        return !m_faults.strike(error) && m_client->RollbackTransaction(error);
    }
    void Cancel() override
    {
        m_slowServer.cancel();
        m_client->Cancel();
    }
    const SqlDialect& Dialect() const override { return m_client->Dialect(); }

private:
    bool slowly(DbError& error) { return m_slowServer.wait(m_faults.statementDelay(), error); }

    Faults m_faults;
    std::unique_ptr<DbClient> m_client;
    SlowServer m_slowServer;
};

} // namespace

void RegisterFaultInjectingProvider(FaultPlan& plan, const QString& wrappedProvider)
{
    RegisterDbProvider(QStringLiteral("faulty"), [&plan, wrappedProvider] {
        DbError unknownProvider;
        std::unique_ptr<DbClient> client =
            CreateDbClient(QStringLiteral("Provider=%1;").arg(wrappedProvider), unknownProvider);
        return client ? std::make_unique<FaultInjectingClient>(plan, std::move(client)) : nullptr;
    });
}

QList<FaultedRun> RunFailingAtEveryCall(FaultPlan& plan, const std::function<bool(MessageSink&)>& operation)
{
    plan = FaultPlan();
    RecordingMessageSink unfaulted;
    if (!operation(unfaulted)) {
        ADD_FAILURE() << "without a fault: " << unfaulted.warnings.join(QLatin1Char('\n')).toStdString();
        return {};
    }
    const int calls = plan.calls;
    QList<FaultedRun> runs;
    for (int failAt = 1; failAt <= calls; ++failAt) {
        plan = FaultPlan::FailingAt(failAt);
        FaultedRun run;
        run.failAt = failAt;
        run.succeeded = operation(run.messages);
        runs.append(run);
    }
    plan = FaultPlan();
    return runs;
}

} // namespace korvel

#include "tests/support/FaultInjectingClient.h"

#include "db/Database.h"

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
            error = DbError::driverFailure(QStringLiteral("injected lost connection"));
            error.connectionLost = true;
            return true;
        }
        if (m_plan.calls != m_plan.failAt)
            return false;
        error = DbError::driverFailure(QStringLiteral("injected failure at call %1").arg(m_plan.calls));
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
    template<typename Result>
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

    int fieldCount() const override { return m_cursor->fieldCount(); }
    QString fieldName(int field) const override { return m_cursor->fieldName(field); }
    ColumnType fieldColumnType(int field) const override { return m_cursor->fieldColumnType(field); }
    bool atEnd() const override { return m_cursor->atEnd(); }
    bool readValue(int field, DbValue& value, DbError& error) override
    {
        return !m_faults.strike(error) && m_cursor->readValue(field, value, error);
    }
    bool moveNext(DbError& error) override { return !m_faults.strike(error) && m_cursor->moveNext(error); }
    std::unique_ptr<DbCursor> takeNextResult() override
    {
        std::unique_ptr<DbCursor> next = m_cursor->takeNextResult();
        return next ? std::make_unique<FaultInjectingCursor>(std::move(next), m_faults) : nullptr;
    }

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
        error = DbError::driverFailure(QStringLiteral("statement cancelled"));
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

    bool open(const QString& connectionString, DbError& error) override
    {
        return m_faults.opened(*m_client, !m_faults.strike(error) && m_client->open(connectionString, error));
    }
    bool isOpen() const override { return m_client->isOpen(); }
    bool close(DbError& error) override { return m_client->close(error); }
    bool execute(const QString& sql, qint64& rowsChanged, DbError& error) override
    {
        m_faults.log(sql);
        return m_faults.ran(sql,
                            slowly(error) && !m_faults.strike(error) && m_client->execute(sql, rowsChanged, error));
    }
    std::unique_ptr<DbCursor> openCursor(const QString& sql, DbError& error) override
    {
        m_faults.log(sql);
        if (!slowly(error) || m_faults.strike(error))
            return nullptr;
        std::unique_ptr<DbCursor> cursor = m_faults.ran(sql, m_client->openCursor(sql, error));
        return cursor ? std::make_unique<FaultInjectingCursor>(std::move(cursor), m_faults) : nullptr;
    }
    bool executeWithBinary(const QString& sql, const QByteArray& bytes, qint64& rowsChanged, DbError& error) override
    {
        m_faults.log(sql);
        return m_faults.ran(sql, slowly(error) && !m_faults.strike(error) &&
                                     m_client->executeWithBinary(sql, bytes, rowsChanged, error));
    }
    bool beginTransaction(DbError& error) override
    {
        return !m_faults.strike(error) && m_client->beginTransaction(error);
    }
    bool commitTransaction(DbError& error) override
    {
        return !m_faults.strike(error) && m_client->commitTransaction(error);
    }
    bool rollbackTransaction(DbError& error) override
    {
        return !m_faults.strike(error) && m_client->rollbackTransaction(error);
    }
    void cancel() override
    {
        m_slowServer.cancel();
        m_client->cancel();
    }
    const SqlDialect& dialect() const override { return m_client->dialect(); }

private:
    bool slowly(DbError& error) { return m_slowServer.wait(m_faults.statementDelay(), error); }

    Faults m_faults;
    std::unique_ptr<DbClient> m_client;
    SlowServer m_slowServer;
};

} // namespace

void registerFaultInjectingProvider(FaultPlan& plan, const QString& wrappedProvider)
{
    registerDbProvider(QStringLiteral("faulty"), [&plan, wrappedProvider] {
        DbError unknownProvider;
        std::unique_ptr<DbClient> client =
            createDbClient(QStringLiteral("Provider=%1;").arg(wrappedProvider), unknownProvider);
        return client ? std::make_unique<FaultInjectingClient>(plan, std::move(client)) : nullptr;
    });
}

QList<FaultedRun> runFailingAtEveryCall(FaultPlan& plan, const std::function<bool(MessageSink&)>& operation)
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
        plan = FaultPlan::failingAt(failAt);
        FaultedRun run;
        run.failAt = failAt;
        run.succeeded = operation(run.messages);
        runs.append(run);
    }
    plan = FaultPlan();
    return runs;
}

} // namespace korvel

#pragma once

#include "db/client/DbClient.h"
#include "db/odbc/OdbcApi.h"
#include "db/odbc/OdbcConnectionString.h"
#include "db/odbc/OdbcWatchdog.h"

#include <QStringList>

#include <cstdint>
#include <mutex>
#include <vector>

namespace korvel {

// The database client over ODBC (unixODBC): SQL Server through FreeTDS or Microsoft's
// driver, or any ODBC source. It takes the program's OLE DB connection string and
// translates it for the flavour it was made for. Results are read whole when they are
// opened, so that a cursor never holds the connection.
class OdbcClient : public DbClient
{
public:
    explicit OdbcClient(OdbcFlavour flavour);
    ~OdbcClient() override;
    OdbcClient(const OdbcClient&) = delete;
    OdbcClient& operator=(const OdbcClient&) = delete;

    [[nodiscard]] bool open(const QString& connectionString, DbError& error) override;
    bool isOpen() const override;
    [[nodiscard]] bool close(DbError& error) override;

    [[nodiscard]] bool execute(const QString& sql, qint64& rowsChanged, DbError& error) override;
    [[nodiscard]] std::unique_ptr<DbCursor> openCursor(const QString& sql, DbError& error) override;
    [[nodiscard]] bool executeWithBinary(const QString& sql, const QByteArray& bytes, qint64& rowsChanged,
                                         DbError& error) override;

    [[nodiscard]] bool beginTransaction(DbError& error) override;
    [[nodiscard]] bool commitTransaction(DbError& error) override;
    [[nodiscard]] bool rollbackTransaction(DbError& error) override;

    // SQLCancel on the statement running; while connecting, the sockets opened so far are
    // shut down. A call that still waits a little later has its connection cut.
    void cancel() override;

    const SqlDialect& dialect() const override;

private:
    // While one lives, a cancel reaches the statement.
    class CancellableStatement
    {
    public:
        CancellableStatement(OdbcClient& client, SQLHSTMT statement);
        ~CancellableStatement();
        CancellableStatement(const CancellableStatement&) = delete;
        CancellableStatement& operator=(const CancellableStatement&) = delete;

    private:
        OdbcClient& m_client;
    };

    bool allocateEnvironment(DbError& error);
    QStringList installedDrivers() const;
    bool connect(const QString& odbcConnectionString, std::uintptr_t loginTimeoutSeconds, DbError& error);
    const SqlDialect* dialectOfSource(DbError& error);
    bool usable(DbError& error) const;
    bool newStatement(OdbcHandle& statement, DbError& error) const;
    bool setAutocommit(bool on, DbError& error);
    bool endTransaction(SQLSMALLINT completion, DbError& error);
    void releaseHandles();

    OdbcFlavour m_flavour;
    OdbcHandle m_environment{SQL_HANDLE_ENV};
    OdbcHandle m_connection{SQL_HANDLE_DBC};
    OdbcWatchdog m_watchdog;
    bool m_connected = false;
    bool m_inTransaction = false;
    const SqlDialect* m_dialect;
    // What a cancel from another thread reaches, under the lock: the statement running, or
    // the sockets there were before the connection being made.
    std::mutex m_cancelLock;
    SQLHSTMT m_running = SQL_NULL_HANDLE;
    bool m_connecting = false;
    std::vector<OpenSocket> m_socketsBeforeConnect;
};

} // namespace korvel

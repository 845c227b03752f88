#include "db/odbc/OdbcClient.h"

#include "db/client/SqlDialect.h"
#include "db/odbc/OdbcApi.h"
#include "db/odbc/OdbcConnectionString.h"
#include "db/odbc/OdbcDriverLibrary.h"
#include "db/odbc/OdbcResult.h"
#include "db/odbc/SqlServerBrowser.h"

#include <QDeadlineTimer>

#include <cstdint>
#include <iterator>

namespace {

// Long binary values go to the driver in pieces of this size.
constexpr qsizetype kPutChunkBytes = 256 * 1024;

// The waits of SQL Server's own clients, under which the program has always run: a server
// that does not answer, or a statement held up by another session's locks, ends in an
// error instead of a window that never comes back.
constexpr std::uintptr_t kLoginTimeoutSeconds = 15;
constexpr std::uintptr_t kQueryTimeoutSeconds = 30;

SQLPOINTER IntegerAttribute(std::uintptr_t value)
{
    return reinterpret_cast<SQLPOINTER>(value);
}

const SqlDialect& DefaultDialect(OdbcFlavour flavour)
{
    return flavour == OdbcFlavour::SqlServer ? TransactSqlDialect() : StandardSqlDialect();
}

bool Succeeded(SQLRETURN result)
{
    // SQL_NO_DATA: a searched UPDATE or DELETE that matched no row.
    return SQL_SUCCEEDED(result) || result == SQL_NO_DATA;
}

// Adds the rows that the current result changed. A server that counts nothing (SET NOCOUNT
// ON) gives -1 for each statement; the total stays unknown (-1) until a statement gives a
// count.
bool AddRowCount(SQLHSTMT statement, qint64& rowsChanged, DbError& error)
{
    SQLLEN rows = 0;
    if (!SQL_SUCCEEDED(SQLRowCount(statement, &rows))) {
        error = OdbcFailure(SQL_HANDLE_STMT, statement, "SQLRowCount");
        return false;
    }
    if (rows >= 0)
        rowsChanged = qMax<qint64>(rowsChanged, 0) + rows;
    return true;
}

// Steps through every further result of a batch, so that the errors of its later
// statements are reported and the statement leaves nothing pending, counting the rows
// each of them changed.
bool DrainResults(SQLHSTMT statement, qint64& rowsChanged, DbError& error)
{
    bool more = true;
    while (NextOdbcResult(statement, more, error)) {
        if (!more)
            return true;
        if (!AddRowCount(statement, rowsChanged, error))
            return false;
    }
    return false;
}

// The rows an executed statement (or batch) changed, over all its results; SQL_NO_DATA
// from the execution is a searched UPDATE or DELETE that matched nothing.
bool CountChangedRows(SQLHSTMT statement, SQLRETURN executed, qint64& rowsChanged, DbError& error)
{
    qint64 rows = executed == SQL_NO_DATA ? 0 : -1;
    if (executed != SQL_NO_DATA && !AddRowCount(statement, rows, error))
        return false;
    if (!DrainResults(statement, rows, error))
        return false;
    rowsChanged = rows;
    return true;
}

bool PutBinaryData(SQLHSTMT statement, const QByteArray& bytes, DbError& error)
{
    qsizetype offset = 0;
    // An empty value is still put once, with length 0.
    do {
        const qsizetype length = qMin(kPutChunkBytes, bytes.size() - offset);
        if (!SQL_SUCCEEDED(SQLPutData(statement, const_cast<char*>(bytes.constData() + offset),
                                      static_cast<SQLLEN>(length)))) {
            error = OdbcFailure(SQL_HANDLE_STMT, statement, "SQLPutData");
            return false;
        }
        offset += length;
    } while (offset < bytes.size());
    return true;
}

} // namespace

OdbcClient::OdbcClient(OdbcFlavour flavour) : m_flavour(flavour), m_dialect(&DefaultDialect(flavour))
{
}

OdbcClient::~OdbcClient()
{
    DbError ignored;
    static_cast<void>(Close(ignored));
}

bool OdbcClient::Open(const QString& connectionString, DbError& error)
{
    if (!Close(error))
        return false;
    if (!AllocateEnvironment(error))
        return false;
    // The instance's port and the login share the one wait.
    const QDeadlineTimer deadline{static_cast<qint64>(kLoginTimeoutSeconds * 1000)};
    const InstancePortLookup lookUpInstance = [&deadline](const QString& host, const QString& instance, quint16& port,
                                                          QString& failure) {
        return LookUpInstancePort(host, instance, static_cast<int>(deadline.remainingTime()), port, failure);
    };
    QString odbcConnectionString;
    QString description;
    const QStringList drivers = m_flavour == OdbcFlavour::SqlServer ? InstalledDrivers() : QStringList();
    const DriverLibraryLookup libraryOf = [this](const QString& driver, const QString& dataSource) {
        return OdbcDriverLibrary(m_environment.Get(), driver, dataSource);
    };
    if (!TranslateConnectionString(connectionString, m_flavour, drivers, odbcConnectionString, description,
                                   lookUpInstance, libraryOf)) {
        ReleaseHandles();
        error = DbError::DriverFailure(description);
        return false;
    }
    const auto secondsLeft = static_cast<std::uintptr_t>(qMax<qint64>(1, (deadline.remainingTime() + 999) / 1000));
    if (!Connect(odbcConnectionString, secondsLeft, error)) {
        ReleaseHandles();
        return false;
    }
    m_connected = true;
    m_dialect = &DialectOfSource();
    return true;
}

bool OdbcClient::IsOpen() const
{
    return m_connected;
}

bool OdbcClient::Close(DbError& error)
{
    bool closed = true;
    if (m_connected) {
        // Disconnecting inside a transaction fails; what was not committed is given up, as
        // a server does when a connection goes away.
        if (m_inTransaction)
            SQLEndTran(SQL_HANDLE_DBC, m_connection.Get(), SQL_ROLLBACK);
        if (!SQL_SUCCEEDED(SQLDisconnect(m_connection.Get()))) {
            error = OdbcFailure(SQL_HANDLE_DBC, m_connection.Get(), "SQLDisconnect");
            closed = false;
        }
    }
    m_connected = false;
    m_inTransaction = false;
    m_dialect = &DefaultDialect(m_flavour);
    ReleaseHandles();
    return closed;
}

bool OdbcClient::Execute(const QString& sql, qint64& rowsChanged, DbError& error)
{
    OdbcHandle statement(SQL_HANDLE_STMT);
    if (!NewStatement(statement, error))
        return false;
    const QString text = m_dialect->FromTransactSql(sql);
    const SQLRETURN result = SQLExecDirectW(statement.Get(), OdbcInput(text), static_cast<SQLINTEGER>(text.size()));
    if (!Succeeded(result)) {
        error = OdbcFailure(SQL_HANDLE_STMT, statement.Get(), "SQLExecDirectW");
        return false;
    }
    return CountChangedRows(statement.Get(), result, rowsChanged, error);
}

std::unique_ptr<DbCursor> OdbcClient::OpenCursor(const QString& sql, DbError& error)
{
    OdbcHandle statement(SQL_HANDLE_STMT);
    if (!NewStatement(statement, error))
        return nullptr;
    const QString text = m_dialect->FromTransactSql(sql);
    if (!Succeeded(SQLExecDirectW(statement.Get(), OdbcInput(text), static_cast<SQLINTEGER>(text.size())))) {
        error = OdbcFailure(SQL_HANDLE_STMT, statement.Get(), "SQLExecDirectW");
        return nullptr;
    }
    std::unique_ptr<DbCursor> cursor;
    if (!ReadOdbcResult(statement.Get(), cursor, error))
        return nullptr;
    return cursor;
}

bool OdbcClient::ExecuteWithBinary(const QString& sql, const QByteArray& bytes, qint64& rowsChanged, DbError& error)
{
    OdbcHandle statement(SQL_HANDLE_STMT);
    if (!NewStatement(statement, error))
        return false;
    const SQLHSTMT handle = statement.Get();
    const QString text = m_dialect->FromTransactSql(sql);
    if (!SQL_SUCCEEDED(SQLPrepareW(handle, OdbcInput(text), static_cast<SQLINTEGER>(text.size())))) {
        error = OdbcFailure(SQL_HANDLE_STMT, handle, "SQLPrepareW");
        return false;
    }
    // Data at execution: the value goes to the driver in pieces, however long it is.
    SQLLEN indicator = SQL_LEN_DATA_AT_EXEC(static_cast<SQLLEN>(bytes.size()));
    if (!SQL_SUCCEEDED(SQLBindParameter(handle, 1, SQL_PARAM_INPUT, SQL_C_BINARY, SQL_LONGVARBINARY,
                                        static_cast<SQLULEN>(qMax<qsizetype>(bytes.size(), 1)), 0,
                                        const_cast<char*>(bytes.constData()), 0, &indicator))) {
        error = OdbcFailure(SQL_HANDLE_STMT, handle, "SQLBindParameter");
        return false;
    }
    SQLRETURN result = SQLExecute(handle);
    while (result == SQL_NEED_DATA) {
        SQLPOINTER parameter = nullptr;
        result = SQLParamData(handle, &parameter);
        if (result == SQL_NEED_DATA && !PutBinaryData(handle, bytes, error))
            return false;
    }
    if (!Succeeded(result)) {
        error = OdbcFailure(SQL_HANDLE_STMT, handle, "SQLExecute");
        return false;
    }
    return CountChangedRows(handle, result, rowsChanged, error);
}

bool OdbcClient::BeginTransaction(DbError& error)
{
    if (!m_connected) {
        error = DbError::MissingObject();
        return false;
    }
    if (!SetAutocommit(false, error))
        return false;
    m_inTransaction = true;
    return true;
}

bool OdbcClient::CommitTransaction(DbError& error)
{
    return EndTransaction(SQL_COMMIT, error);
}

bool OdbcClient::RollbackTransaction(DbError& error)
{
    return EndTransaction(SQL_ROLLBACK, error);
}

const SqlDialect& OdbcClient::Dialect() const
{
    return *m_dialect;
}

bool OdbcClient::AllocateEnvironment(DbError& error)
{
    if (!SQL_SUCCEEDED(m_environment.Allocate(SQL_NULL_HANDLE))) {
        error = DbError::DriverFailure(QStringLiteral("ODBC 驱动管理器无法分配环境句柄"));
        return false;
    }
    if (!SQL_SUCCEEDED(SQLSetEnvAttr(m_environment.Get(), SQL_ATTR_ODBC_VERSION, IntegerAttribute(SQL_OV_ODBC3), 0))) {
        error = OdbcFailure(SQL_HANDLE_ENV, m_environment.Get(), "SQLSetEnvAttr");
        ReleaseHandles();
        return false;
    }
    return true;
}

QStringList OdbcClient::InstalledDrivers() const
{
    QStringList drivers;
    SQLWCHAR description[256];
    SQLSMALLINT length = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    while (SQL_SUCCEEDED(SQLDriversW(m_environment.Get(), direction, description,
                                     static_cast<SQLSMALLINT>(std::size(description)), &length, nullptr, 0,
                                     nullptr))) {
        drivers.append(FromOdbcText(description, qMin<qsizetype>(length, std::size(description) - 1)));
        direction = SQL_FETCH_NEXT;
    }
    return drivers;
}

bool OdbcClient::Connect(const QString& odbcConnectionString, std::uintptr_t loginTimeoutSeconds, DbError& error)
{
    if (!SQL_SUCCEEDED(m_connection.Allocate(m_environment.Get()))) {
        error = OdbcFailure(SQL_HANDLE_ENV, m_environment.Get(), "SQLAllocHandle");
        return false;
    }
    // A driver that cannot time out still connects; only the wait is then its own.
    (void)SQLSetConnectAttrW(m_connection.Get(), SQL_ATTR_LOGIN_TIMEOUT, IntegerAttribute(loginTimeoutSeconds),
                             SQL_IS_UINTEGER);
    SQLSMALLINT completedLength = 0;
    if (!SQL_SUCCEEDED(SQLDriverConnectW(m_connection.Get(), nullptr, OdbcInput(odbcConnectionString), SQL_NTS,
                                         nullptr, 0, &completedLength, SQL_DRIVER_NOPROMPT))) {
        error = OdbcFailure(SQL_HANDLE_DBC, m_connection.Get(), "SQLDriverConnectW");
        return false;
    }
    return true;
}

const SqlDialect& OdbcClient::DialectOfSource() const
{
    if (m_flavour != OdbcFlavour::Generic)
        return DefaultDialect(m_flavour);
    SQLWCHAR name[64] = {};
    SQLSMALLINT bytes = 0;
    if (!SQL_SUCCEEDED(SQLGetInfoW(m_connection.Get(), SQL_DBMS_NAME, name, sizeof name, &bytes)))
        return DefaultDialect(m_flavour);
    const qsizetype units = qMin<qsizetype>(bytes / static_cast<qsizetype>(sizeof(SQLWCHAR)), std::size(name) - 1);
    const QString dbms = FromOdbcText(name, units);
    if (dbms.compare(QLatin1String("PostgreSQL"), Qt::CaseInsensitive) == 0)
        return PostgreSqlDialect();
    // A SQL Server data source named through MSDASQL.
    if (dbms.compare(QLatin1String("Microsoft SQL Server"), Qt::CaseInsensitive) == 0)
        return TransactSqlDialect();
    return DefaultDialect(m_flavour);
}

bool OdbcClient::NewStatement(OdbcHandle& statement, DbError& error) const
{
    if (!m_connected) {
        error = DbError::MissingObject();
        return false;
    }
    if (!SQL_SUCCEEDED(statement.Allocate(m_connection.Get()))) {
        error = OdbcFailure(SQL_HANDLE_DBC, m_connection.Get(), "SQLAllocHandle");
        return false;
    }
    // As for the login: a driver that cannot time a statement out still runs it.
    (void)SQLSetStmtAttrW(statement.Get(), SQL_ATTR_QUERY_TIMEOUT, IntegerAttribute(kQueryTimeoutSeconds),
                          SQL_IS_UINTEGER);
    return true;
}

bool OdbcClient::SetAutocommit(bool on, DbError& error)
{
    const std::uintptr_t value = on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF;
    if (!SQL_SUCCEEDED(
            SQLSetConnectAttrW(m_connection.Get(), SQL_ATTR_AUTOCOMMIT, IntegerAttribute(value), SQL_IS_UINTEGER))) {
        error = OdbcFailure(SQL_HANDLE_DBC, m_connection.Get(), "SQLSetConnectAttrW");
        return false;
    }
    return true;
}

bool OdbcClient::EndTransaction(SQLSMALLINT completion, DbError& error)
{
    if (!m_connected) {
        error = DbError::MissingObject();
        return false;
    }
    // A failed commit leaves the transaction open (and autocommit off), so that the caller
    // can still roll it back: turning autocommit on would commit it.
    if (!SQL_SUCCEEDED(SQLEndTran(SQL_HANDLE_DBC, m_connection.Get(), completion))) {
        error = OdbcFailure(SQL_HANDLE_DBC, m_connection.Get(), "SQLEndTran");
        return false;
    }
    if (!m_inTransaction)
        return true;
    m_inTransaction = false;
    return SetAutocommit(true, error);
}

void OdbcClient::ReleaseHandles()
{
    m_connection.Free();
    m_environment.Free();
}

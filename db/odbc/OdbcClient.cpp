#include "db/odbc/OdbcClient.h"

#include "db/client/SqlDialect.h"
#include "db/odbc/OdbcApi.h"
#include "db/odbc/OdbcConnectionString.h"
#include "db/odbc/OdbcDriverLibrary.h"
#include "db/odbc/OdbcResult.h"
#include "db/odbc/ProcessSockets.h"
#include "db/odbc/SqlServerBrowser.h"

#include <QDeadlineTimer>

#include <chrono>
#include <cstdint>
#include <iterator>
#include <mutex>
#include <vector>

namespace korvel {

namespace {

// Long binary values go to the driver in pieces of this size.
constexpr qsizetype kPutChunkBytes = 256 * 1024;

// The waits of SQL Server's own clients, under which the program has always run: a server
// that does not answer, or a statement held up by another session's locks, ends in an
// error instead of a window that never comes back.
constexpr std::uintptr_t kLoginTimeoutSeconds = 15;
constexpr std::uintptr_t kQueryTimeoutSeconds = 30;
// A call still waiting this long after the statement's own timeout has a server that no
// longer answers (a live one takes the driver's cancel at once): its connection is cut.
constexpr std::chrono::milliseconds kConnectionCutAfter{(kQueryTimeoutSeconds + 3) * 1000};
// A live server takes a cancel at once; one that has not within this time is not waited for.
constexpr std::chrono::milliseconds kCancelGrace{2000};

SQLPOINTER integerAttribute(std::uintptr_t value)
{
    return reinterpret_cast<SQLPOINTER>(value);
}

const SqlDialect& defaultDialect(OdbcFlavour flavour)
{
    return flavour == OdbcFlavour::SqlServer ? transactSqlDialect() : standardSqlDialect();
}

bool succeeded(SQLRETURN result)
{
    // SQL_NO_DATA: a searched UPDATE or DELETE that matched no row.
    return SQL_SUCCEEDED(result) || result == SQL_NO_DATA;
}

// Adds the rows that the current result changed. A server that counts nothing (SET NOCOUNT
// ON) gives -1 for each statement; the total stays unknown (-1) until a statement gives a
// count.
bool addRowCount(SQLHSTMT statement, qint64& rowsChanged, DbError& error)
{
    SQLLEN rows = 0;
    if (!SQL_SUCCEEDED(SQLRowCount(statement, &rows))) {
        error = odbcFailure(SQL_HANDLE_STMT, statement, "SQLRowCount");
        return false;
    }
    if (rows >= 0)
        rowsChanged = qMax<qint64>(rowsChanged, 0) + rows;
    return true;
}

// The first value of the current result set, a row count that the batch selected.
bool readSelectedCount(SQLHSTMT statement, qint64& count, DbError& error)
{
    const SQLRETURN fetched = SQLFetch(statement);
    if (fetched == SQL_NO_DATA)
        return true;
    SQLBIGINT value = 0;
    SQLLEN indicator = 0;
    if (!SQL_SUCCEEDED(fetched) ||
        !SQL_SUCCEEDED(SQLGetData(statement, 1, SQL_C_SBIGINT, &value, sizeof value, &indicator))) {
        error = odbcFailure(SQL_HANDLE_STMT, statement, "SQLFetch");
        return false;
    }
    if (indicator != SQL_NULL_DATA)
        count = value;
    return true;
}

// One result of a batch: a count the server reported, or the rows of a query.
bool countResult(SQLHSTMT statement, qint64& reported, qint64& selected, DbError& error)
{
    SQLSMALLINT columns = 0;
    if (!SQL_SUCCEEDED(SQLNumResultCols(statement, &columns))) {
        error = odbcFailure(SQL_HANDLE_STMT, statement, "SQLNumResultCols");
        return false;
    }
    return columns == 0 ? addRowCount(statement, reported, error) : readSelectedCount(statement, selected, error);
}

// The rows an executed statement (or batch) changed: the count it selected last when it
// asked for its own, else the sum of the counts the server reported (SQL_NO_DATA from the
// execution is a searched UPDATE or DELETE that matched nothing). Every result is stepped
// through, so that the errors of later statements are reported and nothing stays pending.
bool countChangedRows(SQLHSTMT statement, SQLRETURN executed, bool selectsRowCount, qint64& rowsChanged,
                      DbError& error)
{
    qint64 reported = executed == SQL_NO_DATA ? 0 : -1;
    qint64 selected = -1;
    if (executed != SQL_NO_DATA && !countResult(statement, reported, selected, error))
        return false;
    bool more = true;
    while (more) {
        if (!nextOdbcResult(statement, more, error) || (more && !countResult(statement, reported, selected, error)))
            return false;
    }
    rowsChanged = selectsRowCount && selected >= 0 ? selected : reported;
    return true;
}

// The statement as the source reads it, and whether it selects the count of its rows last.
struct SourceStatement
{
    QString text;
    bool selectsRowCount = false;
};

SourceStatement forSource(const SqlDialect& dialect, const QString& sql)
{
    QString text = dialect.fromTransactSql(sql);
    QString counted = dialect.selectingRowCount(text);
    if (counted.isEmpty())
        return {std::move(text), false};
    return {std::move(counted), true};
}

bool putBinaryData(SQLHSTMT statement, const QByteArray& bytes, OdbcWatchdog::Wait& wait, DbError& error)
{
    qsizetype offset = 0;
    // An empty value is still put once, with length 0.
    do {
        const qsizetype length = qMin(kPutChunkBytes, bytes.size() - offset);
        if (!SQL_SUCCEEDED(SQLPutData(statement, const_cast<char*>(bytes.constData() + offset),
                                      static_cast<SQLLEN>(length)))) {
            error = odbcFailure(SQL_HANDLE_STMT, statement, "SQLPutData");
            return false;
        }
        offset += length;
        wait.progress();
    } while (offset < bytes.size());
    return true;
}

DbError connectionCutError()
{
    DbError error = DbError::driverFailure(QStringLiteral("服务器没有应答，连接已断开"));
    error.connectionLost = true;
    return error;
}

} // namespace

OdbcClient::OdbcClient(OdbcFlavour flavour)
    : m_flavour(flavour), m_watchdog(kConnectionCutAfter), m_dialect(&defaultDialect(flavour))
{
}

OdbcClient::~OdbcClient()
{
    DbError ignored;
    static_cast<void>(close(ignored));
}

bool OdbcClient::open(const QString& connectionString, DbError& error)
{
    if (!close(error))
        return false;
    if (!allocateEnvironment(error))
        return false;
    // The instance's port and the login share the one wait.
    const QDeadlineTimer deadline{static_cast<qint64>(kLoginTimeoutSeconds * 1000)};
    const InstancePortLookup lookUpInstance = [&deadline](const QString& host, const QString& instance, quint16& port,
                                                          QString& failure) {
        return lookUpInstancePort(host, instance, static_cast<int>(deadline.remainingTime()), port, failure);
    };
    QString odbcConnectionString;
    QString description;
    const QStringList drivers = m_flavour == OdbcFlavour::SqlServer ? installedDrivers() : QStringList();
    const DriverLibraryLookup libraryOf = [this](const QString& driver, const QString& dataSource) {
        return odbcDriverLibrary(m_environment.get(), driver, dataSource);
    };
    if (!translateConnectionString(connectionString, m_flavour, drivers, odbcConnectionString, description,
                                   lookUpInstance, libraryOf)) {
        releaseHandles();
        error = DbError::driverFailure(description);
        return false;
    }
    const auto secondsLeft = static_cast<std::uintptr_t>(qMax<qint64>(1, (deadline.remainingTime() + 999) / 1000));
    if (!connect(odbcConnectionString, secondsLeft, error)) {
        releaseHandles();
        return false;
    }
    m_connected = true;
    const SqlDialect* dialect = dialectOfSource(error);
    if (!dialect) {
        DbError ignored;
        static_cast<void>(close(ignored));
        return false;
    }
    m_dialect = dialect;
    return true;
}

bool OdbcClient::isOpen() const
{
    return m_connected;
}

bool OdbcClient::close(DbError& error)
{
    bool closed = true;
    if (m_connected) {
        const OdbcWatchdog::Wait wait(m_watchdog);
        // Disconnecting inside a transaction fails; what was not committed is given up, as
        // a server does when a connection goes away.
        if (m_inTransaction)
            SQLEndTran(SQL_HANDLE_DBC, m_connection.get(), SQL_ROLLBACK);
        // A connection that was cut is gone whatever the driver says.
        if (!SQL_SUCCEEDED(SQLDisconnect(m_connection.get())) && !m_watchdog.connectionDropped()) {
            error = odbcFailure(SQL_HANDLE_DBC, m_connection.get(), "SQLDisconnect");
            closed = false;
        }
    }
    m_watchdog.stop();
    m_connected = false;
    m_inTransaction = false;
    m_dialect = &defaultDialect(m_flavour);
    releaseHandles();
    return closed;
}

bool OdbcClient::execute(const QString& sql, qint64& rowsChanged, DbError& error)
{
    // Declared first so that it also covers freeing the statement, which may read what the
    // server still sends.
    const OdbcWatchdog::Wait wait(m_watchdog);
    OdbcHandle statement(SQL_HANDLE_STMT);
    if (!newStatement(statement, error))
        return false;
    const CancellableStatement cancellable(*this, statement.get());
    const SourceStatement source = forSource(*m_dialect, sql);
    const SQLRETURN result =
        SQLExecDirectW(statement.get(), odbcInput(source.text), static_cast<SQLINTEGER>(source.text.size()));
    if (!succeeded(result)) {
        error = odbcFailure(SQL_HANDLE_STMT, statement.get(), "SQLExecDirectW");
        return false;
    }
    return countChangedRows(statement.get(), result, source.selectsRowCount, rowsChanged, error);
}

std::unique_ptr<DbCursor> OdbcClient::openCursor(const QString& sql, DbError& error)
{
    OdbcWatchdog::Wait wait(m_watchdog);
    OdbcHandle statement(SQL_HANDLE_STMT);
    if (!newStatement(statement, error))
        return nullptr;
    const CancellableStatement cancellable(*this, statement.get());
    const QString text = m_dialect->fromTransactSql(sql);
    if (!succeeded(SQLExecDirectW(statement.get(), odbcInput(text), static_cast<SQLINTEGER>(text.size())))) {
        error = odbcFailure(SQL_HANDLE_STMT, statement.get(), "SQLExecDirectW");
        return nullptr;
    }
    std::unique_ptr<DbCursor> cursor;
    if (!readOdbcResult(statement.get(), wait, cursor, error))
        return nullptr;
    return cursor;
}

bool OdbcClient::executeWithBinary(const QString& sql, const QByteArray& bytes, qint64& rowsChanged, DbError& error)
{
    OdbcWatchdog::Wait wait(m_watchdog);
    OdbcHandle statement(SQL_HANDLE_STMT);
    if (!newStatement(statement, error))
        return false;
    const SQLHSTMT handle = statement.get();
    const CancellableStatement cancellable(*this, handle);
    const SourceStatement source = forSource(*m_dialect, sql);
    if (!SQL_SUCCEEDED(SQLPrepareW(handle, odbcInput(source.text), static_cast<SQLINTEGER>(source.text.size())))) {
        error = odbcFailure(SQL_HANDLE_STMT, handle, "SQLPrepareW");
        return false;
    }
    // Data at execution: the value goes to the driver in pieces, however long it is.
    SQLLEN indicator = SQL_LEN_DATA_AT_EXEC(static_cast<SQLLEN>(bytes.size()));
    if (!SQL_SUCCEEDED(SQLBindParameter(handle, 1, SQL_PARAM_INPUT, SQL_C_BINARY, SQL_LONGVARBINARY,
                                        static_cast<SQLULEN>(qMax<qsizetype>(bytes.size(), 1)), 0,
                                        const_cast<char*>(bytes.constData()), 0, &indicator))) {
        error = odbcFailure(SQL_HANDLE_STMT, handle, "SQLBindParameter");
        return false;
    }
    SQLRETURN result = SQLExecute(handle);
    while (result == SQL_NEED_DATA) {
        SQLPOINTER parameter = nullptr;
        result = SQLParamData(handle, &parameter);
        if (result == SQL_NEED_DATA && !putBinaryData(handle, bytes, wait, error))
            return false;
    }
    if (!succeeded(result)) {
        error = odbcFailure(SQL_HANDLE_STMT, handle, "SQLExecute");
        return false;
    }
    return countChangedRows(handle, result, source.selectsRowCount, rowsChanged, error);
}

bool OdbcClient::beginTransaction(DbError& error)
{
    if (!usable(error))
        return false;
    const OdbcWatchdog::Wait wait(m_watchdog);
    if (!setAutocommit(false, error))
        return false;
    m_inTransaction = true;
    return true;
}

bool OdbcClient::commitTransaction(DbError& error)
{
    return endTransaction(SQL_COMMIT, error);
}

bool OdbcClient::rollbackTransaction(DbError& error)
{
    return endTransaction(SQL_ROLLBACK, error);
}

void OdbcClient::cancel()
{
    const std::lock_guard<std::mutex> lock(m_cancelLock);
    m_watchdog.cutAfterCancel(kCancelGrace);
    if (m_running != SQL_NULL_HANDLE)
        (void)SQLCancel(m_running);
    else if (m_connecting)
        shutDownSockets(socketsAdded(m_socketsBeforeConnect, openSockets()));
}

OdbcClient::CancellableStatement::CancellableStatement(OdbcClient& client, SQLHSTMT statement) : m_client(client)
{
    const std::lock_guard<std::mutex> lock(m_client.m_cancelLock);
    m_client.m_running = statement;
}

OdbcClient::CancellableStatement::~CancellableStatement()
{
    const std::lock_guard<std::mutex> lock(m_client.m_cancelLock);
    m_client.m_running = SQL_NULL_HANDLE;
}

const SqlDialect& OdbcClient::dialect() const
{
    return *m_dialect;
}

bool OdbcClient::allocateEnvironment(DbError& error)
{
    if (!SQL_SUCCEEDED(m_environment.allocate(SQL_NULL_HANDLE))) {
        error = DbError::driverFailure(QStringLiteral("ODBC 驱动管理器无法分配环境句柄"));
        return false;
    }
    if (!SQL_SUCCEEDED(SQLSetEnvAttr(m_environment.get(), SQL_ATTR_ODBC_VERSION, integerAttribute(SQL_OV_ODBC3), 0))) {
        error = odbcFailure(SQL_HANDLE_ENV, m_environment.get(), "SQLSetEnvAttr");
        releaseHandles();
        return false;
    }
    return true;
}

QStringList OdbcClient::installedDrivers() const
{
    QStringList drivers;
    SQLWCHAR description[256];
    SQLSMALLINT length = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    while (SQL_SUCCEEDED(SQLDriversW(m_environment.get(), direction, description,
                                     static_cast<SQLSMALLINT>(std::size(description)), &length, nullptr, 0,
                                     nullptr))) {
        drivers.append(fromOdbcText(description, qMin<qsizetype>(length, std::size(description) - 1)));
        direction = SQL_FETCH_NEXT;
    }
    return drivers;
}

bool OdbcClient::connect(const QString& odbcConnectionString, std::uintptr_t loginTimeoutSeconds, DbError& error)
{
    if (!SQL_SUCCEEDED(m_connection.allocate(m_environment.get()))) {
        error = odbcFailure(SQL_HANDLE_ENV, m_environment.get(), "SQLAllocHandle");
        return false;
    }
    // A driver that cannot time out still connects; only the wait is then its own.
    (void)SQLSetConnectAttrW(m_connection.get(), SQL_ATTR_LOGIN_TIMEOUT, integerAttribute(loginTimeoutSeconds),
                             SQL_IS_UINTEGER);
    // The connection's sockets are those that appear while it connects; another connection
    // made meanwhile by another thread would add its own.
    static std::mutex connecting;
    const std::lock_guard<std::mutex> lock(connecting);
    const std::vector<OpenSocket> before = openSockets();
    {
        const std::lock_guard<std::mutex> cancelLock(m_cancelLock);
        m_socketsBeforeConnect = before;
        m_connecting = true;
    }
    SQLSMALLINT completedLength = 0;
    const bool connected =
        SQL_SUCCEEDED(SQLDriverConnectW(m_connection.get(), nullptr, odbcInput(odbcConnectionString), SQL_NTS,
                                        nullptr, 0, &completedLength, SQL_DRIVER_NOPROMPT));
    {
        const std::lock_guard<std::mutex> cancelLock(m_cancelLock);
        m_connecting = false;
    }
    if (!connected) {
        error = odbcFailure(SQL_HANDLE_DBC, m_connection.get(), "SQLDriverConnectW");
        return false;
    }
    m_watchdog.start(socketsAdded(before, openSockets()));
    return true;
}

const SqlDialect* OdbcClient::dialectOfSource(DbError& error)
{
    if (m_flavour != OdbcFlavour::Generic)
        return &defaultDialect(m_flavour);
    SQLWCHAR name[64] = {};
    SQLSMALLINT bytes = 0;
    QString dbms;
    if (SQL_SUCCEEDED(SQLGetInfoW(m_connection.get(), SQL_DBMS_NAME, name, sizeof name, &bytes))) {
        const qsizetype units = bytes / static_cast<qsizetype>(sizeof(SQLWCHAR));
        dbms = fromOdbcText(name, qMin<qsizetype>(units, std::size(name) - 1));
    }
    if (dbms.compare(QLatin1String("PostgreSQL"), Qt::CaseInsensitive) == 0)
        return &postgreSqlDialect();
    // A SQL Server data source named through MSDASQL.
    if (dbms.compare(QLatin1String("Microsoft SQL Server"), Qt::CaseInsensitive) == 0)
        return &transactSqlDialect();
    // Any other source is asked how it reads a backslash in a literal: as itself, as the
    // standard has it, or as an escape, as MySQL does unless told otherwise.
    std::unique_ptr<DbCursor> cursor = openCursor(QStringLiteral("select '\\\\'"), error);
    DbValue read;
    if (cursor && !cursor->atEnd() && cursor->readValue(0, read, error)) {
        if (const SqlDialect* dialect = standardDialectReading(read.text))
            return dialect;
    }
    error = DbError::driverFailure(
        QStringLiteral("不支持数据库 %1：无法确定它如何读取文本中的反斜杠，不能安全地写入数据").arg(dbms));
    return nullptr;
}

bool OdbcClient::usable(DbError& error) const
{
    if (!m_connected)
        error = DbError::missingObject();
    else if (m_watchdog.connectionDropped())
        error = connectionCutError();
    else
        return true;
    return false;
}

bool OdbcClient::newStatement(OdbcHandle& statement, DbError& error) const
{
    if (!usable(error))
        return false;
    if (!SQL_SUCCEEDED(statement.allocate(m_connection.get()))) {
        error = odbcFailure(SQL_HANDLE_DBC, m_connection.get(), "SQLAllocHandle");
        return false;
    }
    // As for the login: a driver that cannot time a statement out still runs it.
    (void)SQLSetStmtAttrW(statement.get(), SQL_ATTR_QUERY_TIMEOUT, integerAttribute(kQueryTimeoutSeconds),
                          SQL_IS_UINTEGER);
    return true;
}

bool OdbcClient::setAutocommit(bool on, DbError& error)
{
    const std::uintptr_t value = on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF;
    if (!SQL_SUCCEEDED(
            SQLSetConnectAttrW(m_connection.get(), SQL_ATTR_AUTOCOMMIT, integerAttribute(value), SQL_IS_UINTEGER))) {
        error = odbcFailure(SQL_HANDLE_DBC, m_connection.get(), "SQLSetConnectAttrW");
        return false;
    }
    return true;
}

bool OdbcClient::endTransaction(SQLSMALLINT completion, DbError& error)
{
    if (!usable(error))
        return false;
    const OdbcWatchdog::Wait wait(m_watchdog);
    // A failed commit leaves the transaction open (and autocommit off), so that the caller
    // can still roll it back: turning autocommit on would commit it.
    if (!SQL_SUCCEEDED(SQLEndTran(SQL_HANDLE_DBC, m_connection.get(), completion))) {
        error = odbcFailure(SQL_HANDLE_DBC, m_connection.get(), "SQLEndTran");
        return false;
    }
    if (!m_inTransaction)
        return true;
    m_inTransaction = false;
    return setAutocommit(true, error);
}

void OdbcClient::releaseHandles()
{
    m_connection.free();
    m_environment.free();
}

} // namespace korvel

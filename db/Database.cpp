#include "db/Database.h"

#include "db/client/ConnectionString.h"
#include "db/client/SqlDialect.h"
#include "db/client/ValueRules.h"
#include "db/odbc/OdbcClient.h"
#include "db/odbc/OdbcConnectionString.h"
#include "db/sqlite/SqliteClient.h"
#include "util/TextConversions.h"

namespace korvel {

namespace {

QString textOf(DbValue&& value)
{
    switch (value.kind) {
    case DbValue::Kind::Null: return QString();
    case DbValue::Kind::Bytes: return bytesToHex(value.bytes);
    case DbValue::Kind::Text: return std::move(value.text);
    }
    return QString();
}

QMap<QString, std::function<std::unique_ptr<DbClient>()>>& registeredProviders()
{
    static QMap<QString, std::function<std::unique_ptr<DbClient>()>> providers;
    return providers;
}

} // namespace

Database::Database() : Database(createDbClient) {}

Database::Database(DbClientFactory factory) : m_factory(std::move(factory)) {}

Database::~Database()
{
    close();
}

void Database::setLastError(const DbError& error)
{
    // A connection that is lost stays lost: the failures after it need not say so again.
    if (error.connectionLost && !m_connectionLost)
        m_lostError = error;
    m_connectionLost = m_connectionLost || error.connectionLost;
    // Whatever a driver says of a call it was asked to end, the user cancelled it.
    const DbError& told = cancelled() ? DbError::cancelled() : error;
    m_lastError = QStringLiteral("ADO 错误：0x%1，%2")
                      .arg(QString::asprintf("%8x", told.code), told.description.value_or(QStringLiteral("(null)")));
}

DbClient* Database::connectedClient(DbError& error)
{
    if (!cancelled())
        return openClient(error);
    error = DbError::cancelled();
    return nullptr;
}

DbClient* Database::openClient(DbError& error)
{
    // Nothing more runs on a lost connection, whatever its driver would say of a commit: the
    // server dropped what it had not committed.
    if (m_connectionLost) {
        error = m_lostError;
        return nullptr;
    }
    if (m_client && m_client->isOpen()) {
        ++m_statementsSent;
        return m_client.get();
    }
    error = DbError::missingObject();
    return nullptr;
}

void Database::releaseClient()
{
    // A cancel must not reach the client once it is gone.
    m_cancelRegistration.reset();
    m_client.reset();
}

bool Database::open(const QString& connectionString)
{
    disconnect();
    m_connectionLost = false;
    m_lastError.clear();
    DbError error = DbError::missingObject();
    if (m_closed) {
        setLastError(error);
        return false;
    }
    // The provider may differ from the last Open's, and with it the client.
    releaseClient();
    m_work = CancellableWork::ofThisThread();
    if (!cancelled()) {
        m_client = m_factory(connectionString, error);
        // Before it connects: a login that waits is cancelled too.
        if (m_client)
            m_cancelRegistration = std::make_unique<CancellableWork::Registration>(m_work, *m_client);
    }
    if (!m_client || !m_client->open(connectionString, error) || cancelled()) {
        setLastError(error);
        releaseClient();
        return false;
    }
    return true;
}

bool Database::disconnect()
{
    closeCursor();
    m_inTransaction = false;
    m_liveColumns.clear();
    m_codePages.clear();
    if (!m_client || !m_client->isOpen())
        return true;
    DbError error;
    if (m_client->close(error))
        return true;
    setLastError(error);
    return false;
}

void Database::close()
{
    disconnect();
    m_cursor.reset();
    releaseClient();
    m_closed = true;
}

bool Database::execute(const QString& sql, qint64* rowsAffected)
{
    m_lastError.clear();
    DbError error;
    DbClient* client = connectedClient(error);
    qint64 rows = 0;
    if (client && client->execute(sql, rows, error)) {
        if (rowsAffected)
            *rowsAffected = rows;
        return true;
    }
    setLastError(error);
    return false;
}

void Database::closeCursor()
{
    m_cursor.reset();
}

bool Database::openCursor(const QString& sql)
{
    closeCursor();
    m_lastError.clear();
    DbError error;
    DbClient* client = connectedClient(error);
    if (client)
        m_cursor = client->openCursor(sql, error);
    if (m_cursor)
        return true;
    setLastError(error);
    return false;
}

bool Database::query(const QString& sql, TextTable* table)
{
    return forEachRow(sql, [table](TextRow& row) { table->append(std::move(row)); });
}

bool Database::queryColumn(const QString& sql, QStringList* values)
{
    return forEachRow(sql, [values](TextRow& row) { values->append(std::move(row.first())); });
}

bool Database::forEachRow(const QString& sql, const RowHandler& onRow)
{
    return openCursor(sql) && readRows(onRow);
}

bool Database::queryResults(const QString& sql, QList<TextTable>& results)
{
    if (!openCursor(sql))
        return false;
    for (;;) {
        TextTable& rows = results.emplaceBack();
        if (!readRows([&rows](TextRow& row) { rows.append(std::move(row)); }))
            return false;
        std::unique_ptr<DbCursor> next = m_cursor->takeNextResult();
        if (!next)
            return true;
        m_cursor = std::move(next);
    }
}

bool Database::readRows(const RowHandler& onRow)
{
    // After a failure while reading, the rows handed over so far stay with the caller; the
    // error is recorded like any other, since callers show lastError() and it must say what
    // failed.
    DbError error;
    const int fieldCount = m_cursor->fieldCount();
    TextRow row;
    while (!m_cursor->atEnd()) {
        row.clear();
        row.reserve(fieldCount);
        for (int field = 0; field < fieldCount; ++field) {
            DbValue value;
            if (!m_cursor->readValue(field, value, error)) {
                setLastError(error);
                return false;
            }
            row.append(textOf(std::move(value)));
        }
        if (!m_cursor->moveNext(error)) {
            setLastError(error);
            return false;
        }
        onRow(row);
    }
    return true;
}

const SqlDialect& Database::dialect() const
{
    return m_client ? m_client->dialect() : transactSqlDialect();
}

QString Database::textLiteral(const QString& text) const
{
    return dialect().textLiteral(text);
}

QString Database::equalsCondition(const QString& column, int type, const QString& value) const
{
    QString literal = value;
    formatSqlLiteral(type, literal);
    return kindOfType(type) == ValueKind::Text ? dialect().textEquals(column, literal)
                                               : column + QLatin1Char('=') + literal;
}

bool Database::runOnClient(bool (DbClient::*operation)(DbError&), AfterCancel afterCancel)
{
    m_lastError.clear();
    DbError error;
    DbClient* client = afterCancel == AfterCancel::Runs ? openClient(error) : connectedClient(error);
    if (client && (client->*operation)(error))
        return true;
    setLastError(error);
    return false;
}

bool Database::beginTransaction()
{
    // A transaction whose end failed still holds its statements: what follows must not be
    // committed with them.
    if (m_inTransaction && !m_connectionLost) {
        setLastError(DbError::driverFailure(QStringLiteral("上一个事务仍未结束")));
        return false;
    }
    m_inTransaction = runOnClient(&DbClient::beginTransaction);
    return m_inTransaction;
}

// A transaction that failed to end is still open, for a rollback after a failed commit.
bool Database::commitTransaction()
{
    const bool ended = runOnClient(&DbClient::commitTransaction);
    m_inTransaction = m_inTransaction && !ended;
    return ended;
}

bool Database::rollbackTransaction()
{
    // Also after a cancel: it takes back what the cancelled work wrote.
    const bool ended = runOnClient(&DbClient::rollbackTransaction, AfterCancel::Runs);
    m_inTransaction = m_inTransaction && !ended;
    return ended;
}

bool Database::savepoint(const QString& name)
{
    return execute(dialect().savepointStatement(name));
}

bool Database::rollbackToSavepoint(const QString& name)
{
    return execute(dialect().rollbackToSavepointStatement(name)) && releaseSavepoint(name);
}

bool Database::releaseSavepoint(const QString& name)
{
    const QString release = dialect().releaseSavepointStatement(name);
    return release.isEmpty() || execute(release);
}

bool Database::valueRulesDecide() const
{
    return &dialect() == &sqliteDialect();
}

void registerDbProvider(const QString& provider, std::function<std::unique_ptr<DbClient>()> make)
{
    registeredProviders().insert(provider.toLower(), std::move(make));
}

std::unique_ptr<DbClient> createDbClient(const QString& connectionString, DbError& error)
{
    QMap<QString, QString> attributes;
    if (!parseConnectionString(connectionString, attributes)) {
        error = DbError::driverFailure(kUnparsableConnectionString);
        return nullptr;
    }
    const QString provider = attributes.value(QStringLiteral("provider"));
    if (const auto registered = registeredProviders().constFind(provider.toLower());
        registered != registeredProviders().cend())
        return (*registered)();
    if (isEmbeddedProvider(provider))
        return std::make_unique<SqliteClient>();
    if (isSqlServerProvider(provider))
        return std::make_unique<OdbcClient>(OdbcFlavour::SqlServer);
    if (isGenericOdbcProvider(provider))
        return std::make_unique<OdbcClient>(OdbcFlavour::Generic);
    error = {DbError::kNoProvider, QStringLiteral("未找到提供程序“%1”。该程序可能未正确安装。").arg(provider)};
    return nullptr;
}

} // namespace korvel

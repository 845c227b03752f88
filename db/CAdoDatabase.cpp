#include "db/CAdoDatabase.h"

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

QMap<QString, std::function<std::unique_ptr<DbClient>()>>& RegisteredProviders()
{
    static QMap<QString, std::function<std::unique_ptr<DbClient>()>> providers;
    return providers;
}

} // namespace

CAdoDatabase::CAdoDatabase() : CAdoDatabase(CreateDbClient) {}

CAdoDatabase::CAdoDatabase(DbClientFactory factory) : m_factory(std::move(factory)) {}

CAdoDatabase::~CAdoDatabase()
{
    close();
}

void CAdoDatabase::SetComError(const DbError& error)
{
    // A connection that is lost stays lost: the failures after it need not say so again.
    m_bConnectionLost = m_bConnectionLost || error.connectionLost;
    // Whatever a driver says of a call it was asked to end, the user cancelled it.
    const DbError& told = cancelled() ? DbError::cancelled() : error;
    m_lastError = QStringLiteral("ADO 错误：0x%1，%2")
                      .arg(QString::asprintf("%8x", told.code), told.description.value_or(QStringLiteral("(null)")));
}

DbClient* CAdoDatabase::ConnectedClient(DbError& error)
{
    if (!cancelled())
        return OpenClient(error);
    error = DbError::cancelled();
    return nullptr;
}

DbClient* CAdoDatabase::OpenClient(DbError& error)
{
    if (m_pConnection && m_pConnection->isOpen()) {
        ++m_statementsSent;
        return m_pConnection.get();
    }
    error = DbError::missingObject();
    return nullptr;
}

void CAdoDatabase::ReleaseClient()
{
    // A cancel must not reach the client once it is gone.
    m_cancelRegistration.reset();
    m_pConnection.reset();
}

bool CAdoDatabase::open(const QString& connectionString)
{
    Disconnect();
    m_bConnectionLost = false;
    m_lastError.clear();
    DbError error = DbError::missingObject();
    if (m_bClosed) {
        SetComError(error);
        return false;
    }
    // The provider may differ from the last Open's, and with it the client.
    ReleaseClient();
    m_work = CancellableWork::OfThisThread();
    if (!cancelled()) {
        m_pConnection = m_factory(connectionString, error);
        // Before it connects: a login that waits is cancelled too.
        if (m_pConnection)
            m_cancelRegistration = std::make_unique<CancellableWork::Registration>(m_work, *m_pConnection);
    }
    if (!m_pConnection || !m_pConnection->open(connectionString, error) || cancelled()) {
        SetComError(error);
        ReleaseClient();
        return false;
    }
    return true;
}

bool CAdoDatabase::Disconnect()
{
    CloseRecordset();
    m_bInTransaction = false;
    m_liveColumns.clear();
    m_codePages.clear();
    if (!m_pConnection || !m_pConnection->isOpen())
        return true;
    DbError error;
    if (m_pConnection->close(error))
        return true;
    SetComError(error);
    return false;
}

void CAdoDatabase::close()
{
    Disconnect();
    m_pRecordset.reset();
    ReleaseClient();
    m_bClosed = true;
}

bool CAdoDatabase::execute(const QString& sql, qint64* rowsAffected)
{
    m_lastError.clear();
    DbError error;
    DbClient* client = ConnectedClient(error);
    qint64 rows = 0;
    if (client && client->execute(sql, rows, error)) {
        if (rowsAffected)
            *rowsAffected = rows;
        return true;
    }
    SetComError(error);
    return false;
}

void CAdoDatabase::CloseRecordset()
{
    m_pRecordset.reset();
}

bool CAdoDatabase::OpenRecordset(const QString& sql)
{
    CloseRecordset();
    m_lastError.clear();
    DbError error;
    DbClient* client = ConnectedClient(error);
    if (client)
        m_pRecordset = client->openCursor(sql, error);
    if (m_pRecordset)
        return true;
    SetComError(error);
    return false;
}

bool CAdoDatabase::Query(const QString& sql, TextTable* table)
{
    return ForEachRow(sql, [table](TextRow& row) { table->append(std::move(row)); });
}

bool CAdoDatabase::QueryColumn(const QString& sql, QStringList* values)
{
    return ForEachRow(sql, [values](TextRow& row) { values->append(std::move(row.first())); });
}

bool CAdoDatabase::ForEachRow(const QString& sql, const RowHandler& onRow)
{
    if (!OpenRecordset(sql))
        return false;
    // After a failure while reading, the rows handed over so far stay with the caller; the
    // error is recorded like any other, since callers show lastError() and it must say what
    // failed.
    DbError error;
    const int fieldCount = m_pRecordset->fieldCount();
    TextRow row;
    while (!m_pRecordset->atEnd()) {
        row.clear();
        row.reserve(fieldCount);
        for (int field = 0; field < fieldCount; ++field) {
            DbValue value;
            if (!m_pRecordset->readValue(field, value, error)) {
                SetComError(error);
                return false;
            }
            row.append(textOf(std::move(value)));
        }
        if (!m_pRecordset->moveNext(error)) {
            SetComError(error);
            return false;
        }
        onRow(row);
    }
    return true;
}

const SqlDialect& CAdoDatabase::dialect() const
{
    return m_pConnection ? m_pConnection->dialect() : transactSqlDialect();
}

QString CAdoDatabase::textLiteral(const QString& text) const
{
    return dialect().textLiteral(text);
}

QString CAdoDatabase::EqualsCondition(const QString& column, int type, const QString& value) const
{
    QString literal = value;
    FormatSqlLiteral(type, literal);
    return kindOfType(type) == ValueKind::Text ? dialect().textEquals(column, literal)
                                               : column + QLatin1Char('=') + literal;
}

bool CAdoDatabase::RunOnClient(bool (DbClient::*operation)(DbError&), AfterCancel afterCancel)
{
    m_lastError.clear();
    DbError error;
    DbClient* client = afterCancel == AfterCancel::Runs ? OpenClient(error) : ConnectedClient(error);
    if (client && (client->*operation)(error))
        return true;
    SetComError(error);
    return false;
}

bool CAdoDatabase::BeginTrans()
{
    const bool begun = RunOnClient(&DbClient::beginTransaction);
    m_bInTransaction = m_bInTransaction || begun;
    return begun;
}

// A transaction that failed to end is still open, for a rollback after a failed commit.
bool CAdoDatabase::CommitTrans()
{
    const bool ended = RunOnClient(&DbClient::commitTransaction);
    m_bInTransaction = m_bInTransaction && !ended;
    return ended;
}

bool CAdoDatabase::RollbackTrans()
{
    // Also after a cancel: it takes back what the cancelled work wrote.
    const bool ended = RunOnClient(&DbClient::rollbackTransaction, AfterCancel::Runs);
    m_bInTransaction = m_bInTransaction && !ended;
    return ended;
}

bool CAdoDatabase::Savepoint(const QString& name)
{
    return execute(dialect().savepointStatement(name));
}

bool CAdoDatabase::RollbackToSavepoint(const QString& name)
{
    return execute(dialect().rollbackToSavepointStatement(name)) && ReleaseSavepoint(name);
}

bool CAdoDatabase::ReleaseSavepoint(const QString& name)
{
    const QString release = dialect().releaseSavepointStatement(name);
    return release.isEmpty() || execute(release);
}

bool CAdoDatabase::ValueRulesDecide() const
{
    return &dialect() == &sqliteDialect();
}

void RegisterDbProvider(const QString& provider, std::function<std::unique_ptr<DbClient>()> make)
{
    RegisteredProviders().insert(provider.toLower(), std::move(make));
}

std::unique_ptr<DbClient> CreateDbClient(const QString& connectionString, DbError& error)
{
    QMap<QString, QString> attributes;
    if (!parseConnectionString(connectionString, attributes)) {
        error = DbError::driverFailure(kUnparsableConnectionString);
        return nullptr;
    }
    const QString provider = attributes.value(QStringLiteral("provider"));
    if (const auto registered = RegisteredProviders().constFind(provider.toLower());
        registered != RegisteredProviders().cend())
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

#include "db/sqlite/SqliteClient.h"

#include "db/client/ConnectionString.h"
#include "db/client/SqlDialect.h"
#include "db/client/ValueText.h"
#include "db/schema/EmbeddedSchema.h"
#include "db/sqlite/SqliteCursor.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <sqlite3.h>

#include <algorithm>

namespace korvel {

namespace {

// Another program (the sqlite3 shell, a second Korvel) may hold the file for a while; a
// statement waits for it as long as SQL Server's clients wait for a statement, then fails.
constexpr qint64 kBusyTimeoutMs = 30 * 1000;
// How often the wait looks again whether the lock is free (or the wait cancelled).
constexpr int kLockPollMs = 5;

void newId(sqlite3_context* context, int, sqlite3_value**)
{
    const QByteArray guid = guidText(QUuid::createUuid()).toLatin1();
    sqlite3_result_text(context, guid.constData(), static_cast<int>(guid.size()), SQLITE_TRANSIENT);
}

// Table names are compared without regard to case, as SQL Server does; the catalogue
// view below uses the same key.
void objectId(sqlite3_context* context, int, sqlite3_value** arguments)
{
    if (sqlite3_value_type(arguments[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    QString name = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(arguments[0]))).trimmed();
    if (name.startsWith(QLatin1String("dbo."), Qt::CaseInsensitive))
        name.remove(0, 4);
    if (name.startsWith(QLatin1Char('[')) && name.endsWith(QLatin1Char(']')))
        name = name.mid(1, name.size() - 2);
    const QByteArray key = name.toLower().toUtf8();
    sqlite3_result_text(context, key.constData(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
}

// LOWER() as SQL Server has it, for letters of every script: SQLite's own lowers ASCII
// letters only. ASCII texts, nearly all, are lowered in place, without UTF-16.
void lower(sqlite3_context* context, int, sqlite3_value** arguments)
{
    if (sqlite3_value_type(arguments[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(arguments[0]));
    QByteArray lowered(text, sqlite3_value_bytes(arguments[0]));
    if (std::all_of(lowered.cbegin(), lowered.cend(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                       [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    else
        lowered = QString::fromUtf8(lowered).toLower().toUtf8();
    sqlite3_result_text(context, lowered.constData(), static_cast<int>(lowered.size()), SQLITE_TRANSIENT);
}

constexpr const char* kCatalogueView =
    "CREATE TEMP VIEW syscolumns AS "
    "SELECT p.name AS name, lower(m.name) AS id, p.cid + 1 AS colid "
    "FROM sqlite_master AS m JOIN pragma_table_info(m.name) AS p "
    "WHERE m.type IN ('table', 'view')";

QString sqliteFailure(sqlite3* db)
{
    return QStringLiteral("创建数据库失败：") + QString::fromUtf8(sqlite3_errmsg(db));
}

bool executeSql(sqlite3* db, const QByteArray& sql, QString& error)
{
    if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK)
        return true;
    error = sqliteFailure(db);
    return false;
}

bool filledBy(const EmbeddedDatabaseFiller& fill, sqlite3* db, QString& error)
{
    if (!fill)
        return true;
    const Outcome filled = fill(db);
    error = filled.message();
    return filled.ok();
}

// Fills an empty file with the schema and what `fill` adds.
bool buildDatabase(const QString& path, const EmbeddedDatabaseFiller& fill, QString& error)
{
    // Only this thread uses the connection.
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        error = db ? sqliteFailure(db) : QStringLiteral("创建数据库失败：内存不足");
        sqlite3_close(db);
        return false;
    }
    // The file is a temporary one until it is complete and is thrown away on any failure,
    // so it needs no rollback journal. One transaction keeps the schema and the data
    // together and syncs the file once, at the commit; a large page cache keeps the
    // indexes of a large demo in memory until then. Foreign keys stay unchecked, as
    // SQLite's default is: the demo data satisfies them by construction (the tests check
    // it), and checking each of its rows would cost a sixth of the time.
    bool built = executeSql(db, "PRAGMA journal_mode=OFF; PRAGMA cache_size=-262144; BEGIN", error) &&
                 executeSql(db, embeddedSchemaSql().toUtf8(), error) &&
                 filledBy(fill, db, error) &&
                 executeSql(db, "COMMIT", error);
    if (sqlite3_close(db) != SQLITE_OK && built) {
        error = sqliteFailure(db);
        built = false;
    }
    return built;
}

} // namespace

SqliteClient::~SqliteClient()
{
    DbError ignored;
    (void)close(ignored);
}

bool SqliteClient::open(const QString& connectionString, DbError& error)
{
    if (!close(error))
        return false;
    QMap<QString, QString> attributes;
    if (!parseConnectionString(connectionString, attributes)) {
        error = DbError::driverFailure(kUnparsableConnectionString);
        return false;
    }
    const QString path = attributes.value(QStringLiteral("data source"));
    // A "file:" URI names a database SQLite's way (an in-memory one shared by the
    // connections of a process, for one); a plain path must name an existing file, so
    // that a wrong setting never creates an empty database.
    const bool uri = path.startsWith(QLatin1String("file:"));
    if (!uri && (path.isEmpty() || !QFileInfo(path).isFile())) {
        error = DbError::driverFailure(QStringLiteral("数据库文件不存在：%1").arg(path));
        return false;
    }
    // One connection is used by one thread at a time, so SQLite need not lock it on every
    // call.
    sqlite3* db = nullptr;
    const int result = sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (uri ? SQLITE_OPEN_URI : 0),
                                       nullptr);
    {
        const std::lock_guard<std::mutex> lock(m_cancelLock);
        m_db = db;
    }
    if (result != SQLITE_OK) {
        error = m_db ? lastError() : DbError::driverFailure(QString::fromUtf8(sqlite3_errstr(result)));
        closeUnopened();
        return false;
    }
    sqlite3_busy_handler(m_db, waitForLock, this);
    if (!installTransactSqlSupport(error) || !m_rules.install(m_db)) {
        if (error.code == 0)
            error = lastError();
        closeUnopened();
        return false;
    }
    return true;
}

// As sqlite3_busy_timeout waits, but given up at once when cancelled.
int SqliteClient::waitForLock(void* client, int attempt)
{
    auto* self = static_cast<SqliteClient*>(client);
    if (attempt == 0)
        self->m_lockWait.start();
    if (self->m_cancelled || self->m_lockWait.hasExpired(kBusyTimeoutMs))
        return 0;
    sqlite3_sleep(kLockPollMs);
    return 1;
}

void SqliteClient::cancel()
{
    const std::lock_guard<std::mutex> lock(m_cancelLock);
    m_cancelled = true;
    if (m_db)
        sqlite3_interrupt(m_db);
}

bool SqliteClient::installTransactSqlSupport(DbError& error)
{
    const bool installed =
        sqlite3_create_function_v2(m_db, "NEWID", 0, SQLITE_UTF8, nullptr, newId, nullptr, nullptr, nullptr) ==
            SQLITE_OK &&
        sqlite3_create_function_v2(m_db, "object_id", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, objectId,
                                   nullptr, nullptr, nullptr) == SQLITE_OK &&
        sqlite3_create_function_v2(m_db, "lower", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, lower, nullptr,
                                   nullptr, nullptr) == SQLITE_OK &&
        sqlite3_exec(m_db, kCatalogueView, nullptr, nullptr, nullptr) == SQLITE_OK;
    if (!installed)
        error = lastError();
    return installed;
}

bool SqliteClient::isOpen() const
{
    return m_db != nullptr;
}

bool SqliteClient::close(DbError& error)
{
    if (!m_db)
        return true;
    m_rules.release();
    const std::lock_guard<std::mutex> lock(m_cancelLock);
    // close_v2 defers the close until any statement still open is finalized.
    const int result = sqlite3_close_v2(m_db);
    if (result != SQLITE_OK) {
        error = lastError();
        return false;
    }
    m_db = nullptr;
    return true;
}

void SqliteClient::closeUnopened()
{
    m_rules.release();
    const std::lock_guard<std::mutex> lock(m_cancelLock);
    sqlite3_close_v2(m_db);
    m_db = nullptr;
}

bool SqliteClient::checkOpen(DbError& error) const
{
    if (m_db)
        return true;
    error = DbError::missingObject();
    return false;
}

DbError SqliteClient::lastError() const
{
    return DbError::driverFailure(QString::fromUtf8(sqlite3_errmsg(m_db)));
}

bool SqliteClient::execute(const QString& sql, qint64& rowsChanged, DbError& error)
{
    StatementBatch batch;
    if (!startBatch(sql, batch, error))
        return false;
    // The total over the whole batch: changes() would count its last statement only.
    const sqlite3_int64 before = sqlite3_total_changes64(m_db);
    sqlite3_stmt* statement = nullptr;
    while (nextStatement(batch, statement, error)) {
        if (!statement) {
            rowsChanged = sqlite3_total_changes64(m_db) - before;
            return true;
        }
        const int result = stepToEnd(statement);
        sqlite3_finalize(statement);
        if (result != SQLITE_DONE) {
            error = lastError();
            return false;
        }
    }
    return false;
}

bool SqliteClient::run(const char* sql, DbError& error)
{
    qint64 ignored = 0;
    return execute(QString::fromLatin1(sql), ignored, error);
}

std::unique_ptr<DbCursor> SqliteClient::openCursor(const QString& sql, DbError& error)
{
    StatementBatch batch;
    if (!startBatch(sql, batch, error))
        return nullptr;
    // A batch runs up to its first statement that has a result: that result is the cursor's.
    sqlite3_stmt* statement = nullptr;
    while (nextStatement(batch, statement, error)) {
        if (!statement) // nothing in the batch has a result
            return std::make_unique<SqliteCursor>(nullptr, false);
        if (sqlite3_column_count(statement) == 0) {
            const int result = stepToEnd(statement);
            sqlite3_finalize(statement);
            if (result != SQLITE_DONE)
                break;
            continue;
        }
        if (!batch.rest().trimmed().isEmpty()) {
            sqlite3_finalize(statement);
            error = DbError::driverFailure(QStringLiteral("嵌入式数据库不执行结果集之后的语句"));
            return nullptr;
        }
        const int result = sqlite3_step(statement);
        if (result == SQLITE_ROW || result == SQLITE_DONE)
            return std::make_unique<SqliteCursor>(statement, result == SQLITE_ROW);
        sqlite3_finalize(statement);
        break;
    }
    if (error.code == 0)
        error = lastError();
    return nullptr;
}

bool SqliteClient::executeWithBinary(const QString& sql, const QByteArray& bytes, qint64& rowsChanged,
                                     DbError& error)
{
    StatementBatch batch;
    if (!startBatch(sql, batch, error))
        return false;
    sqlite3_stmt* statement = nullptr;
    if (!nextStatement(batch, statement, error))
        return false;
    const bool done = statement &&
                      sqlite3_bind_blob64(statement, 1, bytes.constData(), static_cast<sqlite3_uint64>(bytes.size()),
                                          SQLITE_STATIC) == SQLITE_OK &&
                      sqlite3_step(statement) == SQLITE_DONE;
    if (done)
        rowsChanged = sqlite3_changes64(m_db);
    else
        error = statement ? lastError() : DbError::driverFailure(QStringLiteral("没有要执行的语句"));
    sqlite3_finalize(statement);
    return done;
}

bool SqliteClient::startBatch(const QString& sql, StatementBatch& batch, DbError& error) const
{
    if (!checkOpen(error))
        return false;
    batch.text = dialect().fromTransactSql(sql).toUtf8();
    batch.next = batch.text.constData();
    return true;
}

bool SqliteClient::nextStatement(StatementBatch& batch, sqlite3_stmt*& statement, DbError& error)
{
    statement = nullptr;
    const char* end = batch.text.constData() + batch.text.size();
    while (batch.next < end) {
        const char* tail = nullptr;
        if (!prepare(batch.next, end, statement, tail, error))
            return false;
        // A statement that writes compiles the value rules' triggers into itself: they
        // must be there, and fit the tables that the statements before it may have made.
        if (statement && !sqlite3_stmt_readonly(statement) && m_rules.stale()) {
            sqlite3_finalize(statement);
            statement = nullptr;
            if (!m_rules.refresh()) {
                error = lastError();
                return false;
            }
            if (!prepare(batch.next, end, statement, tail, error))
                return false;
        }
        batch.next = tail;
        if (statement) // only blanks or a comment give none
            return true;
    }
    return true;
}

bool SqliteClient::prepare(const char* text, const char* end, sqlite3_stmt*& statement, const char*& tail,
                           DbError& error)
{
    if (sqlite3_prepare_v2(m_db, text, static_cast<int>(end - text), &statement, &tail) == SQLITE_OK)
        return true;
    error = lastError();
    sqlite3_finalize(statement);
    statement = nullptr;
    return false;
}

int SqliteClient::stepToEnd(sqlite3_stmt* statement)
{
    int result = SQLITE_ROW;
    while ((result = sqlite3_step(statement)) == SQLITE_ROW) {
    }
    return result;
}

bool SqliteClient::beginTransaction(DbError& error)
{
    // Every transaction of the program writes. Taking the write lock at once lets the busy
    // wait apply: a transaction that read first and then writes cannot wait for another
    // writer (each would wait for the other) and fails at once with "database is locked".
    return run("BEGIN IMMEDIATE", error);
}

bool SqliteClient::commitTransaction(DbError& error)
{
    return run("COMMIT", error);
}

bool SqliteClient::rollbackTransaction(DbError& error)
{
    m_rules.forget();
    return run("ROLLBACK", error);
}

const SqlDialect& SqliteClient::dialect() const
{
    return sqliteDialect();
}

Outcome createEmbeddedDatabase(const QString& path, const EmbeddedDatabaseFiller& fill)
{
    const QFileInfo target(path);
    if (target.exists() || target.isSymLink())
        return Outcome::failure(QStringLiteral("文件已存在，未作任何改动：%1").arg(path));

    QTemporaryFile temporary(target.absoluteFilePath() + QStringLiteral(".part-XXXXXX"));
    if (!temporary.open())
        return Outcome::failure(QStringLiteral("无法创建数据库文件：%1（%2）").arg(path, temporary.errorString()));
    temporary.close();
    // A temporary file is private to its owner; the database is a file like any other.
    temporary.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                             QFileDevice::ReadOther);
    QString error;
    if (!buildDatabase(temporary.fileName(), fill, error))
        return Outcome::failure(error);
    // rename never replaces an existing file, so a file that appeared meanwhile stays.
    QFile built(temporary.fileName());
    if (!built.rename(target.absoluteFilePath()))
        return Outcome::failure(QStringLiteral("无法创建数据库文件：%1（%2）")
                                            .arg(path, target.exists() ? QStringLiteral("文件已存在") : built.errorString()));
    temporary.setAutoRemove(false);
    return Outcome::success();
}

} // namespace korvel

#include "db/demo/EmbeddedDatabase.h"

#include "db/demo/DemoSeeding.h"
#include "db/schema/EmbeddedSchema.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <sqlite3.h>

namespace {

QString SqliteFailure(sqlite3* db)
{
    return QStringLiteral("创建数据库失败：") + QString::fromUtf8(sqlite3_errmsg(db));
}

bool ExecuteSql(sqlite3* db, const QByteArray& sql, QString& error)
{
    if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK)
        return true;
    error = SqliteFailure(db);
    return false;
}

// Fills an empty file with the schema and, when asked, the demo data.
bool BuildDatabase(const QString& path, const DemoOptions* demo, QString& error)
{
    // Only this thread uses the connection.
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        error = db ? SqliteFailure(db) : QStringLiteral("创建数据库失败：内存不足");
        sqlite3_close(db);
        return false;
    }
    // The file is a temporary one until it is complete and is thrown away on any failure,
    // so it needs no rollback journal. One transaction keeps the schema and the data
    // together and syncs the file once, at the commit; a large page cache keeps the
    // indexes of a large demo in memory until then. Foreign keys stay unchecked, as
    // SQLite's default is: the demo data satisfies them by construction (the tests check
    // it), and checking each row would cost a sixth of the time.
    bool built = ExecuteSql(db, "PRAGMA journal_mode=OFF; PRAGMA cache_size=-262144; BEGIN", error) &&
                 ExecuteSql(db, EmbeddedSchemaSql().toUtf8(), error) &&
                 (!demo || SeedDemoDatabase(db, DemoCountsForScale(demo->scale), error)) &&
                 ExecuteSql(db, "COMMIT", error);
    if (sqlite3_close(db) != SQLITE_OK && built) {
        error = SqliteFailure(db);
        built = false;
    }
    return built;
}

} // namespace

bool CreateEmbeddedDatabase(const QString& path, const DemoOptions* demo, QString& error)
{
    if (demo && (demo->scale < 1 || demo->scale > kMaxDemoScale)) {
        error = QStringLiteral("演示数据的规模应为1到%1之间的整数").arg(kMaxDemoScale);
        return false;
    }
    const QFileInfo target(path);
    if (target.exists() || target.isSymLink()) {
        error = QStringLiteral("文件已存在，未作任何改动：%1").arg(path);
        return false;
    }

    QTemporaryFile temporary(target.absoluteFilePath() + QStringLiteral(".part-XXXXXX"));
    if (!temporary.open()) {
        error = QStringLiteral("无法创建数据库文件：%1（%2）").arg(path, temporary.errorString());
        return false;
    }
    temporary.close();
    // A temporary file is private to its owner; the database is a file like any other.
    temporary.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                             QFileDevice::ReadOther);
    if (!BuildDatabase(temporary.fileName(), demo, error))
        return false;
    // rename never replaces an existing file, so a file that appeared meanwhile stays.
    QFile built(temporary.fileName());
    if (!built.rename(target.absoluteFilePath())) {
        error = QStringLiteral("无法创建数据库文件：%1（%2）")
                    .arg(path, target.exists() ? QStringLiteral("文件已存在") : built.errorString());
        return false;
    }
    temporary.setAutoRemove(false);
    return true;
}

// The label actions against a server across a plant's network: each timed on loopback and
// through a relay that holds data 0.5 ms and 5 ms each way (a round trip of 1 ms, a plant's
// LAN, and of 10 ms, a plant reaching a central server), with the statements Korvel sent
// and the round trips the relay saw. On the PostgreSQL stand-in (KORVEL_TEST_ODBC_CONNECT)
// and the SQL Server (KORVEL_TEST_SQLSERVER), whichever scripts/bench started; each action
// runs three times, its median and spread printed.

#include "config/ConnectionSettings.h"
#include "db/Database.h"
#include "db/client/ConnectionString.h"
#include "db/schema/EmbeddedSchema.h"
#include "demodata/DemoDatabase.h"
#include "labels/LabelBatch.h"
#include "labels/LabelExport.h"
#include "labels/LabelImport.h"
#include "util/MessageSink.h"

#include "bench/BenchLabel.h"
#include "bench/BenchSupport.h"
#include "tests/db/odbc/OdbcTestServer.h"
#include "tests/support/RecordingMessageSink.h"
#include "tests/support/TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUuid>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>

using namespace korvel;

namespace {

constexpr int kControls = 1000;
constexpr int kRuns = 3;
const QString kLargeLabelNo = QStringLiteral("NET-1000");

[[noreturn]] void fail(const QString& what)
{
    std::fprintf(stderr, "network benchmark failed: %s\n", qPrintable(what));
    std::exit(1);
}

class NoResolver : public DuplicateLabelResolver
{
public:
    bool resolveDuplicateLabelNo(Database&, const QString&, QString&) override { return false; }
};

// The bundles the actions carry: a label of 1,000 controls with an item each, and the 40
// labels of the demo database, each as export --all writes it.
class Bundles
{
public:
    Bundles()
    {
        const QString source = m_dir.filePath(QStringLiteral("large.db"));
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(source).constData(), &db);
        execOrExit(db, embeddedSchemaSql().toUtf8());
        execOrExit(db, "BEGIN");
        seedLargeLabel(db, kLargeLabelNo, kControls, 1);
        execOrExit(db, "COMMIT");
        sqlite3_close(db);
        if (const Outcome exported =
                exportLabel(QStringLiteral("Provider=sqlite;Data Source=%1;").arg(source), kLargeLabelNo, large());
            !exported)
            fail(exported.message());

        const QString demo = m_dir.filePath(QStringLiteral("demo.db"));
        if (const Outcome created = createDemoDatabase(demo, DemoOptions()); !created)
            fail(created.message());
        Database database;
        if (!database.open(QStringLiteral("Provider=sqlite;Data Source=%1;").arg(demo)))
            fail(database.lastError());
        const Result<QList<LabelCounts>> labels = listLabels(database);
        QStringList labelNos;
        for (const LabelCounts& label : labels.value)
            labelNos.append(label.labelNo);
        if (const auto exported = exportLabels(database, labelNos, folder(), [](qsizetype, qsizetype, const QString&) {});
            !labels || !exported)
            fail(labels.message() + exported.message());
        for (const QString& name : QDir(folder()).entryList(QDir::Files, QDir::Name))
            m_demo.append(QDir(folder()).filePath(name));
    }

    QString large() const { return m_dir.filePath(QStringLiteral("large.bq")); }
    QString exported() const { return m_dir.filePath(QStringLiteral("exported.bq")); }
    const QStringList& demo() const { return m_demo; }

private:
    QString folder() const { return m_dir.filePath(QStringLiteral("demo")); }

    QTemporaryDir m_dir;
    QStringList m_demo;
};

// A server the benchmark runs on: its connection strings, a database of the benchmark's
// own with Korvel's tables, dropped at the end.
class BenchServer
{
public:
    virtual ~BenchServer() = default;
    virtual QString name() const = 0;
    // The port the server listens on, which the relay passes data to.
    virtual quint16 port() const = 0;
    // The benchmark database through the port given.
    virtual QString connectionString(quint16 port) const = 0;

    void createDatabase()
    {
        m_database = QStringLiteral("korvel_bench_%1").arg(QUuid::createUuid().toString(QUuid::Id128));
        runOrFail(adminConnection(), createStatement());
        if (!schemaScript().isEmpty())
            runOrFail(connectionString(port()), schemaScript());
    }
    void dropDatabase() { runOrFail(adminConnection(), QStringLiteral("drop database %1").arg(m_database)); }
    void emptyLabelTables()
    {
        runOrFail(connectionString(port()),
                  QStringLiteral("delete from tblLabelControlItem; delete from tblLabelControls; delete from tblLabelInfo"));
    }

protected:
    virtual QString adminConnection() const = 0;
    virtual QString createStatement() const = 0;
    virtual QString schemaScript() const = 0;

    QString m_database;

private:
    static void runOrFail(const QString& connection, const QString& sql)
    {
        Database database;
        if (!database.open(connection) || !database.execute(sql))
            fail(sql.left(80) + QStringLiteral(": ") + database.lastError());
    }
};

class PostgreSqlServer : public BenchServer
{
public:
    explicit PostgreSqlServer(QString connect) : m_connect(std::move(connect)) {}
    QString name() const override { return QStringLiteral("PostgreSQL stand-in (psqlODBC)"); }
    quint16 port() const override { return attribute(QStringLiteral("port")).toUShort(); }
    QString connectionString(quint16 port) const override
    {
        return withAttribute(withAttribute(m_connect, QStringLiteral("Database"), m_database), QStringLiteral("Port"),
                             QString::number(port));
    }

protected:
    QString adminConnection() const override { return m_connect; }
    // scripts/postgres loads the schema into this template.
    QString createStatement() const override
    {
        return QStringLiteral("create database %1 template korvel_schema").arg(m_database);
    }
    QString schemaScript() const override { return QString(); }

private:
    QString attribute(const QString& keyword) const
    {
        QMap<QString, QString> attributes;
        (void)parseConnectionString(m_connect, attributes);
        return attributes.value(keyword);
    }
    QString m_connect;
};

class SqlServer : public BenchServer
{
public:
    explicit SqlServer(ConnectionSettings settings) : m_settings(std::move(settings)) {}
    QString name() const override { return QStringLiteral("T-SQL server (FreeTDS)"); }
    quint16 port() const override { return m_settings.hostName.section(QLatin1Char(','), 1).toUShort(); }
    QString connectionString(quint16 port) const override
    {
        ConnectionSettings settings = m_settings;
        settings.hostName = QStringLiteral("127.0.0.1,%1").arg(port);
        settings.dataName = m_database;
        return buildConnectionString(settings);
    }

protected:
    QString adminConnection() const override { return buildConnectionString(m_settings); }
    QString createStatement() const override { return QStringLiteral("create database %1").arg(m_database); }
    QString schemaScript() const override
    {
        return QString::fromUtf8(readTestFile(QStringLiteral(KORVEL_SCHEMA_DIR "/sqlserver.sql")));
    }

private:
    ConnectionSettings m_settings;
};

// The relay, a program of its own: the program measured shares its process with nothing.
class Relay
{
public:
    Relay(quint16 targetPort, std::chrono::microseconds oneWay)
    {
        m_process.start(QStringLiteral(KORVEL_LATENCY_PROXY_PATH),
                        {QString::number(targetPort), QString::number(oneWay.count())});
        m_port = readLine().toUShort();
        if (m_port == 0)
            fail(QStringLiteral("the relay did not start"));
    }
    ~Relay()
    {
        m_process.closeWriteChannel();
        m_process.waitForFinished();
    }
    quint16 port() const { return m_port; }
    qint64 roundTrips()
    {
        m_process.write("\n");
        return readLine().toLongLong();
    }

private:
    QByteArray readLine()
    {
        while (!m_process.canReadLine()) {
            if (!m_process.waitForReadyRead(10000))
                fail(QStringLiteral("the relay does not answer"));
        }
        return m_process.readLine().trimmed();
    }

    QProcess m_process;
    quint16 m_port = 0;
};

// What one run of an action cost.
struct Cost
{
    double seconds = 0;
    qint64 statements = 0;
    qint64 roundTrips = 0;
};

// An action as korvelctl runs it: its own connection, opened first.
using Action = std::function<bool(Database& database, MessageSink& messages)>;

Cost measure(const QString& connection, Relay* relay, const Action& action)
{
    const qint64 roundTripsBefore = relay ? relay->roundTrips() : 0;
    QElapsedTimer timer;
    timer.start();
    Database database;
    RecordingMessageSink messages;
    if (!database.open(connection) || !action(database, messages))
        fail(database.lastError() + messages.warnings.join(QLatin1Char('|')));
    database.close();
    Cost cost;
    cost.seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    cost.statements = database.statementsSent();
    cost.roundTrips = relay ? relay->roundTrips() - roundTripsBefore : -1;
    return cost;
}

struct NamedAction
{
    const char* name;
    Action action;
    bool imports;       // the label tables are emptied after it
    qsizetype bundles;  // the imports it makes, each allowed 20 round trips at 10 ms
};

// One network: the relay's delay each way, none for loopback.
struct Network
{
    const char* name;
    std::chrono::microseconds oneWay;
};

const Network kNetworks[] = {
    {"loopback", std::chrono::microseconds(0)},
    {"1 ms RTT", std::chrono::microseconds(500)},
    {"10 ms RTT", std::chrono::microseconds(5000)},
};

// The median, least and most of a figure over the runs.
struct Spread
{
    double median;
    double least;
    double most;
};

Spread spreadOf(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values.first(), values.last()};
}

void runOn(BenchServer& server, const Bundles& bundles)
{
    server.createDatabase();
    const QList<NamedAction> actions = {
        {"import of a label of 1,000 controls",
         [&bundles](Database& database, MessageSink& messages) {
             NoResolver resolver;
             return shownIn(messages, importBundleFile(database, bundles.large(), resolver, ImportTransaction::Own));
         },
         true, 1},
        {"import of the 40 demo bundles",
         [&bundles](Database& database, MessageSink& messages) {
             const QList<BatchOutcome> outcomes =
                 importLabels(database, bundles.demo(), [](qsizetype, qsizetype, const QString&) {});
             for (const BatchOutcome& outcome : outcomes) {
                 if (!outcome.reason.isEmpty())
                     messages.showWarning(outcome.name + QStringLiteral("：") + outcome.reason);
             }
             return outcomes.size() == bundles.demo().size();
         },
         true, bundles.demo().size()},
        {"export of the label of 1,000 controls",
         [&bundles](Database& database, MessageSink& messages) {
             const Outcome exported =
                 exportLabelTo(database, kLargeLabelNo, bundles.exported(), LinkAtTarget::WriteThrough);
             messages.showWarning(exported.message());
             return exported.ok();
         },
         false, 0},
        {"labels",
         [](Database& database, MessageSink& messages) {
             const Result<QList<LabelCounts>> labels = listLabels(database);
             messages.showWarning(labels.message());
             return labels.ok();
         },
         false, 0},
    };

    // costs[action][network]: one per run.
    QList<QList<QList<Cost>>> costs(actions.size(), QList<QList<Cost>>(std::size(kNetworks)));
    for (std::size_t n = 0; n < std::size(kNetworks); ++n) {
        std::optional<Relay> relay;
        if (kNetworks[n].oneWay.count() > 0)
            relay.emplace(server.port(), kNetworks[n].oneWay);
        const QString connection = server.connectionString(relay ? relay->port() : server.port());
        for (int run = 0; run < kRuns; ++run) {
            // The export and the labels find the labels the imports before them brought.
            for (qsizetype a = 0; a < actions.size(); ++a)
                costs[a][n].append(measure(connection, relay ? &*relay : nullptr, actions[a].action));
            server.emptyLabelTables();
        }
    }

    std::printf("\n== %s: the median of %d runs (least-most), statements and round trips of one run\n",
                qPrintable(server.name()), kRuns);
    std::printf("%-40s %-10s %10s %19s %11s %11s\n", "action", "network", "seconds", "spread", "statements",
                "round trips");
    for (qsizetype a = 0; a < actions.size(); ++a) {
        QList<Spread> times;
        for (std::size_t n = 0; n < std::size(kNetworks); ++n) {
            QList<double> seconds;
            for (const Cost& cost : costs[a][n])
                seconds.append(cost.seconds);
            times.append(spreadOf(seconds));
            const Cost& last = costs[a][n].last();
            std::printf("%-40s %-10s %10.3f %9.3f-%-9.3f %11lld %11s\n", n == 0 ? actions[a].name : "",
                        kNetworks[n].name, times[n].median, times[n].least, times[n].most,
                        static_cast<long long>(last.statements),
                        last.roundTrips < 0 ? "" : qPrintable(QString::number(last.roundTrips)));
        }
        if (!actions[a].imports)
            continue;
        // The targets: at 1 ms a label within 1.5x of loopback, a batch of bundles within 2x;
        // at 10 ms each import within its loopback time and 20 round trips.
        const double lanLimit = (actions[a].bundles == 1 ? 1.5 : 2.0) * times[0].median;
        const double farLimit = times[0].median + 0.010 * 20 * static_cast<double>(actions[a].bundles);
        std::printf("%-40s 1 ms %.3f s, limit %.3f s %s; 10 ms %.3f s, limit %.3f s %s\n", "", times[1].median,
                    lanLimit, times[1].median <= lanLimit ? "ok" : "OVER", times[2].median, farLimit,
                    times[2].median <= farLimit ? "ok" : "OVER");
    }
    server.dropDatabase();
}

} // namespace

int main(int argc, char** argv)
{
    setUpAsThePrograms();
    // Each server's table as soon as it is measured: the far network takes minutes.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QCoreApplication application(argc, argv);
    std::vector<std::unique_ptr<BenchServer>> servers;
    if (const QString connect = testServerConnectionString(); !connect.isEmpty())
        servers.push_back(std::make_unique<PostgreSqlServer>(connect));
    if (const std::optional<ConnectionSettings> settings = sqlServerTestSettings())
        servers.push_back(std::make_unique<SqlServer>(*settings));
    if (servers.empty()) {
        std::printf("no server: set KORVEL_TEST_ODBC_CONNECT or KORVEL_TEST_SQLSERVER (scripts/bench starts both)\n");
        return 0;
    }
    const Bundles bundles;
    for (const auto& server : servers)
        runOn(*server, bundles);
    return 0;
}

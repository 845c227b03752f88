#include "db/CAdoDatabase.h"

#include "db/DbClientFactory.h"
#include "db/SqlLiteral.h"
#include "db/client/AdoTypes.h"
#include "db/client/SqlDialect.h"
#include "util/HexText.h"

#include <QRegularExpression>

namespace {

QString TextOf(const DbValue& value)
{
    switch (value.kind) {
    case DbValue::Kind::Null: return QString();
    case DbValue::Kind::Bytes: return BytesToHex(value.bytes);
    case DbValue::Kind::Text: return value.text;
    }
    return QString();
}

// The long binary pass names the row by a SELECT of the one field; the bytes go in as a
// bound parameter of the UPDATE that the SELECT describes.
bool UpdateFromSelect(const QString& select, QString& update)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*select\\s+(.+?)\\s+from\\s+(.+?)\\s+where\\s+(.+)$"),
                                            QRegularExpression::CaseInsensitiveOption |
                                                QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = pattern.match(select);
    if (!match.hasMatch())
        return false;
    update = QStringLiteral("update %1 set %2=? where %3").arg(match.captured(2), match.captured(1), match.captured(3));
    return true;
}

bool IsLiveColumn(const QMap<QString, int>& positions, const QString& name)
{
    for (auto column = positions.keyBegin(); column != positions.keyEnd(); ++column) {
        if (column->compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// A column name as it stands in a statement: plain names as they are, any other quoted
// as standard SQL quotes identifiers, which every engine here reads (a live column may be
// called "Font Size").
QString ColumnIdentifier(const QString& name)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (plain.match(name).hasMatch())
        return name;
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

} // namespace

CAdoDatabase::CAdoDatabase() : CAdoDatabase(CreateDbClient) {}

CAdoDatabase::CAdoDatabase(DbClientFactory factory) : m_factory(std::move(factory)) {}

CAdoDatabase::~CAdoDatabase()
{
    Close();
}

void CAdoDatabase::SetComError(const DbError& error)
{
    m_strError = QStringLiteral("ADO 错误：0x%1，%2")
                     .arg(QString::asprintf("%8x", error.code), error.description.value_or(QStringLiteral("(null)")));
}

DbClient* CAdoDatabase::ConnectedClient(DbError& error) const
{
    if (m_pConnection && m_pConnection->IsOpen())
        return m_pConnection.get();
    error = DbError::MissingObject();
    return nullptr;
}

bool CAdoDatabase::Open(const QString& connectionString)
{
    Disconnect();
    DbError error = DbError::MissingObject();
    if (m_bClosed) {
        SetComError(error);
        return false;
    }
    // The provider may differ from the last Open's, and with it the client.
    m_pConnection.reset();
    std::unique_ptr<DbClient> client = m_factory(connectionString, error);
    if (!client || !client->Open(connectionString, error)) {
        SetComError(error);
        return false;
    }
    m_pConnection = std::move(client);
    return true;
}

bool CAdoDatabase::Disconnect()
{
    CloseRecordset();
    if (!m_pConnection || !m_pConnection->IsOpen())
        return true;
    DbError error;
    if (m_pConnection->Close(error))
        return true;
    SetComError(error);
    return false;
}

void CAdoDatabase::Close()
{
    Disconnect();
    m_pRecordset.reset();
    m_pConnection.reset();
    m_bClosed = true;
}

bool CAdoDatabase::Execute(const QString& sql, qint64* rowsAffected)
{
    DbError error;
    DbClient* client = ConnectedClient(error);
    qint64 rows = 0;
    if (client && client->Execute(sql, rows, error)) {
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
    DbError error;
    DbClient* client = ConnectedClient(error);
    if (client)
        m_pRecordset = client->OpenCursor(sql, error);
    if (m_pRecordset)
        return true;
    SetComError(error);
    return false;
}

bool CAdoDatabase::Query(const QString& sql, TextTable* table)
{
    if (!OpenRecordset(sql))
        return false;
    // After a failure while reading, the rows read so far stay in the table; the error is
    // recorded like any other, since callers show m_strError and it must say what failed.
    DbError error;
    const int fieldCount = m_pRecordset->FieldCount();
    while (!m_pRecordset->AtEnd()) {
        TextRow row;
        row.reserve(fieldCount);
        for (int field = 0; field < fieldCount; ++field) {
            DbValue value;
            if (!m_pRecordset->ReadValue(field, value, error)) {
                SetComError(error);
                return false;
            }
            row.append(TextOf(value));
        }
        if (!m_pRecordset->MoveNext(error)) {
            SetComError(error);
            return false;
        }
        table->append(std::move(row));
    }
    return true;
}

bool CAdoDatabase::ProbeColumns(const QString& tableName)
{
    if (!tableName.isEmpty())
        (void)OpenRecordset(QStringLiteral("select top 1 * from %1").arg(tableName));
    return m_pRecordset != nullptr;
}

int CAdoDatabase::GetColumnType(const QString& column, const QString& tableName)
{
    if (!ProbeColumns(tableName))
        return -1;
    for (int field = 0; field < m_pRecordset->FieldCount(); ++field) {
        if (m_pRecordset->FieldName(field).compare(column, Qt::CaseInsensitive) == 0)
            return m_pRecordset->FieldType(field);
    }
    return 0;
}

void CAdoDatabase::GetColumnTypes(QMap<QString, int>& types, const QString& tableName)
{
    if (!ProbeColumns(tableName))
        return;
    for (int field = 0; field < m_pRecordset->FieldCount(); ++field) {
        const QString name = m_pRecordset->FieldName(field);
        if (!types.contains(name))
            types.insert(name, m_pRecordset->FieldType(field));
    }
}

void CAdoDatabase::GetColumnIndexes(QMap<QString, int>& indexes, const QString& tableName)
{
    if (!ProbeColumns(tableName))
        return;
    for (int field = 0; field < m_pRecordset->FieldCount(); ++field) {
        const QString name = m_pRecordset->FieldName(field);
        if (!indexes.contains(name))
            indexes.insert(name, field);
    }
}

const SqlDialect& CAdoDatabase::Dialect() const
{
    return m_pConnection ? m_pConnection->Dialect() : TransactSqlDialect();
}

void CAdoDatabase::FormatSqlLiteral(int type, QString& value) const
{
    value = SqlLiteralForType(type, value, Dialect());
}

QString CAdoDatabase::TextLiteral(const QString& text) const
{
    return Dialect().TextLiteral(text);
}

bool CAdoDatabase::InsertRows(TextTable* table, const QString& tableName, const QList<int>* skip,
                              const QString& keyColumn, qsizetype* failedRow)
{
    qsizetype unused = 0;
    qsizetype& failed = failedRow ? *failedRow : unused;
    failed = 0;
    const QList<int> skipped = skip ? *skip : QList<int>();
    const TextRow header = table->value(0);

    QMap<QString, int> types;
    QMap<QString, int> positions;
    GetColumnTypes(types, tableName);
    GetColumnIndexes(positions, QString());

    // The header comes from outside (a label bundle): only names of the live table's
    // columns may stand in a statement.
    if (table->size() > 1) {
        for (int j = 0; j < header.size(); ++j) {
            if (!skipped.contains(j) && !IsLiveColumn(positions, header[j])) {
                // Without any column the probe failed, and its error says why.
                if (!positions.isEmpty())
                    SetComError(DbError::DriverFailure(QStringLiteral("列名 '%1' 无效。").arg(header[j])));
                return false;
            }
        }
    }

    QString columnList = QStringLiteral(" (");
    for (int j = 0; j < header.size(); ++j) {
        if (!skipped.contains(j))
            columnList += ColumnIdentifier(header[j]) + QLatin1Char(',');
    }
    columnList.chop(1);
    columnList += QLatin1String(") ");

    const int keyPosition = positions.value(keyColumn);
    for (int i = 1; i < table->size(); ++i) {
        TextRow& row = (*table)[i];
        QString statement = QLatin1String("insert into ") + tableName + columnList + QLatin1String(" values(");
        for (int j = 0; j < row.size(); ++j) {
            if (skipped.contains(j))
                continue;
            QString literal = row[j];
            FormatSqlLiteral(types.value(header.value(j)), literal);
            statement += literal + QLatin1Char(',');
        }
        statement.chop(1);
        statement += QLatin1Char(')');
        failed = i;
        if (!Execute(statement))
            return false;

        if (keyColumn.isEmpty())
            continue;
        TextTable key;
        if (!Query(QStringLiteral("select top 1 %1 from %2 order by %1 desc").arg(keyColumn, tableName), &key))
            return false;
        failed = 0;
        if (!key.isEmpty() && !key[0].isEmpty() && keyPosition < row.size())
            row[keyPosition] = key[0][0];
    }

    if (keyColumn.isEmpty())
        return true;
    for (int i = 1; i < table->size(); ++i) {
        const TextRow& row = table->at(i);
        for (int k = 0; k < row.size(); ++k) {
            if (types.value(header.value(k)) != adLongVarBinary)
                continue;
            QString keyLiteral = row.value(keyPosition);
            FormatSqlLiteral(types.value(keyColumn), keyLiteral);
            const QString select = QStringLiteral("select %1 from %2 where %3=%4")
                                       .arg(ColumnIdentifier(header.value(k)), tableName, keyColumn, keyLiteral);
            if (!WriteBlob(select, HexToBytes(row[k])))
                return false;
        }
    }
    return true;
}

bool CAdoDatabase::WriteBlob(const QString& select, const QByteArray& bytes)
{
    if (!OpenRecordset(select))
        return false;
    const bool hasRow = !m_pRecordset->AtEnd();
    CloseRecordset();
    // Each failure is recorded: the import shows m_strError, which must say what failed.
    DbError error = DbError::DriverFailure(QStringLiteral("写入长二进制数据失败：%1 没有选中任何行").arg(select));
    QString update;
    if (hasRow && UpdateFromSelect(select, update)) {
        qint64 rowsChanged = 0;
        DbClient* client = ConnectedClient(error);
        if (client && client->ExecuteWithBinary(update, bytes, rowsChanged, error) && rowsChanged > 0)
            return true;
    }
    SetComError(error);
    return false;
}

bool CAdoDatabase::RunOnClient(bool (DbClient::*operation)(DbError&))
{
    DbError error;
    DbClient* client = ConnectedClient(error);
    if (client && (client->*operation)(error))
        return true;
    SetComError(error);
    return false;
}

bool CAdoDatabase::BeginTrans()
{
    return RunOnClient(&DbClient::BeginTransaction);
}

bool CAdoDatabase::CommitTrans()
{
    return RunOnClient(&DbClient::CommitTransaction);
}

bool CAdoDatabase::RollbackTrans()
{
    return RunOnClient(&DbClient::RollbackTransaction);
}

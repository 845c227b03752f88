#include "db/SqlLiteral.h"

#include "db/client/SqlDialect.h"
#include "db/client/ValueRules.h"
#include "util/TextConversions.h"

#include <QRegularExpression>

namespace {

QString StoredLiteral(ValueKind kind, const QString& stored, const SqlDialect& dialect)
{
    switch (kind) {
    case ValueKind::Text:
    case ValueKind::Other: return dialect.TextLiteral(stored);
    default: break;
    }
    if (stored.isEmpty())
        return QStringLiteral("NULL");
    switch (kind) {
    case ValueKind::Integer:
    case ValueKind::Decimal:
    case ValueKind::Float: return stored;
    case ValueKind::Boolean: return dialect.BooleanLiteral(stored != QLatin1String("0"));
    case ValueKind::DateTime:
    case ValueKind::Date: return dialect.DateTimeLiteral(stored);
    case ValueKind::Binary: return dialect.BinaryLiteral(HexToBytes(stored));
    default: return SqlDialect::QuotedLiteral(stored);
    }
}

// A refused value still goes to the server, which gives its own reason: binary data too
// long for its column as binary, so that the server refuses it for its length.
QString RefusedLiteral(ValueKind kind, const QString& value, const SqlDialect& dialect)
{
    static const QRegularExpression hex(QStringLiteral("^([0-9A-Fa-f]{2})+$"));
    if (kind == ValueKind::Text)
        return dialect.TextLiteral(value);
    if (kind == ValueKind::Binary)
        return hex.match(value).hasMatch() ? dialect.BinaryLiteral(HexToBytes(value)) : SqlDialect::QuotedLiteral(value);
    return dialect.RefusedLiteral(value);
}

} // namespace

QString SqlLiteralForType(const ColumnType& type, const QString& value, const SqlDialect& dialect)
{
    const ValueKind kind = KindOfType(type.adoType);
    const StoredValue stored = StoreValue(type, value);
    return stored.accepted ? StoredLiteral(kind, stored.text, dialect) : RefusedLiteral(kind, value, dialect);
}

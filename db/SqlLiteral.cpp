#include "db/SqlLiteral.h"

#include "db/client/AdoTypes.h"
#include "db/client/GuidText.h"
#include "db/client/SqlDialect.h"
#include "util/HexText.h"

#include <QRegularExpression>

namespace {

enum class LiteralKind { Text, Boolean, Quoted, Guid, Binary, Number, Unknown };

LiteralKind KindOf(int adoType)
{
    switch (adoType) {
    case adChar:
    case adWChar:
    case adVarChar:
    case adLongVarChar:
    case adVarWChar:
    case adLongVarWChar:
        return LiteralKind::Text;
    case adBoolean:
        return LiteralKind::Boolean;
    case adDate:
    case adDBDate:
    case adDBTime:
    case adDBTimeStamp:
        return LiteralKind::Quoted;
    case adGUID:
        return LiteralKind::Guid;
    case adBinary:
    case adVarBinary:
    case adLongVarBinary:
        return LiteralKind::Binary;
    case adSmallInt:
    case adInteger:
    case adSingle:
    case adDouble:
    case adCurrency:
    case adDecimal:
    case adTinyInt:
    case adUnsignedTinyInt:
    case adUnsignedSmallInt:
    case adUnsignedInt:
    case adBigInt:
    case adUnsignedBigInt:
    case adNumeric:
    case adVarNumeric:
        return LiteralKind::Number;
    default:
        return LiteralKind::Unknown;
    }
}

bool IsPlainNumber(const QString& value)
{
    static const QRegularExpression number(QStringLiteral("^[+-]?(\\d+(\\.\\d*)?|\\.\\d+)([eE][+-]?\\d+)?$"));
    return number.match(value).hasMatch();
}

QString BooleanLiteral(const QString& value)
{
    if (value == QStringLiteral("是") || value == QLatin1String("-1") || value == QLatin1String("1") ||
        value == QLatin1String("true"))
        return QStringLiteral("1");
    if (value == QStringLiteral("否") || value == QLatin1String("0") || value == QLatin1String("false"))
        return QStringLiteral("0");
    return SqlDialect::QuotedLiteral(value); // for the server to refuse
}

} // namespace

QString SqlLiteralForType(int adoType, const QString& value, const SqlDialect& dialect)
{
    const LiteralKind kind = KindOf(adoType);
    if (kind == LiteralKind::Text || kind == LiteralKind::Unknown)
        return dialect.TextLiteral(value);
    if (value.isEmpty())
        return QStringLiteral("NULL");
    switch (kind) {
    case LiteralKind::Boolean: return BooleanLiteral(value);
    // Every engine takes a GUID in braces, and the embedded one stores what it is given:
    // one form keeps imported and native identifiers comparable.
    case LiteralKind::Guid: return SqlDialect::QuotedLiteral(CanonicalGuidText(value));
    case LiteralKind::Binary: return dialect.BinaryLiteral(HexToBytes(value));
    case LiteralKind::Number: return IsPlainNumber(value) ? value : SqlDialect::QuotedLiteral(value);
    default: return SqlDialect::QuotedLiteral(value);
    }
}

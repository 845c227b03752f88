#include "db/sqlite/SqliteTypes.h"

#include "db/client/AdoTypes.h"

#include <QHash>

namespace {

struct TypeName
{
    QString base;      // lower case, without its arguments
    QString arguments; // lower case, what stands between the parentheses
};

TypeName SplitTypeName(const QString& declaredType)
{
    const QString type = declaredType.trimmed().toLower();
    const qsizetype open = type.indexOf(QLatin1Char('('));
    if (open < 0)
        return {type.simplified(), QString()};
    const qsizetype close = type.indexOf(QLatin1Char(')'), open);
    return {type.left(open).simplified(), type.mid(open + 1, close < 0 ? -1 : close - open - 1).simplified()};
}

const QHash<QString, int>& TypeCodes()
{
    static const QHash<QString, int> codes = {
        {"int", adInteger},         {"integer", adInteger},
        {"smallint", adSmallInt},   {"tinyint", adUnsignedTinyInt},
        {"bigint", adBigInt},       {"bit", adBoolean},
        {"decimal", adNumeric},     {"numeric", adNumeric},
        {"money", adCurrency},      {"smallmoney", adCurrency},
        {"float", adDouble},        {"double", adDouble},
        {"double precision", adDouble},
        {"real", adSingle},         {"datetime", adDBTimeStamp},
        {"smalldatetime", adDBTimeStamp},
        {"uniqueidentifier", adGUID},
        {"char", adChar},           {"varchar", adVarChar},
        {"text", adLongVarChar},    {"nchar", adWChar},
        {"nvarchar", adVarWChar},   {"ntext", adLongVarWChar},
        {"xml", adLongVarWChar},    {"binary", adBinary},
        {"varbinary", adVarBinary}, {"image", adLongVarBinary},
        {"blob", adLongVarBinary},  {"timestamp", adBinary},
        {"rowversion", adBinary},   {"sql_variant", adVariant},
        // SQL Server's OLE DB provider predates these and reports them as wide text.
        {"date", adVarWChar},       {"time", adVarWChar},
        {"datetime2", adVarWChar},  {"datetimeoffset", adVarWChar},
    };
    return codes;
}

} // namespace

int AdoTypeFromDeclaredType(const QString& declaredType)
{
    const TypeName name = SplitTypeName(declaredType);
    const int code = TypeCodes().value(name.base, adEmpty);
    if (name.arguments == QLatin1String("max")) {
        switch (code) {
        case adVarChar: return adLongVarChar;
        case adVarWChar: return adLongVarWChar;
        case adVarBinary: return adLongVarBinary;
        default: break;
        }
    }
    return code;
}

int DeclaredScale(const QString& declaredType)
{
    const TypeName name = SplitTypeName(declaredType);
    if (name.base == QLatin1String("money") || name.base == QLatin1String("smallmoney"))
        return 4;
    if (name.base != QLatin1String("decimal") && name.base != QLatin1String("numeric"))
        return -1;
    const QStringList arguments = name.arguments.split(QLatin1Char(','));
    if (arguments.size() < 2)
        return 0; // SQL Server's default scale
    bool ok = false;
    const int scale = arguments[1].trimmed().toInt(&ok);
    return ok ? scale : -1;
}

#include "db/sqlite/SqliteTypes.h"

#include "db/client/DbClient.h"

#include <QHash>
#include <QStringList>

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

// Types whose size the declaration does not give: the newer date and time types are wide
// text to the provider and hold no more than their text form (0: not limited here), a row
// version is eight bytes.
const QHash<QString, int>& FixedSizes()
{
    static const QHash<QString, int> sizes = {
        {"date", 0}, {"time", 0}, {"datetime2", 0}, {"datetimeoffset", 0}, {"timestamp", 8}, {"rowversion", 8},
    };
    return sizes;
}

int NumberArgument(const QStringList& arguments, int index, int absent)
{
    bool ok = false;
    const int value = arguments.value(index).trimmed().toInt(&ok);
    return ok ? value : absent;
}

} // namespace

ColumnType ColumnTypeOfDeclaration(const QString& declaredType)
{
    const TypeName name = SplitTypeName(declaredType);
    ColumnType type{TypeCodes().value(name.base, adEmpty)};
    const QStringList arguments = name.arguments.split(QLatin1Char(','));
    const bool max = name.arguments == QLatin1String("max");
    switch (type.adoType) {
    case adVarChar:
    case adVarWChar:
    case adVarBinary:
        if (max) {
            type.adoType = type.adoType == adVarChar    ? adLongVarChar
                           : type.adoType == adVarWChar ? adLongVarWChar
                                                        : adLongVarBinary;
            break;
        }
        [[fallthrough]];
    case adChar:
    case adWChar:
    case adBinary:
        type.size = FixedSizes().value(name.base, NumberArgument(arguments, 0, 1));
        break;
    case adNumeric:
        type.size = NumberArgument(arguments, 0, 18);
        type.scale = NumberArgument(arguments, 1, 0);
        break;
    case adCurrency:
        type.size = name.base == QLatin1String("smallmoney") ? 10 : 19;
        type.scale = 4;
        break;
    case adDBTimeStamp:
        // As ODBC describes them: smalldatetime in 16 characters keeping whole minutes,
        // datetime in 23 keeping milliseconds (to a 300th of a second).
        type.size = name.base == QLatin1String("smalldatetime") ? 16 : 23;
        type.scale = name.base == QLatin1String("smalldatetime") ? 0 : 3;
        break;
    default:
        break;
    }
    return type;
}

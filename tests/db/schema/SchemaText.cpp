#include "tests/db/schema/SchemaText.h"

#include "tests/support/TestFiles.h"

#include <QRegularExpression>

namespace korvel {

QString normalisedType(const QString& declaredType)
{
    QString type = declaredType.trimmed().toLower();
    if (type.startsWith(QLatin1Char('[')) && type.endsWith(QLatin1Char(']')))
        type = type.mid(1, type.size() - 2);
    return type == QLatin1String("integer") ? QStringLiteral("int") : type;
}

SchemaTables parseSchemaTables(const QString& sql)
{
    static const QRegularExpression createTable(QStringLiteral("^CREATE TABLE (\\w+) \\($"),
                                                QRegularExpression::CaseInsensitiveOption);
    SchemaTables tables;
    QString table;
    for (const QString& line : sql.split(QLatin1Char('\n'))) {
        const QString text = line.section(QLatin1String("--"), 0, 0).trimmed();
        const QRegularExpressionMatch create = createTable.match(text);
        if (create.hasMatch()) {
            table = create.captured(1);
            tables[table];
        } else if (text.startsWith(QLatin1Char(')'))) {
            table.clear();
        } else if (!table.isEmpty() && !text.isEmpty() &&
                   text.section(QLatin1Char(' '), 0, 0).compare(QLatin1String("CONSTRAINT"), Qt::CaseInsensitive) !=
                       0) {
            QString type = text.section(QLatin1Char(' '), 1, 1);
            if (type.endsWith(QLatin1Char(',')))
                type.chop(1);
            tables[table].append({text.section(QLatin1Char(' '), 0, 0), normalisedType(type)});
        }
    }
    return tables;
}

QString readSchemaFile(const char* name)
{
    return QString::fromUtf8(readTestFile(QStringLiteral(KORVEL_SCHEMA_DIR "/") + QString::fromUtf8(name)));
}

} // namespace korvel

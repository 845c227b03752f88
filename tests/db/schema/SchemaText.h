#pragma once

#include <QList>
#include <QMap>
#include <QString>

namespace korvel {

struct SchemaColumn
{
    QString name;
    QString type; // lower case, without brackets; INTEGER, T-SQL's synonym, as int

    bool operator==(const SchemaColumn& other) const { return name == other.name && type == other.type; }
};

using SchemaTables = QMap<QString, QList<SchemaColumn>>;

// A declared type as the schema files are compared: lower case, without the brackets
// around it, INTEGER as int.
QString normalisedType(const QString& declaredType);

// The tables and columns of a schema file written the way ours are: "CREATE TABLE name ("
// on a line of its own, one column per line starting with its name and type, table
// constraints on lines starting with CONSTRAINT, ")" ending the table; "--" comments.
SchemaTables parseSchemaTables(const QString& sql);

// A schema file of the source tree.
QString readSchemaFile(const char* name);

} // namespace korvel

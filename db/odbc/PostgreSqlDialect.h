#pragma once

class SqlDialect;

// PostgreSQL's literals, for generic ODBC sources whose DBMS is PostgreSQL: text '…' (with
// standard conforming strings a backslash is an ordinary character), binary '\x0AFF'::bytea.
const SqlDialect& PostgreSqlDialect();

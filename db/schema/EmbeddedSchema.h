#pragma once

#include <QString>

namespace korvel {

// The statements that create Korvel's tables and indexes in an empty embedded database
// (db/schema/sqlite.sql), separated by ';', for sqlite3_exec.
QString embeddedSchemaSql();

} // namespace korvel

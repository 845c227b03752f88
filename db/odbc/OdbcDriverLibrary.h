#pragma once

#include <QString>

#include <sqlext.h>

namespace korvel {

// The library file of the driver that a connection string naming this driver (or, without
// one, this data source) loads, as the driver manager's odbcinst.ini and odbc.ini give it.
// A driver that no entry names is taken for a library path; empty when nothing is known.
QString odbcDriverLibrary(SQLHENV environment, const QString& driver, const QString& dataSource);

} // namespace korvel

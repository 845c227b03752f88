#pragma once

#include <QString>

struct ConnectionSettings;

// The OLE DB connection string of the settings:
// "Provider=sqloledb;Data Source=host[\instance];Initial Catalog=…;User Id=…;Password=…;"
// (the provider of the settings instead of sqloledb when one is named; only the data
// source for the embedded engine). A value holding ';', a quote or blanks at either end is
// quoted so that it reaches the driver intact; every other value stands as it is.
QString BuildConnectionString(const ConnectionSettings& settings);

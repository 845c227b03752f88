#pragma once

#include <QString>

// The directory of the running executable, with a trailing '/'. The program's two
// configuration files lie there. Needs the QCoreApplication object.
QString GetExeDirectory();

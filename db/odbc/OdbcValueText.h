#pragma once

#include <QString>

#include <sqlext.h>

// A GUID as the program writes it, braced and upper-case ("{6F9619FF-8B86-D011-B42D-00C04FC964FF}"),
// whether the driver gave it bare (FreeTDS), lower-case (psqlODBC) or braced. A text that
// is not a GUID comes back unchanged.
QString BracedGuid(const QString& text);

// A driver's timestamp in the program's date-time text; the fraction (nanoseconds) is kept
// to the millisecond.
QString TimestampText(const SQL_TIMESTAMP_STRUCT& timestamp);

#pragma once

#include <QString>

// The program's form of a GUID, braced and upper-case ("{0F8FAD5B-D9CB-469F-A165-70867728950E}"),
// of a GUID written with or without braces in either case; any other text as it is.
QString CanonicalGuidText(const QString& text);

// Whether the text is a GUID with or without braces.
bool IsGuidText(const QString& text);

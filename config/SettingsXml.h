#pragma once

// Internal to the settings reader: the XML layer of "frmConnect".

#include "config/ConnectionSettings.h"

#include <QByteArray>
#include <QMap>
#include <QString>

// The rows of a settings document, ParaName → ParaValue, the first row of a name winning.
// False when the bytes are not a well-formed document with a top-level NewDataSet.
[[nodiscard]] bool ReadSettingsRows(const QByteArray& xml, QMap<QString, QString>& rows);

// The parameters that the rows name; a name no row has is empty.
ConnectionSettings ConnectionSettingsFromRows(const QMap<QString, QString>& rows);

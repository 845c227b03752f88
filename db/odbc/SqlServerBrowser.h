#pragma once

#include <QString>

namespace korvel {

// The TCP port of a named SQL Server instance, as the SQL Server Browser on its host tells
// it (UDP port 1434, the SQL Server Resolution Protocol). The question is asked again every
// second until an answer comes or the time is up. False with a message when no answer
// comes in time, or the instance has no TCP port.
[[nodiscard]] bool lookUpInstancePort(const QString& host, const QString& instance, int timeoutMs, quint16& port,
                                      QString& error);

// The TCP port in a browser's answer for one instance ("ServerName;PC;InstanceName;KORVEL;
// IsClustered;No;Version;16.0.1000.6;tcp;49712;;"), or 0 when it names none.
quint16 tcpPortOfBrowserAnswer(const QByteArray& answer, const QString& instance);

} // namespace korvel

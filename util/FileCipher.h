#pragma once

#include <QByteArray>

namespace korvel {

// The cipher of the value-list file and of label bundles: RC4 keyed with the MD5 digest
// of the three bytes "qkd", one keystream per call starting afresh. The same call
// enciphers and deciphers; the output is exactly as long as the input.
QByteArray cryptFileData(const QByteArray& data);

} // namespace korvel

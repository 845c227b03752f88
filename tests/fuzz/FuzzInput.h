#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstring>
#include <cstdint>

namespace korvel {

// The fuzzer's bytes as Qt values.
inline QByteArray fuzzBytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// The bytes read as UTF-16 code units, so that every code unit (lone surrogates too) can
// reach the text functions.
inline QString fuzzText(const uint8_t* data, size_t size)
{
    // Not QString::fromUtf16, which would take a leading byte-order mark away.
    QString text(static_cast<qsizetype>(size / 2), Qt::Uninitialized);
    std::memcpy(text.data(), data, size / 2 * 2);
    return text;
}

// A broken property: abort, so that the fuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition))                                                                                              \
            __builtin_trap();                                                                                          \
    } while (false)

} // namespace korvel

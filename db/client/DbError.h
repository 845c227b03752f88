#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// What a database client reports when a call fails: an HRESULT-style code, as the program
// shows it, and the driver's own text when there is one.
struct DbError
{
    std::uint32_t code = 0;
    std::optional<QString> description; // none for a missing object

    static DbError DriverFailure(const QString& text) { return {kFail, text}; }
    static DbError MissingObject() { return {kPointer, std::nullopt}; }

    static constexpr std::uint32_t kFail = 0x80004005;      // E_FAIL: the driver or server refused
    static constexpr std::uint32_t kPointer = 0x80004003;   // E_POINTER: no such object (closed, never opened)
    static constexpr std::uint32_t kNoProvider = 0x800A0E7A; // the provider of the connection string is unknown
};

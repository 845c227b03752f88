#pragma once

#include <QString>

#include <utility>

namespace korvel {

// What became of a piece of work: done, or the message the user sees about why not. The
// work never shows the message itself; whoever called it decides where it goes (a message
// box, stderr), and says success in its own words.
class [[nodiscard]] Outcome
{
public:
    static Outcome success() { return Outcome(true, QString()); }
    static Outcome failure(QString message) { return Outcome(false, std::move(message)); }

    bool ok() const { return m_ok; }
    explicit operator bool() const { return m_ok; }
    // Empty after success.
    const QString& message() const { return m_message; }

private:
    Outcome(bool ok, QString message) : m_ok(ok), m_message(std::move(message)) {}

    bool m_ok;
    QString m_message;
};

// An outcome with the value the work yields. A failure may still carry a value: the rows a
// query read before it failed, which the window keeps.
template<typename T>
struct [[nodiscard]] Result
{
    Outcome outcome;
    T value;

    bool ok() const { return outcome.ok(); }
    explicit operator bool() const { return outcome.ok(); }
    const QString& message() const { return outcome.message(); }
};

} // namespace korvel

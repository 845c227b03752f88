#pragma once

#include <QString>

namespace korvel {

// Where the core reports what the user has to see. The GUI shows message boxes with the
// application's caption and an OK button, korvelctl prints to stderr, tests record.
class MessageSink
{
public:
    virtual ~MessageSink() = default;

    // The warning icon: every failure and most notices.
    virtual void showWarning(const QString& text) = 0;
    // The information icon: reserved for the success messages ("写入成功" and the like).
    virtual void showInformation(const QString& text) = 0;
};

} // namespace korvel

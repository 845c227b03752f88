#pragma once

#include "util/MessageSink.h"
#include "util/Outcome.h"

#include <QStringList>

namespace korvel {

// Keeps every message instead of showing it.
class RecordingMessageSink : public MessageSink
{
public:
    void showWarning(const QString& text) override { warnings.append(text); }
    void showInformation(const QString& text) override { informations.append(text); }

    QStringList warnings;
    QStringList informations;
};

// Whether the work succeeded, its failure shown in the sink as the window shows it (a
// failure without a message, as when the user gave up, shows nothing): for tests that
// follow the messages of several steps in order.
inline bool shownIn(MessageSink& messages, const Outcome& outcome)
{
    if (!outcome.message().isEmpty())
        messages.showWarning(outcome.message());
    return outcome.ok();
}

} // namespace korvel

#pragma once

#include "util/MessageSink.h"

#include <QTextStream>

// Prints each message on its own line, as it stands.
class StreamMessageSink : public MessageSink
{
public:
    explicit StreamMessageSink(QTextStream& stream) : m_stream(stream) {}

    void ShowWarning(const QString& text) override;
    void ShowInformation(const QString& text) override;

private:
    QTextStream& m_stream;
};

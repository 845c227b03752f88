#include "app/korvelctl/StreamMessageSink.h"

void StreamMessageSink::ShowWarning(const QString& text)
{
    // Some of the program's texts end with a line feed of their own.
    m_stream << text;
    if (!text.endsWith(QLatin1Char('\n')))
        m_stream << '\n';
}

void StreamMessageSink::ShowInformation(const QString& text)
{
    ShowWarning(text);
}

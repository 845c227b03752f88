#pragma once

#include "util/MessageSink.h"

class QWidget;

// The program's message boxes: the application's name as caption, an OK button only, the
// warning icon, or the information icon for the success messages. Each waits for the user.
class QtMessageSink : public MessageSink
{
public:
    explicit QtMessageSink(QWidget* parent = nullptr) : m_parent(parent) {}

    void ShowWarning(const QString& text) override;
    void ShowInformation(const QString& text) override;

private:
    QWidget* m_parent;
};

#pragma once

#include <QKeyEvent>

// The Enter key of either keyboard block: the dialogs' OK command, wherever the focus is.
inline bool IsEnterKey(const QKeyEvent& event)
{
    return event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
}

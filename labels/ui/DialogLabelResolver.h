#pragma once

#include "labels/LabelImport.h"

class MessageSink;
class QWidget;

// The main window's answer to a clashing label number: the duplicate-label dialog.
class DialogLabelResolver : public DuplicateLabelResolver
{
public:
    DialogLabelResolver(QWidget* parent, MessageSink& messages) : m_parent(parent), m_messages(messages) {}

    bool ResolveDuplicateLabelNo(CAdoDatabase& database, const QString& oldValue, QString& newValue) override;

private:
    QWidget* m_parent;
    MessageSink& m_messages;
};

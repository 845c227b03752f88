#pragma once

#include "labels/LabelImport.h"

#include <optional>

class MessageSink;

// The duplicate-label dialog of korvelctl import: answers with the number given by
// --label-no, and refuses as the dialog refuses, with the number followed by "已经存在",
// when none was given or the given one exists too (a command line cannot ask again).
class LabelNoOptionResolver : public DuplicateLabelResolver
{
public:
    LabelNoOptionResolver(std::optional<QString> newLabelNo, MessageSink& messages)
        : m_newLabelNo(std::move(newLabelNo)), m_messages(messages)
    {
    }

    bool ResolveDuplicateLabelNo(CAdoDatabase& database, const QString& oldValue, QString& newValue) override;

private:
    std::optional<QString> m_newLabelNo;
    MessageSink& m_messages;
};

#pragma once

#include "util/MessageSink.h"

// Passes warnings on and drops the success notices ("导出成功", "导入成功"): a command that
// worked prints nothing, and its exit code says that it worked.
class QuietSuccessSink : public MessageSink
{
public:
    explicit QuietSuccessSink(MessageSink& warnings) : m_warnings(warnings) {}

    void ShowWarning(const QString& text) override;
    void ShowInformation(const QString& text) override;

private:
    MessageSink& m_warnings;
};

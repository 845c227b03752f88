#include "app/korvelctl/QuietSuccessSink.h"

void QuietSuccessSink::ShowWarning(const QString& text)
{
    m_warnings.ShowWarning(text);
}

void QuietSuccessSink::ShowInformation(const QString&)
{
}

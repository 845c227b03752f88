#pragma once

#include "gui/DialogTemplate.h"

namespace korvel {

// The About box: the program's name and version beside its icon.
class AboutDialog : public TemplateDialog
{
public:
    enum ControlId : int {
        kOkButton = 1,
    };

    explicit AboutDialog(QWidget* parent = nullptr);
};

} // namespace korvel

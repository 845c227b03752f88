#pragma once

#include <QIcon>
#include <QString>

namespace korvel {

// The application icon, in the caption, the task bar and the About box.
QIcon applicationIcon();

// The text of the About item of the main window's context menu: "关于 Korvel(&A)...".
QString aboutItemText();

} // namespace korvel

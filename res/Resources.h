#pragma once

#include <QIcon>
#include <QString>

// Icon 128: the application icon, in the caption, the task bar and the About box.
QIcon ApplicationIcon();

// String 101 (IDS_ABOUTBOX): the text of the About item.
QString AboutItemText();

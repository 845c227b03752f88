#pragma once

class QFileDialog;

namespace korvel {

// Qt's file dialog writes the sizes and dates of its detail view in the system's locale,
// which under LANG=C is English ("0 bytes", "7 Dec 2026 09:24:22") whatever the program's
// locale is, and sizes the columns for English texts in a Latin font ("17....KiB"). This
// writes them in the program's locale, QLocale(), as the system's Chinese locale would, and
// lets the size, type and date columns take the width of what they show, the name column
// the rest.
void showDetailsInProgramsLocale(QFileDialog& dialog);

} // namespace korvel

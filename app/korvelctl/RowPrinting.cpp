#include "app/korvelctl/RowPrinting.h"

#include "app/korvelctl/DisplayEscape.h"

void PrintTextRows(const TextTable& rows, QTextStream& out)
{
    for (const TextRow& row : rows) {
        for (qsizetype field = 0; field < row.size(); ++field) {
            if (field > 0)
                out << '\t';
            out << EscapeForDisplay(row[field]);
        }
        out << '\n';
    }
}

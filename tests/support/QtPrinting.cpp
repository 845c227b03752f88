#include "tests/support/QtPrinting.h"

void PrintTo(const QString& text, std::ostream* stream)
{
    *stream << '"' << text.toStdString() << '"';
}

void PrintTo(const QByteArray& bytes, std::ostream* stream)
{
    *stream << "hex " << bytes.toHex(' ').toStdString();
}

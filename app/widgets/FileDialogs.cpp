#include "app/widgets/FileDialogs.h"

#include <QFileDialog>

namespace {

QString RunFileDialog(QWidget* parent, QFileDialog::AcceptMode mode, const QString& filter,
                      const QString& defaultSuffix)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(QtNameFilters(filter));
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().front();
}

} // namespace

QString QtNameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'), Qt::SkipEmptyParts);
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        filters.append(description.contains(QLatin1Char('(') + patterns + QLatin1Char(')'))
                           ? description
                           : description + QLatin1String(" (") + patterns + QLatin1Char(')'));
    }
    return filters.join(QLatin1String(";;"));
}

QString QtFileDialogs::GetSaveFileName(QWidget* parent, const QString& filter, const QString& defaultSuffix)
{
    return RunFileDialog(parent, QFileDialog::AcceptSave, filter, defaultSuffix);
}

QString QtFileDialogs::GetOpenFileName(QWidget* parent, const QString& filter, const QString& defaultSuffix)
{
    return RunFileDialog(parent, QFileDialog::AcceptOpen, filter, defaultSuffix);
}

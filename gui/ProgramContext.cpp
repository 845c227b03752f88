#include "gui/ProgramContext.h"

#include "gui/FileDialogColumns.h"
#include "gui/ScreenRoom.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace korvel {

namespace {

// "标签文件(*.bq)|*.bq|" as Qt writes filters: "标签文件(*.bq)".
QString qtNameFilters(const QString& filter)
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

// Qt's file dialog, kept inside a small screen, which its own size would exceed.
class FileDialogOnScreen : public QFileDialog
{
public:
    using QFileDialog::QFileDialog;

protected:
    void showEvent(QShowEvent* event) override
    {
        resize(size().boundedTo(roomForWindow(*this)));
        QFileDialog::showEvent(event);
        moveOnScreen(*this);
    }
};

QString runFileDialog(QWidget* parent, QFileDialog::AcceptMode mode, const QString& filter,
                      const QString& defaultSuffix)
{
    FileDialogOnScreen dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(qtNameFilters(filter));
    dialog.setDefaultSuffix(defaultSuffix);
    showDetailsInProgramsLocale(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().front();
}

void showBox(QWidget* parent, QMessageBox::Icon icon, const QString& text)
{
    // A carriage return that CR LF line ends leave at the end of a name from a file would
    // be invisible in a box, and the name would look like one the program knows.
    const QString shown = QString(text).replace(QLatin1Char('\r'), QLatin1String("\\r"));
    // The application name is the executable's file name without its extension.
    QMessageBox box(icon, QCoreApplication::applicationName(), shown, QMessageBox::Ok,
                    parent ? parent : QApplication::activeWindow());
    box.exec();
}

} // namespace

QString QtFileDialogs::getSaveFileName(QWidget* parent, const QString& filter, const QString& defaultSuffix)
{
    return runFileDialog(parent, QFileDialog::AcceptSave, filter, defaultSuffix);
}

QString QtFileDialogs::getOpenFileName(QWidget* parent, const QString& filter, const QString& defaultSuffix)
{
    return runFileDialog(parent, QFileDialog::AcceptOpen, filter, defaultSuffix);
}

void QtMessageSink::showWarning(const QString& text)
{
    showBox(m_parent, QMessageBox::Warning, text);
}

void QtMessageSink::showInformation(const QString& text)
{
    showBox(m_parent, QMessageBox::Information, text);
}

} // namespace korvel

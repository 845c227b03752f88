#include "app/widgets/QtMessageSink.h"

#include <QApplication>
#include <QMessageBox>

namespace {

void ShowBox(QWidget* parent, QMessageBox::Icon icon, const QString& text)
{
    // The application name is the executable's file name without its extension.
    QMessageBox box(icon, QCoreApplication::applicationName(), text, QMessageBox::Ok,
                    parent ? parent : QApplication::activeWindow());
    box.exec();
}

} // namespace

void QtMessageSink::ShowWarning(const QString& text)
{
    ShowBox(m_parent, QMessageBox::Warning, text);
}

void QtMessageSink::ShowInformation(const QString& text)
{
    ShowBox(m_parent, QMessageBox::Information, text);
}

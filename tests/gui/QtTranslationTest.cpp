// Qt's own texts in Chinese, and the program's start that puts them on screen.

#include "app/korvel/Application.h"
#include "gui/DialogTemplate.h"
#include "gui/LoginDialog.h"
#include "gui/QtTranslation.h"
#include "tests/support/DialogControls.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/RecordingMessageSink.h"
#include "tests/support/ScriptedFileDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

using korvel::Application;
using korvel::installQtChineseTranslation;
using korvel::ProgramContext;
using korvel::QtFileDialogs;

namespace {

QString OkButtonText()
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("korvel"), QStringLiteral("text"), QMessageBox::Ok);
    return box.button(QMessageBox::Ok)->text();
}

// The buttons of the program's save dialog, read while it waits for the user, who then
// cancels.
QStringList SaveDialogButtons()
{
    QStringList texts;
    QTimer::singleShot(0, [&texts] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        for (const QAbstractButton* button : dialog->findChild<QDialogButtonBox*>()->buttons())
            texts.append(button->text());
        dialog->reject();
    });
    QtFileDialogs().getSaveFileName(nullptr, QStringLiteral("标签文件(*.bq)|*.bq|"), QStringLiteral("bq"));
    return texts;
}

} // namespace

TEST(QtTranslation, QtsOwnButtonsAndDialogsSpeakChineseWhileItLasts)
{
    {
        QTranslator chinese;
        ASSERT_TRUE(installQtChineseTranslation(chinese)) << "scripts/setup installs qt6-translations-l10n";
        EXPECT_EQ(OkButtonText(), QStringLiteral("确定"));
        EXPECT_EQ(SaveDialogButtons(), QStringList({"保存(&S)", "取消"}));
    }
    EXPECT_EQ(OkButtonText(), QStringLiteral("OK"));
}

TEST(QtTranslation, WithoutTheFileQtSpeaksEnglish)
{
    const QTemporaryDir empty;
    QTranslator chinese;
    EXPECT_FALSE(installQtChineseTranslation(chinese, empty.path()));
    EXPECT_EQ(OkButtonText(), QStringLiteral("OK"));
}

TEST(Application, TheProgramsRunSpeaksChineseInQtsOwnTextsToo)
{
    const ProgramFolder folder;
    RecordingMessageSink messages;
    ScriptedFileDialogs fileDialogs;
    QString undo;
    QTimer::singleShot(0, [&undo] {
        QWidget* login = QApplication::activeModalWidget();
        if (!login)
            return;
        QLineEdit& password = EditOf(*login, "passwordEdit");
        const std::unique_ptr<QMenu> menu(password.createStandardContextMenu());
        undo = menu->actions().first()->text();
        QTest::keyClick(login, Qt::Key_Escape);
    });
    Application(ProgramContext{folder.directory(), messages, fileDialogs}).run();
    EXPECT_TRUE(undo.startsWith(QStringLiteral("撤消(&U)"))) << "the edit boxes' context menu at the login: " << undo.toStdString();
    EXPECT_EQ(OkButtonText(), QStringLiteral("OK")) << "nothing outlives the run";
}

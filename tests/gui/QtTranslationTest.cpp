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
#include "tests/support/TestFiles.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

#include <memory>

using namespace korvel;

namespace {

QString okButtonText()
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("korvel"), QStringLiteral("text"), QMessageBox::Ok);
    return box.button(QMessageBox::Ok)->text();
}

// The buttons of the program's save dialog, read while it waits for the user, who then
// cancels.
QStringList saveDialogButtons()
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

// A folder as the save dialog's detail view shows it, read while the dialog waits for the
// user, who then cancels: the size, type and date of each entry by name, and whether the
// columns are as wide as what they show.
struct FolderDetails
{
    QMap<QString, QStringList> entries;
    bool columnsFit = false;
};

FolderDetails saveDialogDetailsOf(const QString& folder)
{
    FolderDetails seen;
    QTimer::singleShot(0, [&seen, folder] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        dialog->setDirectory(folder);
        const QAbstractItemView& details = *dialog->findChild<QTreeView*>();
        const QAbstractItemModel& model = *details.model();
        const auto columnsFit = [&details] {
            for (int column = 1; column <= 3; ++column) {
                if (static_cast<const QTreeView&>(details).header()->sectionSize(column) <
                    details.sizeHintForColumn(column))
                    return false;
            }
            return true;
        };
        // The folder is read on a thread of the dialog's own.
        (void)QTest::qWaitFor([&] { return model.rowCount(details.rootIndex()) == 3 && columnsFit(); });
        for (int row = 0; row < model.rowCount(details.rootIndex()); ++row) {
            QStringList texts;
            for (int column = 0; column < 4; ++column)
                texts.append(model.index(row, column, details.rootIndex()).data().toString());
            seen.entries.insert(texts.takeFirst(), texts);
        }
        seen.columnsFit = columnsFit();
        dialog->reject();
    });
    QtFileDialogs().getSaveFileName(nullptr, QStringLiteral("标签文件(*.bq)|*.bq|"), QStringLiteral("bq"));
    return seen;
}

} // namespace

TEST(QtTranslation, TheFileDialogsWriteFileTypesSizesAndDatesInChinese)
{
    const QTemporaryDir folder;
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("导出")));
    QByteArray enciphered(17500, '\0'); // of no type that its bytes would tell
    QRandomGenerator(21).fillRange(reinterpret_cast<quint32*>(enciphered.data()), enciphered.size() / 4);
    writeTestFile(folder.filePath(QStringLiteral("LB-00001.bq")), enciphered);
    writeTestFile(folder.filePath(QStringLiteral("empty.bq")), QByteArray());
    const QtInChinese chinese;
    const FolderDetails seen = saveDialogDetailsOf(folder.path());

    const auto modified = [&folder](const char* name) {
        return QLocale(QLocale::Chinese, QLocale::China)
            .toString(QFileInfo(folder.filePath(QString::fromUtf8(name))).lastModified(), QLocale::ShortFormat);
    };
    const struct
    {
        const char* name;
        const char* size;
        const char* type;
    } entries[] = {{"导出", "", "文件夹"}, {"LB-00001.bq", "17.09 KiB", "未知"}, {"empty.bq", "0 字节", "空文档"}};
    for (const auto& entry : entries) {
        EXPECT_EQ(seen.entries.value(QString::fromUtf8(entry.name)),
                  QStringList({QString::fromUtf8(entry.size), QString::fromUtf8(entry.type), modified(entry.name)}))
            << entry.name;
    }
    EXPECT_TRUE(seen.columnsFit) << "the size, type and date columns are as wide as what they show";
}

TEST(QtTranslation, QtsOwnButtonsAndDialogsSpeakChineseWhileItLasts)
{
    {
        const QtInChinese chinese;
        ASSERT_TRUE(chinese.installed()) << "scripts/setup installs qt6-translations-l10n";
        EXPECT_EQ(okButtonText(), QStringLiteral("确定"));
        EXPECT_EQ(saveDialogButtons(), QStringList({"保存(&S)", "取消"}));
    }
    EXPECT_EQ(okButtonText(), QStringLiteral("OK"));
}

TEST(QtTranslation, WithoutTheFileQtSpeaksEnglish)
{
    const QTemporaryDir empty;
    const QtInChinese chinese(empty.path());
    EXPECT_FALSE(chinese.installed());
    EXPECT_EQ(okButtonText(), QStringLiteral("OK"));
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
        QLineEdit& password = editOf(*login, "passwordEdit");
        const std::unique_ptr<QMenu> menu(password.createStandardContextMenu());
        undo = menu->actions().first()->text();
        QTest::keyClick(login, Qt::Key_Escape);
    });
    Application(ProgramContext{folder.directory(), messages, fileDialogs}).run();
    EXPECT_TRUE(undo.startsWith(QStringLiteral("撤消(&U)"))) << "the edit boxes' context menu at the login: " << undo.toStdString();
    EXPECT_EQ(okButtonText(), QStringLiteral("OK")) << "nothing outlives the run";
}

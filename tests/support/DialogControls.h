#pragma once

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace korvel {

// A dialog's controls found by their object names ("harnessNumberList") and worked as a
// user works them.

template <typename Control>
Control& controlOf(const QWidget& dialog, const QString& name)
{
    return *dialog.findChild<Control*>(name);
}

inline QComboBox& comboOf(const QWidget& dialog, const QString& name)
{
    return controlOf<QComboBox>(dialog, name);
}

inline QStringList entriesOf(const QWidget& dialog, const QString& name)
{
    QStringList texts;
    const QComboBox& combo = comboOf(dialog, name);
    for (int i = 0; i < combo.count(); ++i)
        texts.append(combo.itemText(i));
    return texts;
}

inline QLineEdit& editOf(const QWidget& dialog, const QString& name)
{
    return controlOf<QLineEdit>(dialog, name);
}

inline QString textOf(const QWidget& dialog, const QString& name)
{
    return editOf(dialog, name).text();
}

// What a user's choice does: select the entry and report it as activated.
inline void choose(const QWidget& dialog, const QString& name, const QString& text)
{
    QComboBox& combo = comboOf(dialog, name);
    const int index = combo.findText(text);
    ASSERT_GE(index, 0) << name.toStdString() << ": " << text.toStdString();
    combo.setCurrentIndex(index);
    emit combo.activated(index);
}

// Replaces an edit's text by typing.
inline void typeInto(const QWidget& dialog, const QString& name, const QString& text)
{
    QLineEdit& edit = editOf(dialog, name);
    edit.clear();
    QTest::keyClicks(&edit, text);
}

inline void press(const QWidget& dialog, const QString& name)
{
    controlOf<QPushButton>(dialog, name).click();
}

// Whether the program waits for its work and says so with the busy cursor: a user does
// nothing then.
inline bool programIsBusy()
{
    return QApplication::overrideCursor() != nullptr;
}

// Once the modal window with the title is up and the program not busy, does to it what the
// user does, once. The dialog's exec, or the step of work the program waits for, runs the
// event loop in which this looks every few milliseconds; the receiver's end stops it.
inline void whenModalShows(const QString& title, std::function<void(QWidget& window)> act, QObject* receiver = qApp)
{
    auto* poll = new QTimer(receiver);
    QObject::connect(poll, &QTimer::timeout, [poll, title, act = std::move(act)] {
        QWidget* window = QApplication::activeModalWidget();
        if (!window || window->windowTitle() != title || programIsBusy())
            return;
        poll->stop();
        poll->deleteLater();
        act(*window);
    });
    poll->start(5);
}

// Once the progress dialog of a step shows a text that matches, notes the text, lets the test
// try the window meanwhile, and cancels as the user does: by the 取消 button, or by Escape.
enum class CancelBy { Button, Escape };

inline void cancelWhenProgressShows(const QRegularExpression& step, QString& shown, CancelBy how,
                                    std::function<void()> meanwhile = {})
{
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, [poll, step, &shown, how, meanwhile = std::move(meanwhile)] {
        auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        if (!progress || !progress->isVisible() || !step.match(progress->labelText()).hasMatch())
            return;
        poll->stop();
        poll->deleteLater();
        shown = progress->labelText();
        if (meanwhile)
            meanwhile();
        if (how == CancelBy::Button)
            QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
        else
            QTest::keyClick(progress, Qt::Key_Escape);
    });
    poll->start(5);
}

} // namespace korvel

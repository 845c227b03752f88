#pragma once

#include "gui/DialogTemplate.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

// A dialog's controls found by their ids and worked as a user works them.

inline QComboBox& ComboOf(const QWidget& dialog, int id)
{
    return *qobject_cast<QComboBox*>(FindControl(dialog, id));
}

inline QStringList EntriesOf(const QWidget& dialog, int id)
{
    QStringList texts;
    const QComboBox& combo = ComboOf(dialog, id);
    for (int i = 0; i < combo.count(); ++i)
        texts.append(combo.itemText(i));
    return texts;
}

inline QLineEdit& EditOf(const QWidget& dialog, int id)
{
    return *qobject_cast<QLineEdit*>(FindControl(dialog, id));
}

inline QString TextOf(const QWidget& dialog, int id)
{
    return EditOf(dialog, id).text();
}

// What a user's choice does: select the entry and report it as activated.
inline void Choose(const QWidget& dialog, int id, const QString& text)
{
    QComboBox& combo = ComboOf(dialog, id);
    const int index = combo.findText(text);
    ASSERT_GE(index, 0) << id << ": " << text.toStdString();
    combo.setCurrentIndex(index);
    emit combo.activated(index);
}

// Replaces an edit's text by typing.
inline void Type(const QWidget& dialog, int id, const QString& text)
{
    QLineEdit& edit = EditOf(dialog, id);
    edit.clear();
    QTest::keyClicks(&edit, text);
}

inline void Press(const QWidget& dialog, int id)
{
    qobject_cast<QPushButton*>(FindControl(dialog, id))->click();
}

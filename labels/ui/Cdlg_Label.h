#pragma once

#include <QDialog>

class CAdoDatabase;
class MessageSink;
class QLineEdit;

// Template 133, "Label重复": the label number of an imported label exists already, and the
// user types one that does not. It ends with OK only on a free, non-empty number; Escape
// or the close box abandon the import.
class Cdlg_Label : public QDialog
{
    Q_OBJECT

public:
    Cdlg_Label(MessageSink& messages, QWidget* parent = nullptr);

    int DoModal();
    bool OnInitDialog();
    void OnOK();

    QString m_strOldValue;
    QString m_strNewValue;
    CAdoDatabase* m_pDatabase = nullptr; // the import's open connection, not owned

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ReadControls();
    void WriteControls();

    MessageSink& m_messages;
    QLineEdit* m_editNewValue;
    QLineEdit* m_editOldValue;
};

#pragma once

#include <QDialog>

// Template 100: the program's name and version beside its icon.
class CAboutDlg : public QDialog
{
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

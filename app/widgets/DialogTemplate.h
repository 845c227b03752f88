#pragma once

#include <QFont>
#include <QRect>
#include <QString>

class QDialog;
class QWidget;

// The two fonts of the program's dialog templates, with the faces a Linux desktop has for
// them (the CJK texts must render).
QFont SongTiFont();     // "宋体", 9 points: the main window and the About box
QFont ShellDialogFont(); // "MS Shell Dlg", 8 points: the login and the duplicate-label dialog

// Rectangles of a dialog template, converted from dialog units by the dialog's font as
// Windows converts them: x × average character width / 4, y × character height / 8.
class DialogUnits
{
public:
    explicit DialogUnits(const QFont& font);

    QRect toPixels(int x, int y, int width, int height) const;
    QSize toPixels(int width, int height) const;

private:
    double m_charWidth;
    int m_charHeight;
};

// Gives a dialog its template's font and fixed client size.
void ApplyTemplate(QDialog& dialog, const QFont& font, const QString& caption, int width, int height);

// Places a control at its template rectangle and tags it with its control id, which tests
// and accessibility tools find it by (object name "1004" and the property "controlId").
void PlaceControl(QWidget& control, const DialogUnits& units, int id, QRect rect);
QWidget* FindControl(const QWidget& dialog, int id);

inline constexpr int kNoControlId = -1;

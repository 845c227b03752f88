#pragma once

#include <QDialog>
#include <QFont>
#include <QRect>
#include <QString>

class QKeyEvent;
class QWidget;

namespace korvel {

// The program's dialogs keep the arrangement of the dialog templates their users know: the
// same captions, bands and control order, each rectangle given in dialog units.

// The two fonts of the program's dialog templates, with the faces a Linux desktop has for
// them (the CJK texts must render).
QFont songTiFont();      // "宋体", 9 points: the main window and the About box
QFont shellDialogFont(); // "MS Shell Dlg", 8 points: the login and the duplicate-label dialog

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

// Gives a dialog its template's font and fixed client size; the units its controls are
// placed in.
DialogUnits applyTemplate(QDialog& dialog, const QFont& font, const QString& caption, int width, int height);

// Places a control at its template rectangle.
void placeControl(QWidget& control, const DialogUnits& units, QRect rect);

// Tags a control with its control id (the property "controlId") and an object name that
// says what it is ("harnessNumberList"): tests and accessibility tools find it by either.
void identifyControl(QWidget& control, int id, const QString& name);

// A dialog made from its template. Enter gives the dialog's OK command, accept(), wherever
// the focus is, except on a button, which Enter presses; Escape and the close box give up,
// as QDialog has them. A dialog that checks what was entered does so in its accept().
//
// It keeps its template's size, its controls at their template rectangles; or, given a
// content laid out with Qt layouts, it is resizable: it opens at its template's size (or the
// content's least, where that is more) as far as the screen has room, may be made as small as
// the content's least and, on a screen with less room, smaller, with the content scrolling.
class TemplateDialog : public QDialog
{
    Q_OBJECT

public:
    TemplateDialog(QWidget* parent, const QFont& font, const QString& caption, int width, int height);

    // Places a control of this dialog at its template rectangle (placeControl).
    void place(QWidget& control, QRect rect) const;

    QSize sizeHint() const override;

protected:
    const DialogUnits& units() const { return m_units; }
    // Makes the dialog resizable around the content, which the dialog takes.
    void setLaidOutContent(QWidget* content);

    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    DialogUnits m_units;
    QSize m_templateSize;
    QWidget* m_content = nullptr;
    bool m_shown = false; // after that, the size is the user's
};

} // namespace korvel

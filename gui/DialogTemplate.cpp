#include "gui/DialogTemplate.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QPushButton>
#include <QVariant>

#include <cmath>

namespace korvel {

namespace {

QFont templateFont(const QStringList& families, int pointSize)
{
    QFont font;
    font.setFamilies(families);
    font.setPointSize(pointSize);
    return font;
}

} // namespace

QFont songTiFont()
{
    return templateFont({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC"),
                         QStringLiteral("Noto Sans CJK SC")},
                        9);
}

QFont shellDialogFont()
{
    return templateFont({QStringLiteral("MS Shell Dlg"), QStringLiteral("Microsoft Sans Serif"),
                         QStringLiteral("DejaVu Sans"), QStringLiteral("Noto Sans CJK SC")},
                        8);
}

DialogUnits::DialogUnits(const QFont& font)
{
    // Windows takes the average width of the 52 Latin letters, rounded.
    const QFontMetricsF metrics(font);
    m_charWidth = std::round(metrics.horizontalAdvance(
                                 QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                             52.0);
    m_charHeight = QFontMetrics(font).height();
}

QRect DialogUnits::toPixels(int x, int y, int width, int height) const
{
    return QRect(QPoint(static_cast<int>(x * m_charWidth / 4), y * m_charHeight / 8), toPixels(width, height));
}

QSize DialogUnits::toPixels(int width, int height) const
{
    return QSize(static_cast<int>(width * m_charWidth / 4), height * m_charHeight / 8);
}

DialogUnits applyTemplate(QDialog& dialog, const QFont& font, const QString& caption, int width, int height)
{
    dialog.setFont(font);
    dialog.setWindowTitle(caption);
    // The units are those of the font the dialog got, which may differ from the one asked for.
    const DialogUnits units(dialog.font());
    dialog.setFixedSize(units.toPixels(width, height));
    return units;
}

void placeControl(QWidget& control, const DialogUnits& units, QRect rect)
{
    control.setGeometry(units.toPixels(rect.x(), rect.y(), rect.width(), rect.height()));
}

void identifyControl(QWidget& control, int id, const QString& name)
{
    control.setObjectName(name);
    control.setProperty("controlId", id);
}

TemplateDialog::TemplateDialog(QWidget* parent, const QFont& font, const QString& caption, int width, int height)
    : QDialog(parent), m_units(applyTemplate(*this, font, caption, width, height))
{
}

void TemplateDialog::place(QWidget& control, QRect rect) const
{
    placeControl(control, m_units, rect);
}

void TemplateDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
            button->click();
        else
            accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace korvel

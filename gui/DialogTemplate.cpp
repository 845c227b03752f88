#include "gui/DialogTemplate.h"

#include "gui/ScreenRoom.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
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
    m_charWidth = std::round(
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52.0);
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
    : QDialog(parent), m_units(applyTemplate(*this, font, caption, width, height)), m_templateSize(size())
{
}

void TemplateDialog::place(QWidget& control, QRect rect) const
{
    placeControl(control, m_units, rect);
}

QSize TemplateDialog::sizeHint() const
{
    return m_content ? m_templateSize.expandedTo(m_content->minimumSizeHint()) : m_templateSize;
}

void TemplateDialog::setLaidOutContent(QWidget* content)
{
    m_content = content;
    auto* scrolled = new QScrollArea(this);
    scrolled->setFrameShape(QFrame::NoFrame);
    scrolled->setWidgetResizable(true);
    // Tab moves between the controls; the area scrolls to the one that takes the focus.
    scrolled->setFocusPolicy(Qt::NoFocus);
    scrolled->setWidget(content);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scrolled);
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

void TemplateDialog::showEvent(QShowEvent* event)
{
    if (!m_content) {
        QDialog::showEvent(event);
        return;
    }
    // The screen is known only now, and the content's least size only once it is filled.
    const QSize room = roomForWindow(*this);
    setMinimumSize(m_content->minimumSizeHint().boundedTo(room));
    const bool first = !m_shown;
    m_shown = true;
    if (first)
        resize(sizeHint().boundedTo(room));
    QDialog::showEvent(event); // centres the dialog, not knowing the frame it will get
    if (first)
        moveOnScreen(*this);
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

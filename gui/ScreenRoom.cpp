#include "gui/ScreenRoom.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace korvel {

QRect availableGeometryOf(const QWidget& widget)
{
    const QScreen* screen = widget.screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

QSize frameOf(const QWidget& window)
{
    const QSize frame = window.frameGeometry().size() - window.size();
    if (!frame.isNull())
        return frame;
    const int border = 2 * window.style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    return QSize(border, border + window.style()->pixelMetric(QStyle::PM_TitleBarHeight));
}

QSize roomForWindow(const QWidget& window)
{
    return (availableGeometryOf(window).size() - frameOf(window)).expandedTo(QSize(0, 0));
}

void moveOnScreen(QWidget& window)
{
    const QRect available = availableGeometryOf(window);
    const QSize outer = window.size() + frameOf(window);
    // The position of a window is that of its frame.
    window.move(
        std::clamp(window.x(), available.left(), std::max(available.left(), available.right() + 1 - outer.width())),
        std::clamp(window.y(), available.top(), std::max(available.top(), available.bottom() + 1 - outer.height())));
}

QRect popupGeometry(const QRect& anchor, QSize size, const QRect& available)
{
    const int roomBelow = available.bottom() - anchor.bottom();
    const int roomAbove = anchor.top() - available.top();
    const bool above = size.height() > roomBelow && roomAbove > roomBelow;
    size = size.boundedTo(QSize(available.width(), std::max(above ? roomAbove : roomBelow, 0)));
    QRect placed(QPoint(anchor.left(), above ? anchor.top() - size.height() : anchor.bottom() + 1), size);
    placed.moveLeft(std::clamp(placed.left(), available.left(), available.right() + 1 - size.width()));
    return placed;
}

} // namespace korvel

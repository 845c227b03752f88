#pragma once

#include <QRect>
#include <QSize>

class QWidget;

namespace korvel {

// How much of its screen a window or a popup may take: the screen's available geometry (the
// screen less the panels), so that nothing the user needs lies off screen or under a panel.

// The available geometry of the screen the widget is on.
QRect availableGeometryOf(const QWidget& widget);

// The frame the window manager puts around a window: what it has put, or before that, a title
// bar and borders as the style draws them.
QSize frameOf(const QWidget& window);

// The largest size of a window's client area whose frame still fits the available geometry.
QSize roomForWindow(const QWidget& window);

// Moves a window, frame and all, inside the available geometry, as far as it fits.
void moveOnScreen(QWidget& window);

// Where a popup of the given size goes for the anchor (both in global coordinates): under it,
// or above it when the room below is too small and there is more above; always inside the
// available geometry, and no taller than the larger side has room for.
QRect popupGeometry(const QRect& anchor, QSize size, const QRect& available);

} // namespace korvel

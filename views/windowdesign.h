// What the six windows share: the Arial 9 pt font, the icon, a border without minimise or
// maximise buttons, a client area designed in twips and a centred start.
#pragma once

#include <QFont>
#include <QIcon>
#include <QMargins>
#include <QPoint>
#include <QRect>

class QWidget;

enum class Border { Fixed, Sizable };

QFont WindowFont();
QIcon WindowIcon();

// A rectangle given in twips, in pixels.
QRect TwipsRect(int left, int top, int width, int height);

// Sets the window's flags, font and icon. Call before the window is sized.
void ApplyWindowDesign(QWidget& window, Border border);

// Where the corner of a window's frame goes so that the frame, as the user sees it with the
// window manager's decorations `frame` around the client area, is centred in `area`.
QPoint CentredFramePosition(const QRect& area, const QSize& clientSize, const QMargins& frame);

// Gives the window its size (fixed for a fixed border) and centres its frame on its screen, once
// more when the window manager has told the frame's size. For a main window, `extraHeight` is
// the height of its menu bar, which the client area excludes.
void SizeAndCentre(QWidget& window, int clientWidthTwips, int clientHeightTwips, Border border,
                   int extraHeight = 0);

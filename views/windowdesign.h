// What the six windows share: the Arial 9 pt font, the icon, a border without minimise or
// maximise buttons, a client area designed in twips and a centred start.
#pragma once

#include <QFont>
#include <QIcon>
#include <QRect>

class QWidget;

enum class Border { Fixed, Sizable };

QFont WindowFont();
QIcon WindowIcon();

// A rectangle given in twips, in pixels.
QRect TwipsRect(int left, int top, int width, int height);

// Sets the window's flags, font and icon. Call before the window is sized.
void ApplyWindowDesign(QWidget& window, Border border);

// Gives the window its size (fixed for a fixed border) and centres it on the screen. For a
// main window, `extraHeight` is the height of its menu bar, which the client area excludes.
void SizeAndCentre(QWidget& window, int clientWidthTwips, int clientHeightTwips, Border border,
                   int extraHeight = 0);

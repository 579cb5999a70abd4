// What the six windows share: the Arial 9 pt font, the icon, a border without minimise or
// maximise buttons, a client area designed in twips, a centred start and menus named as
// designed.
#pragma once

#include <QFont>
#include <QIcon>
#include <QMargins>
#include <QPoint>
#include <QRect>

class QAction;
class QMenu;
class QMenuBar;
class QString;
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

// A menu, an item and a separator under their designed names (`mnuFile`, `mnuOpen`,
// `mnuLine_1`), which are their object names; a menu's title action carries its name too.
QMenu* AddMenu(QMenuBar* bar, const char* name, const QString& caption);
QAction* AddItem(QMenu* menu, const char* name, const QString& caption);
void AddSeparator(QMenu* menu, const char* name);

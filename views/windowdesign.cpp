#include "windowdesign.h"

#include <QAction>
#include <QEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "twips.h"

QFont WindowFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(9);
    font.setWeight(QFont::Normal);
    return font;
}

QIcon WindowIcon() { return QIcon(QStringLiteral(":/icons/quorvane.xpm")); }

QRect TwipsRect(int left, int top, int width, int height) {
    return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
                 TwipsToPixels(height));
}

void ApplyWindowDesign(QWidget& window, Border border) {
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (border == Border::Fixed) flags |= Qt::MSWindowsFixedSizeDialogHint;
    window.setWindowFlags(flags);
    window.setFont(WindowFont());
    window.setWindowIcon(WindowIcon());
}

QPoint CentredFramePosition(const QRect& area, const QSize& clientSize, const QMargins& frame) {
    const QSize frameSize = clientSize.grownBy(frame);
    return area.topLeft() +
           QPoint((area.width() - frameSize.width()) / 2, (area.height() - frameSize.height()) / 2);
}

namespace {

// The decorations the window manager gave the last window it framed, by border: they differ
// (a sizable one may get a grip), and the next window of the kind likely gets the same.
QMargins knownFrame[2];

QRect ScreenArea(const QWidget& window) {
    const QScreen* screen = window.screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

// The window manager tells the decorations only once it has framed the window. Until then the
// window stands where the last known decorations would centre it; once its own are known, it is
// placed by them, once: it moves only if they differ, as for the first window of a run.
class FrameCentrer : public QObject {
  public:
    FrameCentrer(QWidget& window, Border border)
        : QObject(&window), window_(window), border_(border) {
        window.installEventFilter(this);
    }

    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::Move && type != QEvent::Show && type != QEvent::Resize) return false;
        const QWindow* handle = window_.windowHandle();
        if (!handle || !window_.isVisible()) return false;
        const QMargins frame = handle->frameMargins();
        if (frame.isNull()) return false;  // not framed yet, or never
        knownFrame[static_cast<int>(border_)] = frame;
        window_.removeEventFilter(this);
        window_.move(CentredFramePosition(ScreenArea(window_), window_.size(), frame));
        deleteLater();
        return false;
    }

  private:
    QWidget& window_;
    Border border_;
};

}  // namespace

void SizeAndCentre(QWidget& window, int clientWidthTwips, int clientHeightTwips, Border border,
                   int extraHeight) {
    const QSize size(TwipsToPixels(clientWidthTwips),
                     TwipsToPixels(clientHeightTwips) + extraHeight);
    if (border == Border::Fixed)
        window.setFixedSize(size);
    else
        window.resize(size);
    // Before it is shown, a window's position is that of its frame's corner.
    const int kind = static_cast<int>(border);
    window.move(
        CentredFramePosition(ScreenArea(window), size,
                             knownFrame[kind].isNull() ? knownFrame[1 - kind] : knownFrame[kind]));
    new FrameCentrer(window, border);
}

QMenu* AddMenu(QMenuBar* bar, const char* name, const QString& caption) {
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name));
    return menu;
}

QAction* AddItem(QMenu* menu, const char* name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

void AddSeparator(QMenu* menu, const char* name) {
    menu->addSeparator()->setObjectName(QLatin1String(name));
}

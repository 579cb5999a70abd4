#include "windowdesign.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

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

void SizeAndCentre(QWidget& window, int clientWidthTwips, int clientHeightTwips, Border border,
                   int extraHeight) {
    const QSize size(TwipsToPixels(clientWidthTwips),
                     TwipsToPixels(clientHeightTwips) + extraHeight);
    if (border == Border::Fixed)
        window.setFixedSize(size);
    else
        window.resize(size);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window.move(screen->availableGeometry().center() - window.rect().center());
}

// Window and control sizes are designed in twips; Qt lays out in device-independent pixels.
#pragma once

// 1440 twips to the inch at 96 pixels to the inch: 15 twips to the pixel.
constexpr int TwipsToPixels(int twips) { return (twips + 7) / 15; }

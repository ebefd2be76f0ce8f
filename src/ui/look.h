#pragma once
// Units and fonts shared by the two windows. Positions and sizes of the
// controls are stored in twips, 15 to a pixel at 96 dots per inch.

#include <QFont>
#include <QRect>

namespace envelope {

constexpr int TwipsPerPixel = 15;

// Twips to pixels, rounded to the nearest pixel.
constexpr int Pixels(int twips)
{
    return (twips + TwipsPerPixel / 2) / TwipsPerPixel;
}

// A control's rectangle given in twips: left, top, width, height.
constexpr QRect TwipsRect(int left, int top, int width, int height)
{
    return QRect(Pixels(left), Pixels(top), Pixels(width), Pixels(height));
}

// The 8.25 point sans-serif font of the windows, their frames, button,
// labels and grids; the nearest installed family stands in for MS Sans Serif.
QFont DialogFont();

// The monospaced font of the chart's axis labels (Lucida Console where
// installed, else the nearest monospaced family), with the character height
// in pixels.
QFont ChartFont(int pixelHeight);

} // namespace envelope

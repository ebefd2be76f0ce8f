#include "ui/look.h"

#include <QStringList>

namespace envelope {

QFont DialogFont()
{
    QFont font;
    // Liberation Sans has Arial's metrics, the closest to MS Sans Serif among
    // free fonts. DejaVu Sans is wider: its condensed cut still fits the
    // captions into their controls.
    font.setFamilies(QStringList{"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "Arial",
                                 "DejaVu Sans Condensed", "DejaVu Sans"});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    return font;
}

QFont ChartFont(int pixelHeight)
{
    QFont font;
    font.setFamilies(QStringList{"Lucida Console", "DejaVu Sans Mono", "Liberation Mono"});
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(pixelHeight);
    return font;
}

} // namespace envelope

#include "GreenPixels.h"

#include "Painter.h"

Pixels greenPixels(const QImage& image)
{
    Pixels green;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == kBoxColour)
                green.insert({x, y});
    return green;
}

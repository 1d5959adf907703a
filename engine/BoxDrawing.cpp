#include "BoxDrawing.h"

#include "Painter.h"

#include <QImage>

#include <algorithm>
#include <climits>
#include <cmath>

void drawBoxes(QImage& image, const std::vector<Box>& boxes, double scale)
{
    // A location file may hold any int; the scaled value must still be one.
    const auto scaled = [scale](int v) {
        return static_cast<int>(
            std::clamp(std::round(v * scale), double(INT_MIN), double(INT_MAX)));
    };
    for (const Box& box : boxes)
        paintBox(image, scaled(box.Ymin), scaled(box.Xmin), scaled(box.Ymax), scaled(box.Xmax));
}

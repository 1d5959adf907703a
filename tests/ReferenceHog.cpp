#include "ReferenceHog.h"

#include <cmath>
#include <vector>

namespace
{

const double pi = 3.141592653589793;

const int wind1[3][3] = {{1, 0, -1}, {2, 0, -2}, {1, 0, -1}};

// One channel's responses over the window, [x - Xmin][y - Ymin].
using Plane = std::vector<std::vector<int>>;

struct Window {
    int Ymin;
    int Xmin;
    int Ymax;
    int Xmax;

    Plane plane() const { return Plane(Xmax - Xmin, std::vector<int>(Ymax - Ymin)); }
};

// One filter pass over the region i in [koef1, koef3), j in [koef2, koef4):
// i is the row and j the column when a is true, the other way round when
// false. Neighbours outside the region are dropped.
void wash(const QImage& image, const Window& window, Plane& tempRed, Plane& tempGreen,
          Plane& tempBlue, int koef1, int koef2, int koef3, int koef4, bool a)
{
    for (int i = koef1; i < koef3; ++i) {
        for (int j = koef2; j < koef4; ++j) {
            double red = 0;
            double green = 0;
            double blue = 0;
            for (int k = -1; k <= 1; ++k) {
                for (int l = -1; l <= 1; ++l) {
                    if (j + k < koef2 || j + k >= koef4 || i + l < koef1 || i + l >= koef3)
                        continue;
                    const QRgb p = a ? image.pixel(j + k, i + l) : image.pixel(i + l, j + k);
                    const int weight = wind1[k + 1][l + 1];
                    red += qRed(p) * weight;
                    green += qGreen(p) * weight;
                    blue += qBlue(p) * weight;
                }
            }
            const int x = (a ? j : i) - window.Xmin;
            const int y = (a ? i : j) - window.Ymin;
            tempRed[x][y] = static_cast<int>(red);
            tempGreen[x][y] = static_cast<int>(green);
            tempBlue[x][y] = static_cast<int>(blue);
        }
    }
}

} // namespace

double referenceAngle(int X, int Y)
{
    if (X == 0)
        return pi / 2;
    return std::atan(static_cast<double>(Y) / static_cast<double>(X)) + pi / 2;
}

int referenceBin(double angle)
{
    return static_cast<int>(angle / pi * 8);
}

void referenceMakeHOG(const QImage& image, int* hist, int Ymin, int Xmin, int Ymax, int Xmax)
{
    if (Xmax <= Xmin || Ymax <= Ymin)
        return;
    const Window window{Ymin, Xmin, Ymax, Xmax};
    Plane tempXred = window.plane(), tempXgreen = window.plane(), tempXblue = window.plane();
    Plane tempYred = window.plane(), tempYgreen = window.plane(), tempYblue = window.plane();
    wash(image, window, tempXred, tempXgreen, tempXblue, Ymin, Xmin, Ymax, Xmax, true);
    wash(image, window, tempYred, tempYgreen, tempYblue, Xmin, Ymin, Xmax, Ymax, false);
    for (int x = 0; x < Xmax - Xmin; ++x) {
        for (int y = 0; y < Ymax - Ymin; ++y) {
            const int base = (y / 8 * 10 + x / 8) * 8;
            const double red = referenceAngle(tempXred[x][y], tempYred[x][y]);
            const double green = referenceAngle(tempXgreen[x][y], tempYgreen[x][y]);
            const double blue = referenceAngle(tempXblue[x][y], tempYblue[x][y]);
            double angle = red > blue ? red : blue;
            if (green > angle)
                angle = green;
            ++hist[base + referenceBin(angle)];
        }
    }
}

// in progress: a slow stand-in until the band engine lands.
#include "BandDescriptor.h"

#include <cmath>
#include <vector>

struct BandDescriptor::Data {
    const QImage* image;
    int Ymin, Ymax;
};

BandDescriptor::BandDescriptor(const QImage& image, int Ymin, int Ymax)
    : d(new Data{&image, Ymin, Ymax})
{
}
BandDescriptor::~BandDescriptor() = default;
int BandDescriptor::top() const { return d->Ymin; }
int BandDescriptor::bottom() const { return d->Ymax; }
void BandDescriptor::pixelsChanged(int, int, int, int) {}

void BandDescriptor::addWindow(int Xmin, int Xmax, int* hist)
{
    const QImage& im = *d->image;
    const int Ymin = d->Ymin, Ymax = d->Ymax;
    const double pi = 3.141592653589793;
    for (int x = Xmin; x < Xmax; ++x)
        for (int y = Ymin; y < Ymax; ++y) {
            double best = -1;
            for (int ch = 0; ch < 3; ++ch) {
                auto c = [&](int px, int py) {
                    const QRgb p = im.pixel(px, py);
                    return ch == 0 ? qRed(p) : ch == 1 ? qGreen(p) : qBlue(p);
                };
                int X = 0, Y = 0;
                for (int k = -1; k <= 1; ++k) {
                    const int s = k == 0 ? 2 : 1;
                    if (x + k >= Xmin && x + k < Xmax) {
                        if (y - 1 >= Ymin)
                            X += s * c(x + k, y - 1);
                        if (y + 1 < Ymax)
                            X -= s * c(x + k, y + 1);
                    }
                    if (y + k >= Ymin && y + k < Ymax) {
                        if (x - 1 >= Xmin)
                            Y += s * c(x - 1, y + k);
                        if (x + 1 < Xmax)
                            Y -= s * c(x + 1, y + k);
                    }
                }
                const double a = X != 0 ? std::atan(double(Y) / double(X)) + pi / 2 : pi / 2;
                best = std::max(best, a);
            }
            hist[((y - Ymin) / 8 * 10 + (x - Xmin) / 8) * 8 + int(best / pi * 8)]++;
        }
}

#include "TestImages.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace
{

int clampChannel(double v)
{
    return std::clamp(static_cast<int>(std::lround(v)), 0, 255);
}

// A value in [lo, hi], straight from the generator, so that the images do
// not depend on the standard library's distributions.
int between(std::mt19937& random, int lo, int hi)
{
    return lo + static_cast<int>(random() % static_cast<unsigned>(hi - lo + 1));
}

} // namespace

QImage randomImage(int w, int h, unsigned seed)
{
    std::mt19937 random(seed);
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = 0xff000000u | (random() & 0xffffffu);
    }
    return image;
}

QImage constantImage(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QImage greyRampImage(int w, int h, int start, int stepRight, int stepDown)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int grey = ((start + x * stepRight + y * stepDown) % 256 + 256) % 256;
            image.setPixel(x, y, qRgb(grey, grey, grey));
        }
    }
    return image;
}

QImage realLookingImage(int w, int h, unsigned seed)
{
    std::mt19937 random(seed);
    QImage image(w, h, QImage::Format_RGB32);

    // Sky-to-ground gradient with a slow wave across.
    double base[3];
    double slopeX[3];
    double slopeY[3];
    for (int c = 0; c < 3; ++c) {
        base[c] = between(random, 40, 200);
        slopeX[c] = between(random, -40, 40) / 400.0;
        slopeY[c] = between(random, -60, 60) / 200.0;
    }
    const double wave = between(random, 10, 40);
    const double period = between(random, 60, 200);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double swell = wave * std::sin(x / period + y / (2 * period));
            image.setPixel(x, y,
                           qRgb(clampChannel(base[0] + slopeX[0] * x + slopeY[0] * y + swell),
                                clampChannel(base[1] + slopeX[1] * x + slopeY[1] * y + swell),
                                clampChannel(base[2] + slopeX[2] * x + slopeY[2] * y)));
        }
    }

    const auto randomColour = [&random] {
        return qRgb(between(random, 0, 255), between(random, 0, 255), between(random, 0, 255));
    };
    const int shapes = std::max(1, w * h / 4000);
    for (int s = 0; s < shapes; ++s) {
        const QRgb colour = randomColour();
        const int cx = between(random, 0, std::max(0, w - 1));
        const int cy = between(random, 0, std::max(0, h - 1));
        const int rx = between(random, 3, 40);
        const int ry = between(random, 3, 40);
        const bool ellipse = random() % 2 == 0;
        for (int y = std::max(0, cy - ry); y < std::min(h, cy + ry); ++y) {
            for (int x = std::max(0, cx - rx); x < std::min(w, cx + rx); ++x) {
                const double u = double(x - cx) / rx;
                const double v = double(y - cy) / ry;
                if (!ellipse || u * u + v * v <= 1)
                    image.setPixel(x, y, colour);
            }
        }
    }

    // Upright bars: the vertical edges that people and posts make.
    const int bars = std::max(1, w / 60);
    for (int b = 0; b < bars; ++b) {
        const QRgb colour = randomColour();
        const int left = between(random, 0, std::max(0, w - 1));
        const int right = std::min(w, left + between(random, 4, 30));
        const int from = between(random, 0, h / 3);
        for (int y = from; y < h; ++y) {
            for (int x = left; x < right; ++x)
                image.setPixel(x, y, colour);
        }
    }

    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const QRgb p = image.pixel(x, y);
            const int noise = between(random, -6, 6);
            image.setPixel(x, y,
                           qRgb(clampChannel(qRed(p) + noise), clampChannel(qGreen(p) - noise),
                                clampChannel(qBlue(p) + between(random, -3, 3))));
        }
    }
    return image;
}

#include "Camera.h"

#include "Random.h"
#include "Settings.h"

#include <QImage>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace
{

// Channel planes in floating point, so that light, blur and noise round once.
struct Planes {
    int width = 0;
    int height = 0;
    std::array<std::vector<float>, 3> channel;

    float& at(int c, int x, int y) { return channel[std::size_t(c)][std::size_t(y * width + x)]; }
    float at(int c, int x, int y) const
    {
        return channel[std::size_t(c)][std::size_t(y * width + x)];
    }
};

Planes split(const QImage& image)
{
    Planes planes;
    planes.width = image.width();
    planes.height = image.height();
    for (auto& plane : planes.channel)
        plane.resize(std::size_t(planes.width) * std::size_t(planes.height));
    for (int y = 0; y < planes.height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < planes.width; ++x) {
            planes.at(0, x, y) = float(qRed(line[x]));
            planes.at(1, x, y) = float(qGreen(line[x]));
            planes.at(2, x, y) = float(qBlue(line[x]));
        }
    }
    return planes;
}

// Draws every level towards one grey, as haze or a flat light does.
void flatten(Planes& planes, Random& random, double least)
{
    const float contrast = float(random.real(least, 1));
    const float grey = float(random.real(60, 200)) * (1 - contrast);
    for (auto& plane : planes.channel)
        for (float& level : plane)
            level = level * contrast + grey;
}

void falloff(Planes& planes, Random& random, const CameraSettings& settings)
{
    const double angle = random.real(0, 6.283185307179586);
    const double amount = random.real(0, settings.maxFalloff);
    const double exposure = random.real(settings.minExposure, settings.maxExposure);
    const double dx = std::cos(angle) * amount;
    const double dy = std::sin(angle) * amount;
    for (int y = 0; y < planes.height; ++y)
        for (int x = 0; x < planes.width; ++x) {
            const double u = double(x) / planes.width - 0.5;
            const double v = double(y) / planes.height - 0.5;
            const float gain = float(exposure * (1 + dx * u + dy * v));
            for (int c = 0; c < 3; ++c)
                planes.at(c, x, y) *= gain;
        }
}

// Mixes the 1-2-1 blur into the image; borders repeat their edge pixels.
void soften(Planes& planes, double weight)
{
    const Planes sharp = planes;
    const int w = planes.width;
    const int h = planes.height;
    for (int c = 0; c < 3; ++c)
        for (int y = 0; y < h; ++y) {
            const int up = std::max(y - 1, 0);
            const int down = std::min(y + 1, h - 1);
            for (int x = 0; x < w; ++x) {
                const int left = std::max(x - 1, 0);
                const int right = std::min(x + 1, w - 1);
                const auto row = [&](int r) {
                    return sharp.at(c, left, r) + 2 * sharp.at(c, x, r) + sharp.at(c, right, r);
                };
                const float blurred = (row(up) + 2 * row(y) + row(down)) / 16;
                planes.at(c, x, y) = float((1 - weight) * sharp.at(c, x, y) + weight * blurred);
            }
        }
}

void addNoise(Planes& planes, Random& random, double luma, double chroma)
{
    for (int y = 0; y < planes.height; ++y)
        for (int x = 0; x < planes.width; ++x) {
            const double shared = luma * random.bell();
            for (int c = 0; c < 3; ++c)
                planes.at(c, x, y) += float(shared + chroma * random.bell());
        }
}

void merge(const Planes& planes, QImage& image)
{
    const auto level = [](float value) { return std::clamp(int(std::lround(value)), 0, 255); };
    for (int y = 0; y < planes.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < planes.width; ++x)
            line[x] = qRgb(level(planes.at(0, x, y)), level(planes.at(1, x, y)),
                           level(planes.at(2, x, y)));
    }
}

} // namespace

void develop(QImage& image, Random& random, const CameraSettings& settings)
{
    Planes planes = split(image);
    if (settings.minContrast < 1)
        flatten(planes, random, settings.minContrast);
    falloff(planes, random, settings);
    soften(planes, random.real(settings.minBlur, settings.maxBlur));
    addNoise(planes, random, settings.lumaNoise, settings.chromaNoise);
    merge(planes, image);
}

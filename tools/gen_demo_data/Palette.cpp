#include "Palette.h"

#include "Random.h"

#include <QLinearGradient>

#include <algorithm>
#include <array>

namespace
{

int clampLevel(double level)
{
    return std::clamp(int(level + 0.5), 0, 255);
}

template <std::size_t N> QColor pick(Random& random, const std::array<QRgb, N>& colours)
{
    return QColor::fromRgb(colours[std::size_t(random.uniform(0, int(N) - 1))]);
}

} // namespace

namespace Palette
{

QColor skin(Random& random)
{
    static const std::array<QRgb, 8> tones = {0xf1c7a8, 0xe0ac89, 0xc68863, 0xa86f4c,
                                              0x8d5a3b, 0x6b4028, 0xf3d2b8, 0xd29b78};
    return jittered(pick(random, tones), random, 8);
}

QColor hair(Random& random)
{
    static const std::array<QRgb, 7> shades = {0x1c1410, 0x3b2619, 0x5a3a22, 0x8a6a3e,
                                               0xc9a46a, 0x6e6a66, 0x2a1d18};
    return jittered(pick(random, shades), random, 6);
}

QColor clothing(Random& random)
{
    // Mostly muted clothes, now and then a loud one.
    static const std::array<QRgb, 16> cloths = {
        0x2b3a55, 0x3f4f3a, 0x5b2c2c, 0x1f1f24, 0x6d6f73, 0x8c7a5b, 0xb8b2a6, 0x23405e,
        0x4a3b5c, 0x7b1e23, 0x2f5d62, 0xd8d4cc, 0x9b4d1a, 0x3d6b8f, 0xc2a23a, 0x5f7f3f};
    if (random.chance(0.15))
        return vivid(random);
    return jittered(pick(random, cloths), random, 14);
}

QColor shoes(Random& random)
{
    static const std::array<QRgb, 5> pairs = {0x141414, 0x2d2119, 0x4b3a2a, 0xdedede, 0x30323a};
    return jittered(pick(random, pairs), random, 6);
}

QColor wall(Random& random)
{
    static const std::array<QRgb, 10> walls = {0xb9ad98, 0x9a8f80, 0xc8c2b4, 0x8e7462, 0xa46d52,
                                               0x7d8585, 0xd6cfbf, 0x6f6a61, 0xb49a6c, 0x8a9a8c};
    return jittered(pick(random, walls), random, 12);
}

QColor ground(Random& random)
{
    static const std::array<QRgb, 6> grounds = {0x6d6a66, 0x8b857b, 0x5a5752,
                                                0x9c9282, 0x4e4b47, 0x7e705f};
    return jittered(pick(random, grounds), random, 10);
}

QColor foliage(Random& random)
{
    static const std::array<QRgb, 6> leaves = {0x3e5f2a, 0x56733a, 0x2d4a23,
                                               0x6b8a45, 0x4a5a2e, 0x7a7f3a};
    return jittered(pick(random, leaves), random, 14);
}

QColor metal(Random& random)
{
    static const std::array<QRgb, 6> metals = {0x5c6066, 0x8a8e93, 0x3a3d42,
                                               0x2f4a3a, 0x6b5a3a, 0xa0a4a8};
    return jittered(pick(random, metals), random, 8);
}

QColor wood(Random& random)
{
    static const std::array<QRgb, 5> woods = {0x6b4a2f, 0x8a633d, 0x4f3522, 0xa57b4f, 0x5e4636};
    return jittered(pick(random, woods), random, 10);
}

QColor glass(Random& random)
{
    static const std::array<QRgb, 5> panes = {0x5d7384, 0x3f5566, 0x8fa5b3, 0x2e3b44, 0x6f7f73};
    return jittered(pick(random, panes), random, 10);
}

QColor sky(Random& random)
{
    static const std::array<QRgb, 4> skies = {0xa9c4dc, 0xc9d6df, 0x8fb3d6, 0xd8d8d0};
    return jittered(pick(random, skies), random, 8);
}

QColor vivid(Random& random)
{
    static const std::array<QRgb, 8> loud = {0xc8202a, 0x1f5fbf, 0xe0b020, 0x2a9a4a,
                                             0xd0602a, 0x8a2aa0, 0x20a0b0, 0xe05a8a};
    return jittered(pick(random, loud), random, 10);
}

QColor scaled(const QColor& colour, double factor)
{
    return QColor(clampLevel(colour.red() * factor), clampLevel(colour.green() * factor),
                  clampLevel(colour.blue() * factor));
}

QBrush rounded(const QColor& colour, double left, double right, double light)
{
    QLinearGradient gradient(left, 0, right, 0);
    gradient.setColorAt(0, scaled(colour, (1 - light) * 0.92));
    gradient.setColorAt(0.5, scaled(colour, 1.04));
    gradient.setColorAt(1, scaled(colour, (1 + light) * 0.92));
    return QBrush(gradient);
}

QColor jittered(const QColor& colour, Random& random, int amount)
{
    const int red = random.uniform(-amount, amount);
    const int green = random.uniform(-amount, amount);
    const int blue = random.uniform(-amount, amount);
    return QColor(std::clamp(colour.red() + red, 0, 255),
                  std::clamp(colour.green() + green, 0, 255),
                  std::clamp(colour.blue() + blue, 0, 255));
}

} // namespace Palette

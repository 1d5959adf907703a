#include "ReferenceBlockHog.h"

#include <algorithm>
#include <cmath>

namespace
{

const double pi = 3.141592653589793;

struct Gradient {
    double length = 0;
    double degrees = 0; // 0 to 180
};

// The crop: the window and a ring of one pixel, as [row][column].
using Crop = std::vector<std::vector<QRgb>>;

Crop cropOf(const QImage& level, int x, int y, int width, int height)
{
    Crop crop(height + 2, std::vector<QRgb>(width + 2));
    for (int i = 0; i < height + 2; ++i) {
        for (int j = 0; j < width + 2; ++j) {
            const int column = std::clamp(x - 1 + j, 0, level.width() - 1);
            const int row = std::clamp(y - 1 + i, 0, level.height() - 1);
            crop[i][j] = level.pixel(column, row);
        }
    }
    return crop;
}

// The gradient of window pixel (u, v): of the red, green and blue channels,
// the longest (the first of equals).
Gradient gradientAt(const Crop& crop, int u, int v)
{
    int (*channels[3])(QRgb) = {qRed, qGreen, qBlue};
    int bestX = 0;
    int bestY = 0;
    int bestSquare = -1;
    for (auto channel : channels) {
        const int dx = channel(crop[v + 1][u + 2]) - channel(crop[v + 1][u]);
        const int dy = channel(crop[v + 2][u + 1]) - channel(crop[v][u + 1]);
        if (dx * dx + dy * dy > bestSquare) {
            bestX = dx;
            bestY = dy;
            bestSquare = dx * dx + dy * dy;
        }
    }
    Gradient g;
    g.length = std::sqrt(double(bestSquare));
    g.degrees = std::atan2(double(bestY), double(bestX)) * 180 / pi;
    if (g.degrees < 0)
        g.degrees += 180;
    if (g.degrees >= 180)
        g.degrees -= 180;
    return g;
}

// The weights of a block's two cells along one axis for the pixel at offset
// t (0..15) in the block.
void cellWeights(int t, bool spatialVoting, double weights[2])
{
    if (spatialVoting) {
        const double centre = t + 0.5;
        weights[1] = std::clamp((centre - 4) / 8, 0.0, 1.0);
        weights[0] = 1 - weights[1];
    } else {
        weights[0] = t < 8 ? 1 : 0;
        weights[1] = 1 - weights[0];
    }
}

void normalise(std::vector<double>& block)
{
    double sum = 0;
    for (double v : block)
        sum += v * v;
    const double norm = std::sqrt(sum + double(kHogEpsilon) * double(kHogEpsilon));
    for (double& v : block)
        v /= norm;
}

} // namespace

std::vector<double> referenceBlockHog(const QImage& level, int x, int y,
                                      const HogSettings& settings)
{
    const int width = settings.windowWidth;
    const int height = settings.windowHeight;
    const Crop crop = cropOf(level, x, y, width, height);
    std::vector<double> features;
    for (int by = 0; by + 16 <= height; by += 8) {
        for (int bx = 0; bx + 16 <= width; bx += 8) {
            // block[(cellRow * 2 + cellColumn) * 9 + bin]
            std::vector<double> block(36, 0.0);
            for (int ty = 0; ty < 16; ++ty) {
                for (int tx = 0; tx < 16; ++tx) {
                    const Gradient g = gradientAt(crop, bx + tx, by + ty);
                    // Bin k is centred at 20 k + 10 degrees.
                    const double position = g.degrees / 20 - 0.5;
                    const int lowerBin = int(std::floor(position));
                    const double upperShare = position - lowerBin;
                    const int bins[2] = {(lowerBin + 9) % 9, (lowerBin + 1) % 9};
                    const double shares[2] = {1 - upperShare, upperShare};
                    double across[2];
                    double down[2];
                    cellWeights(tx, settings.spatialVoting, across);
                    cellWeights(ty, settings.spatialVoting, down);
                    for (int cellRow = 0; cellRow < 2; ++cellRow) {
                        for (int cellColumn = 0; cellColumn < 2; ++cellColumn) {
                            for (int k = 0; k < 2; ++k) {
                                block[(cellRow * 2 + cellColumn) * 9 + bins[k]] +=
                                    g.length * down[cellRow] * across[cellColumn] * shares[k];
                            }
                        }
                    }
                }
            }
            normalise(block);
            for (double& v : block)
                v = std::min(v, double(kHogClip));
            normalise(block);
            features.insert(features.end(), block.begin(), block.end());
        }
    }
    return features;
}

#include "HogLevel.h"

#include "HogGradient.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace
{

// Votes are gathered in quarters of cells, 4x4 pixels: along each axis, a
// block's cell weights are 0, 1 or linear in a pixel's place within a quarter,
// so four sums per bin and quarter give every block that holds the quarter.
constexpr int kQuarter = 4;
// Bin 8's upper neighbour is bin 0: votes for it gather in a tenth slot first.
constexpr int kSlots = kHogBins + 1;
// Per slot: the sum of votes v, of v a(sx), of v a(sy) and of v a(sx) a(sy),
// (sx, sy) being the pixel's place in its quarter.
constexpr int kMoments = 4;
constexpr int kQuarterLength = kSlots * kMoments;
// Per block column and cell column of a quarter row: 9 bins weighted across,
// then the same times a(sy).
constexpr int kAcrossLength = 2 * kHogBins;
// Quarter rows a block row needs: 4, of which the next block row needs 2.
constexpr int kRing = 4;

// A pixel's place within its quarter, counted from 0 to 1 over a cell.
constexpr float place(int s)
{
    return (float(s) + 0.5f) / float(kHogCellSize);
}

// Along one axis, a cell's weight for the pixels of a block's quarter i is
// p + q a(s).
struct AxisWeight {
    float p;
    float q;
};
// Shared: a pixel between the two cell centres (8 pixels apart, 4 from the
// block's edges) is split by its distance to them; one nearer the edge goes
// wholly to the nearer cell. Own: each cell takes its own 8 pixels.
constexpr AxisWeight kSharedWeights[2][kQuarter] = {
    {{1, 0}, {1, -1}, {0.5f, -1}, {0, 0}},
    {{0, 0}, {0, 1}, {0.5f, 1}, {1, 0}},
};
constexpr AxisWeight kOwnCellWeights[2][kQuarter] = {
    {{1, 0}, {1, 0}, {0, 0}, {0, 0}},
    {{0, 0}, {0, 0}, {1, 0}, {1, 0}},
};

// h / sqrt(|h|^2 + eps^2).
void scale(float* h)
{
    float sum = 0;
    for (int k = 0; k < kHogBlockLength; ++k)
        sum += h[k] * h[k];
    const float factor = 1.0f / std::sqrt(sum + kHogEpsilon * kHogEpsilon);
    for (int k = 0; k < kHogBlockLength; ++k)
        h[k] *= factor;
}

// L2-Hys.
void normalise(float* h)
{
    scale(h);
    for (int k = 0; k < kHogBlockLength; ++k)
        h[k] = std::min(h[k], kHogClip);
    scale(h);
}

// Adds row y's votes to the quarter sums of its quarter row.
void addRow(const HogRowVotes& votes, int y, int width, float* quarters)
{
    const float ay = place(y % kQuarter);
    float coefficients[kQuarter][kMoments];
    for (int sx = 0; sx < kQuarter; ++sx) {
        const float ax = place(sx);
        coefficients[sx][0] = 1;
        coefficients[sx][1] = ax;
        coefficients[sx][2] = ay;
        coefficients[sx][3] = ax * ay;
    }
    for (int x = 0; x < width; ++x) {
        const float* c = coefficients[x % kQuarter];
        float* m = quarters + (x / kQuarter) * kQuarterLength + votes.bin[x] * kMoments;
        const float lower = votes.lower[x];
        const float upper = votes.upper[x];
        for (int k = 0; k < kMoments; ++k) {
            m[k] += lower * c[k];
            m[kMoments + k] += upper * c[k];
        }
    }
}

// Folds slot 9 into bin 0, then sums the quarters of every block column with
// each cell column's weights across into across; clears quarters.
void sumAcross(float* quarters, int quartersAcross, int blocksAcross,
               const AxisWeight (&weights)[2][kQuarter], float* across)
{
    for (int qx = 0; qx < quartersAcross; ++qx) {
        float* m = quarters + qx * kQuarterLength;
        for (int k = 0; k < kMoments; ++k)
            m[k] += m[kHogBins * kMoments + k];
    }
    for (int bx = 0; bx < blocksAcross; ++bx) {
        for (int cx = 0; cx < 2; ++cx) {
            float* out = across + (bx * 2 + cx) * kAcrossLength;
            std::fill(out, out + kAcrossLength, 0.0f);
            for (int i = 0; i < kQuarter; ++i) {
                const AxisWeight w = weights[cx][i];
                if (w.p == 0 && w.q == 0)
                    continue;
                const float* m = quarters + (2 * bx + i) * kQuarterLength;
                for (int b = 0; b < kHogBins; ++b) {
                    out[b] += w.p * m[b * kMoments] + w.q * m[b * kMoments + 1];
                    out[kHogBins + b] += w.p * m[b * kMoments + 2] + w.q * m[b * kMoments + 3];
                }
            }
        }
    }
    std::fill(quarters, quarters + quartersAcross * kQuarterLength, 0.0f);
}

// Block row by from the sums across of its four quarter rows (ring slots
// (2 by + j) % 4), weighted down, then normalised.
void makeBlockRow(const std::vector<float>& ring, int by, int blocksAcross,
                  const AxisWeight (&weights)[2][kQuarter], float* blocks)
{
    const size_t ringRow = size_t(blocksAcross) * 2 * kAcrossLength;
    for (int bx = 0; bx < blocksAcross; ++bx) {
        float* block = blocks + size_t(bx) * kHogBlockLength;
        std::fill(block, block + kHogBlockLength, 0.0f);
        for (int cy = 0; cy < 2; ++cy) {
            for (int cx = 0; cx < 2; ++cx) {
                float* cell = block + (cy * 2 + cx) * kHogBins;
                for (int j = 0; j < kQuarter; ++j) {
                    const AxisWeight w = weights[cy][j];
                    if (w.p == 0 && w.q == 0)
                        continue;
                    const float* a = ring.data() + ((2 * by + j) % kRing) * ringRow +
                                     (bx * 2 + cx) * kAcrossLength;
                    for (int b = 0; b < kHogBins; ++b)
                        cell[b] += w.p * a[b] + w.q * a[kHogBins + b];
                }
            }
        }
        normalise(block);
    }
}

} // namespace

HogLevel::HogLevel(HogSettings settings) : settings_(settings) {}

void HogLevel::describe(const QImage& image)
{
    blocksAcross_ = std::max(image.width() / kHogCellSize - 1, 0);
    blocksDown_ = std::max(image.height() / kHogCellSize - 1, 0);
    if (blocksAcross_ == 0 || blocksDown_ == 0) {
        blocksAcross_ = blocksDown_ = 0;
        blocks_.clear();
        return;
    }
    blocks_.resize(size_t(blocksAcross_) * blocksDown_ * kHogBlockLength);
    const auto& weights = settings_.spatialVoting ? kSharedWeights : kOwnCellWeights;
    const int width = (blocksAcross_ + 1) * kHogCellSize;
    const int quartersAcross = width / kQuarter;
    const int quartersDown = (blocksDown_ + 1) * kHogCellSize / kQuarter;
    std::vector<float> quarters(size_t(quartersAcross) * kQuarterLength, 0.0f);
    const size_t ringRow = size_t(blocksAcross_) * 2 * kAcrossLength;
    std::vector<float> ring(kRing * ringRow);
    HogRowVotes votes;
    for (int qy = 0; qy < quartersDown; ++qy) {
        for (int y = qy * kQuarter; y < (qy + 1) * kQuarter; ++y) {
            hogRowVotes(image, y, width, votes);
            addRow(votes, y, width, quarters.data());
        }
        sumAcross(quarters.data(), quartersAcross, blocksAcross_, weights,
                  ring.data() + (qy % kRing) * ringRow);
        if (qy >= 3 && qy % 2 == 1) {
            const int by = (qy - 3) / 2;
            makeBlockRow(ring, by, blocksAcross_, weights,
                         blocks_.data() + size_t(by) * blocksAcross_ * kHogBlockLength);
        }
    }
}

const float* HogLevel::block(int column, int row) const
{
    return blocks_.data() + (size_t(row) * blocksAcross_ + column) * kHogBlockLength;
}

int HogLevel::windowsAcross() const
{
    return std::max(blocksAcross_ - hogWindowBlocksAcross(settings_) + 1, 0);
}

int HogLevel::windowsDown() const
{
    return std::max(blocksDown_ - hogWindowBlocksDown(settings_) + 1, 0);
}

namespace
{

// The dot product of n floats, n a multiple of 4, in 4 sums side by side.
float dot(const float* __restrict a, const float* __restrict b, int n)
{
    float sums[4] = {0, 0, 0, 0};
    for (int k = 0; k < n; k += 4) {
        for (int l = 0; l < 4; ++l)
            sums[l] += a[k + l] * b[k + l];
    }
    return (sums[0] + sums[1]) + (sums[2] + sums[3]);
}

} // namespace

void HogLevel::scoreWindows(const std::vector<float>& weights, double bias,
                            std::vector<double>& scores) const
{
    const int across = windowsAcross();
    const int down = windowsDown();
    if (across == 0 || down == 0) {
        scores.clear();
        return;
    }
    scores.assign(size_t(across) * down, bias);
    // A row of a window's blocks is one run of floats, as is its weights.
    const int run = hogWindowBlocksAcross(settings_) * kHogBlockLength;
    const int rows = hogWindowBlocksDown(settings_);
    for (int r = 0; r < down; ++r) {
        double* out = scores.data() + size_t(r) * across;
        for (int j = 0; j < rows; ++j) {
            const float* w = weights.data() + size_t(j) * run;
            for (int c = 0; c < across; ++c)
                out[c] += dot(w, block(c, r + j), run);
        }
    }
}

std::vector<float> hogWindowFeatures(const HogLevel& level, int column, int row)
{
    const int run = hogWindowBlocksAcross(level.settings()) * kHogBlockLength;
    const int rows = hogWindowBlocksDown(level.settings());
    std::vector<float> features(size_t(run) * rows);
    for (int j = 0; j < rows; ++j)
        std::memcpy(features.data() + size_t(j) * run, level.block(column, row + j),
                    sizeof(float) * run);
    return features;
}

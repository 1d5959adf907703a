#include "HogLevel.h"

#include "HogGradient.h"
#include "VectorClones.h"

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
// Per slot of a quarter: the sum of votes v, of v a(sy), of v a(sx) and of
// v a(sx) a(sy), (sx, sy) being the pixel's place in its quarter.
constexpr int kMoments = 4;
// Per slot of a pixel column over a quarter row: the sum of votes v and of v a(sy).
constexpr int kColumnLength = kSlots * 2;
constexpr int kQuarterSums = kSlots * kMoments;
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

// Along one axis, the weight of a block's second cell for the pixels of the
// block's quarter i is p + q a(s); the first cell's weight is 1 minus that.
struct AxisWeight {
    float p;
    float q;
};
// Shared: a pixel between the two cell centres (8 pixels apart, 4 from the
// block's edges) is split by its distance to them; one nearer the edge goes
// wholly to the nearer cell. Own: each cell takes its own 8 pixels.
constexpr AxisWeight kSharedWeights[kQuarter] = {{0, 0}, {0, 1}, {0.5f, 1}, {1, 0}};
constexpr AxisWeight kOwnCellWeights[kQuarter] = {{0, 0}, {0, 0}, {1, 0}, {1, 0}};

// h / sqrt(|h|^2 + eps^2), the squares added 4 side by side.
OMBRE_INLINE void scale(float* h)
{
    float sums[4] = {0, 0, 0, 0};
    for (int k = 0; k < kHogBlockLength; k += 4) {
        for (int l = 0; l < 4; ++l)
            sums[l] += h[k + l] * h[k + l];
    }
    const float sum = (sums[0] + sums[1]) + (sums[2] + sums[3]);
    const float factor = 1.0f / std::sqrt(sum + kHogEpsilon * kHogEpsilon);
    for (int k = 0; k < kHogBlockLength; ++k)
        h[k] *= factor;
}

// L2-Hys.
OMBRE_INLINE void normalise(float* h)
{
    scale(h);
    for (int k = 0; k < kHogBlockLength; ++k)
        h[k] = std::min(h[k], kHogClip);
    scale(h);
}

// Quarters gathered together: their column sums stay in the nearest cache.
constexpr int kQuartersTogether = 16;

// The votes of a quarter row's pixels gathered into quarter sums,
// [quarter][v, v a(sy), v a(sx), v a(sx) a(sy)][slot], slot 9 folded into
// bin 0. The pixel columns of some quarters are summed first, each over the
// rows from the top, [column][plain or times a(sy)][slot], a row's pixels
// taken across so that neighbouring pixels never wait on each other's sums.
OMBRE_VECTOR_CLONES void gatherQuarters(const HogRowVotes (&votes)[kQuarter], int quartersAcross,
                                        float* folded)
{
    constexpr int kHalf = 2 * kSlots;
    float columns[kQuartersTogether * kQuarter * kColumnLength];
    for (int first = 0; first < quartersAcross; first += kQuartersTogether) {
        const int count = std::min(kQuartersTogether, quartersAcross - first);
        std::fill(columns, columns + count * kQuarter * kColumnLength, 0.0f);
        for (int sy = 0; sy < kQuarter; ++sy) {
            const float ay = place(sy);
            const HogRowVotes& row = votes[sy];
            for (int i = 0; i < count * kQuarter; ++i) {
                const int x = first * kQuarter + i;
                float* m = columns + i * kColumnLength + row.bin[x];
                const float lower = row.lower[x];
                const float upper = row.upper[x];
                m[0] += lower;
                m[1] += upper;
                m[kSlots] += lower * ay;
                m[kSlots + 1] += upper * ay;
            }
        }
        for (int q = 0; q < count; ++q) {
            const float* __restrict c = columns + q * kQuarter * kColumnLength;
            float* __restrict out = folded + (first + q) * kQuarterSums;
            for (int e = 0; e < kHalf; ++e) {
                const float c0 = c[e];
                const float c1 = c[kColumnLength + e];
                const float c2 = c[2 * kColumnLength + e];
                const float c3 = c[3 * kColumnLength + e];
                out[e] = (c0 + c1) + (c2 + c3);
                out[kHalf + e] =
                    (place(0) * c0 + place(1) * c1) + (place(2) * c2 + place(3) * c3);
            }
            for (int group = 0; group < kMoments; ++group)
                out[group * kSlots] += out[group * kSlots + kHogBins];
        }
    }
}

// For one axis: from the four parts of a block (quarters across, or quarter
// rows down), each with its plain sums and its sums times a(s), the second
// cell's sums (weights p + q a) into second and the first cell's, the rest
// of the plain sums, into first.
OMBRE_INLINE void splitCells(const float* const (&plain)[kQuarter],
                             const float* const (&placed)[kQuarter],
                             const AxisWeight (&weights)[kQuarter], float* __restrict first,
                             float* __restrict second)
{
    for (int b = 0; b < kHogBins; ++b) {
        float all = 0;
        float cell = 0;
        for (int i = 0; i < kQuarter; ++i) {
            all += plain[i][b];
            cell += weights[i].p * plain[i][b] + weights[i].q * placed[i][b];
        }
        second[b] = cell;
        first[b] = all - cell;
    }
}

// The sums across of one quarter row, [block column][cell column][a(sy)
// or not][bin]: M and X give the plain sums, Y and XY those times a(sy).
OMBRE_VECTOR_CLONES void sumAcross(const float* folded, int blocksAcross,
                                   const AxisWeight (&weights)[kQuarter], float* across)
{
    for (int bx = 0; bx < blocksAcross; ++bx) {
        const float* q = folded + 2 * bx * kQuarterSums;
        float* out = across + bx * 2 * kAcrossLength;
        for (int half = 0; half < 2; ++half) {
            const int plain = half * kSlots;
            const int placed = 2 * kSlots + plain;
            const float* const plains[kQuarter] = {q + plain, q + kQuarterSums + plain,
                                                   q + 2 * kQuarterSums + plain,
                                                   q + 3 * kQuarterSums + plain};
            const float* const placeds[kQuarter] = {q + placed, q + kQuarterSums + placed,
                                                    q + 2 * kQuarterSums + placed,
                                                    q + 3 * kQuarterSums + placed};
            splitCells(plains, placeds, weights, out + half * kHogBins,
                       out + kAcrossLength + half * kHogBins);
        }
    }
}

// Block row by from the sums across of its four quarter rows (ring slots
// (2 by + j) % 4), split down, then normalised.
OMBRE_VECTOR_CLONES void makeBlockRow(const std::vector<float>& ring, int by, int blocksAcross,
                                      const AxisWeight (&weights)[kQuarter], float* blocks)
{
    const size_t ringRow = size_t(blocksAcross) * 2 * kAcrossLength;
    const float* rows[kQuarter];
    for (int j = 0; j < kQuarter; ++j)
        rows[j] = ring.data() + ((2 * by + j) % kRing) * ringRow;
    for (int bx = 0; bx < blocksAcross; ++bx) {
        float* block = blocks + size_t(bx) * kHogBlockLength;
        for (int cx = 0; cx < 2; ++cx) {
            const int at = (bx * 2 + cx) * kAcrossLength;
            const float* const plains[kQuarter] = {rows[0] + at, rows[1] + at, rows[2] + at,
                                                   rows[3] + at};
            const float* const placeds[kQuarter] = {plains[0] + kHogBins, plains[1] + kHogBins,
                                                    plains[2] + kHogBins, plains[3] + kHogBins};
            splitCells(plains, placeds, weights, block + cx * kHogBins,
                       block + (2 + cx) * kHogBins);
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
    std::vector<float> folded(size_t(quartersAcross) * kQuarterSums);
    const size_t ringRow = size_t(blocksAcross_) * 2 * kAcrossLength;
    std::vector<float> ring(kRing * ringRow);
    HogRowVotes votes[kQuarter];
    for (int qy = 0; qy < quartersDown; ++qy) {
        for (int sy = 0; sy < kQuarter; ++sy)
            hogRowVotes(image, qy * kQuarter + sy, width, votes[sy]);
        gatherQuarters(votes, quartersAcross, folded.data());
        sumAcross(folded.data(), blocksAcross_, weights, ring.data() + (qy % kRing) * ringRow);
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

// Eight floats side by side: one AVX2 register, two of the baseline's.
using Lanes = float __attribute__((vector_size(32)));

// Passed by reference: by value, their ABI would change with the processor.
OMBRE_INLINE void load(Lanes& v, const float* p)
{
    std::memcpy(&v, p, sizeof v);
}

OMBRE_INLINE float total(const Lanes& z)
{
    return ((z[0] + z[4]) + (z[1] + z[5])) + ((z[2] + z[6]) + (z[3] + z[7]));
}

// The dot products of the n floats of a (n a multiple of 4) with the n floats
// from each of b[0..W), runs of 8 in 8 sums side by side and a last run of 4
// in the first 4 of them. W windows at a time share the loads of a and keep
// W sums in flight.
template <int W>
OMBRE_INLINE void dots(const float* __restrict a, const float* const (&b)[W], int n,
                       double* __restrict out)
{
    Lanes sums[W] = {};
    int k = 0;
    for (; k + 8 <= n; k += 8) {
        Lanes x;
        load(x, a + k);
        for (int w = 0; w < W; ++w) {
            Lanes y;
            load(y, b[w] + k);
            sums[w] += x * y;
        }
    }
    for (int w = 0; w < W; ++w) {
        for (int l = 0; k + l < n; ++l)
            sums[w][l] += a[k + l] * b[w][k + l];
        out[w] += total(sums[w]);
    }
}

// Adds to out[c], for each of count windows, the dot product of weights with
// the run of n floats from blocks + c * kHogBlockLength.
OMBRE_VECTOR_CLONES void addDots(const float* weights, const float* blocks, int n, int count,
                                 double* out)
{
    constexpr int kTogether = 4;
    int c = 0;
    for (; c + kTogether <= count; c += kTogether) {
        const float* b[kTogether];
        for (int w = 0; w < kTogether; ++w)
            b[w] = blocks + size_t(c + w) * kHogBlockLength;
        dots<kTogether>(weights, b, n, out + c);
    }
    for (; c < count; ++c) {
        const float* b[1] = {blocks + size_t(c) * kHogBlockLength};
        dots<1>(weights, b, n, out + c);
    }
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
        for (int j = 0; j < rows; ++j)
            addDots(weights.data() + size_t(j) * run, block(0, r + j), run, across,
                    scores.data() + size_t(r) * across);
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

#include "Decision.h"

#include "Window.h"

#include <cmath>

namespace
{

// LIBLINEAR's sum: weight times count in index order, one rounding after
// every product and every addition.
double inOrderSum(const model& m, const int* hist)
{
    double dec = 0;
    for (int j = 0; j < kHistSize; ++j)
        dec += m.w[j] * static_cast<double>(hist[j]);
    return dec;
}

} // namespace

static_assert(kHistSize % 4 == 0, "the fast sum takes four products at a time");

bool acceptsWindow(const model& m, const int* hist)
{
    // The same products summed in four independent runs, with the sum of
    // their magnitudes. Any order of summing n products lies within
    // n * 2^-53 * magnitudes of the exact value (2001 roundings at most:
    // 2000 products and the additions), so when this sum is further than
    // twice that from zero (with room to spare), the in-order sum has its
    // sign and cannot be 0. Otherwise the in-order sum decides.
    double sum[4] = {0, 0, 0, 0};
    double size[4] = {0, 0, 0, 0};
    for (int j = 0; j < kHistSize; j += 4) {
        for (int k = 0; k < 4; ++k) {
            const double product = m.w[j + k] * static_cast<double>(hist[j + k]);
            sum[k] += product;
            size[k] += std::fabs(product);
        }
    }
    const double fast = (sum[0] + sum[1]) + (sum[2] + sum[3]);
    const double magnitudes = (size[0] + size[1]) + (size[2] + size[3]);
    const double dec = std::fabs(fast) > 1e-12 * magnitudes ? fast : inOrderSum(m, hist);
    return (dec > 0 ? m.label[0] : m.label[1]) >= 0;
}

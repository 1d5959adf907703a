#include "PhotoSplit.h"

#include <algorithm>
#include <cmath>
#include <utility>

NameDraws::NameDraws(const QString& name, std::uint32_t seed)
{
    // FNV-1a over the name's UTF-8 bytes, then the seed mixed in.
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : name.toUtf8()) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    state = hash ^ (std::uint64_t(seed) * 0x9E3779B97F4A7C15ull);
}

std::uint64_t NameDraws::next()
{
    // splitmix64
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

int NameDraws::uniform(int lo, int hi)
{
    const std::uint64_t span = std::uint64_t(std::int64_t(hi) - lo) + 1;
    return static_cast<int>(lo + std::int64_t(next() % span));
}

double NameDraws::real(double lo, double hi)
{
    // The top 53 bits make a double in [0, 1).
    return lo + (hi - lo) * (double(next() >> 11) * 0x1.0p-53);
}

std::vector<bool> chooseTestPhotos(const std::vector<QString>& names, double share,
                                   std::uint32_t seed)
{
    std::vector<std::pair<std::uint64_t, int>> order;
    for (int i = 0; i < static_cast<int>(names.size()); ++i)
        order.push_back({NameDraws(names[i], seed).next(), i});
    // Equal draws keep the photographs' order, so the choice stays fixed.
    std::sort(order.begin(), order.end());
    const auto count = static_cast<std::size_t>(std::llround(share * names.size()));
    std::vector<bool> test(names.size(), false);
    for (std::size_t k = 0; k < count && k < order.size(); ++k)
        test[order[k].second] = true;
    return test;
}

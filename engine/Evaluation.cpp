#include "Evaluation.h"

#include <algorithm>

namespace
{

// In 64 bits: the file may hold any int.
bool matches(const Box& f, const Box& r)
{
    return static_cast<long long>(f.Xmin) + 40 >= r.Xmin &&
           static_cast<long long>(f.Xmax) - 40 <= r.Xmax;
}

} // namespace

MatchCounts countMatches(const std::vector<Box>& found, const std::vector<Box>& right)
{
    MatchCounts c;
    c.GT = static_cast<long long>(right.size());
    c.DET = static_cast<long long>(found.size());

    // Found boxes by image number, so that a right box meets only its own
    // image's boxes.
    std::vector<size_t> byImage(found.size());
    for (size_t k = 0; k < found.size(); ++k)
        byImage[k] = k;
    std::stable_sort(byImage.begin(), byImage.end(),
                     [&](size_t a, size_t b) { return found[a].Num < found[b].Num; });
    const auto byNum = [&](size_t k, int Num) { return found[k].Num < Num; };

    std::vector<bool> foundMatched(found.size(), false);
    for (const Box& r : right) {
        bool rightMatched = false;
        auto it = std::lower_bound(byImage.begin(), byImage.end(), r.Num, byNum);
        for (; it != byImage.end() && found[*it].Num == r.Num; ++it) {
            if (matches(found[*it], r)) {
                rightMatched = true;
                foundMatched[*it] = true;
            }
        }
        c.TP1 += rightMatched;
    }
    c.TP = std::count(foundMatched.begin(), foundMatched.end(), true);
    return c;
}

QByteArray resultText(const MatchCounts& counts)
{
    const double Recall = counts.GT ? double(counts.TP1) / double(counts.GT) : 0.0;
    const double Precision = counts.DET ? double(counts.TP) / double(counts.DET) : 0.0;
    return "Recall = " + QByteArray::number(Recall, 'f', 6) +
           ", Precision = " + QByteArray::number(Precision, 'f', 6) + ' ';
}

#include "Evaluation.h"

MatchCounts countMatches(const std::vector<Box>& found, const std::vector<Box>& right)
{
    MatchCounts c;
    c.GT = static_cast<long long>(right.size());
    c.DET = static_cast<long long>(found.size());
    bool b = true;
    for (const Box& r : right) {
        for (const Box& f : found) {
            if (f.Num != r.Num) {
                b = true;
                continue;
            }
            // In 64 bits: the file may hold any int.
            if (static_cast<long long>(f.Xmin) + 40 >= r.Xmin &&
                static_cast<long long>(f.Xmax) - 40 <= r.Xmax) {
                if (b)
                    ++c.TP1;
                ++c.TP;
                b = false;
            }
        }
    }
    return c;
}

QByteArray resultText(const MatchCounts& counts)
{
    const double Recall = counts.GT ? double(counts.TP1) / double(counts.GT) : 0.0;
    const double Precision = counts.DET ? double(counts.TP) / double(counts.DET) : 0.0;
    return "Recall = " + QByteArray::number(Recall, 'f', 6) +
           ", Precision = " + QByteArray::number(Precision, 'f', 6) + ' ';
}

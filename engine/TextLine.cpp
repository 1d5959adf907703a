#include "TextLine.h"

#include <climits>

namespace
{

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

LineStart readInts(const QByteArray& line, int* values, int count)
{
    const char* p = line.constData();
    const char* const end = p + line.size();
    for (int k = 0; k < count; ++k) {
        while (p < end && isBlank(*p))
            ++p;
        if (p == end)
            return k == 0 ? LineStart::Blank : LineStart::Bad;
        bool negative = false;
        if (*p == '+' || *p == '-') {
            negative = *p == '-';
            ++p;
        }
        if (p == end || !isDigit(*p))
            return LineStart::Bad;
        // Accumulate as a negative number so that INT_MIN fits.
        long long value = 0;
        for (; p < end && isDigit(*p); ++p) {
            value = value * 10 - (*p - '0');
            if (value < -static_cast<long long>(INT_MAX) - 1)
                return LineStart::Bad;
        }
        if (!negative) {
            value = -value;
            if (value > INT_MAX)
                return LineStart::Bad;
        }
        values[k] = static_cast<int>(value);
    }
    return LineStart::Numbers;
}

#pragma once

#include <QByteArray>

// How a line of a location or names file begins.
enum class LineStart {
    Numbers, // it begins with all the integers wanted
    Blank,   // only white space: carries nothing
    Bad,     // something else, or a number that does not fit an int
};

// Reads count signed decimal integers from the start of line, in the manner
// of "%d": white space before each is skipped, an optional sign and digits
// form it, and whatever follows the last one is ignored.
LineStart readInts(const QByteArray& line, int* values, int count);

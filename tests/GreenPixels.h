#pragma once

#include <QImage>

#include <set>
#include <utility>

// The (column, row) of every pixel in a found box's colour.
using Pixels = std::set<std::pair<int, int>>;
Pixels greenPixels(const QImage& image);

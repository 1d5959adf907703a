#pragma once

#include <QString>

#include <vector>

// Writes a LIBLINEAR model file for the 80x200 window by hand: two classes
// labelled 1 and -1, the given weights (2000 of them unless a test wants a
// misfit), and the given bias term (-1: none).
void writeModel(const QString& path, const std::vector<double>& w, double bias = -1,
                int nrClass = 2);

// Weights that accept every window: each of a window's 16000 votes adds.
std::vector<double> acceptAllWeights();

// Seeded weights around zero that accept some windows and reject others.
std::vector<double> mixedWeights(unsigned seed, double offset = 0.0);

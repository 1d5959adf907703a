#pragma once

#include <QByteArray>

struct model;

// A number as printf's "%.17g" writes it in the C locale, whatever the
// user's: the text that reads back as the same double.
QByteArray g17(double x);

// The text LIBLINEAR's save_model writes for m, a two-class model of a
// classifier that keeps one weight per feature (see twoClassSolverName):
// one weight a line, then the bias term's when there is one.
QByteArray modelText(const model& m);

#pragma once

#include <QByteArray>
#include <QString>

struct model;

// LIBLINEAR's load_model trusts its file: a header key left out or out of
// order leaves a field unset, a count sizes an allocation, and a failed read
// leaks. So a model file is read once, its text is checked, and the model is
// built from that same text: only text that load_model would read completely
// and that fits the window gets through.

// Why text is not a model for the 80x200 window, or an empty text when it
// is one. Requires LIBLINEAR's model format as save_model writes it, words
// separated by any white space:
// - before "w", each of these keys exactly once, label after nr_class:
//   solver_type naming a classifier that keeps one weight per feature for
//   two classes, nr_class 2, label with one object label (>= 0) and one
//   background label (< 0), nr_feature 2000, and a negative bias (none);
// - after "w", exactly 2000 finite numbers and nothing else.
QString modelTextProblem(const QByteArray& text);

// Loads the model file at path, a regular file, if its text passes
// modelTextProblem. Returns the model, which the caller releases with
// free_and_destroy_model, or null with why saying what is wrong.
model* loadModelFile(const QString& path, QString& why);

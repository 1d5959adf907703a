#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

struct model;

// LIBLINEAR's load_model trusts its file: a header key left out or out of
// order leaves a field unset, a count sizes an allocation, and a failed read
// leaks. So a model file is read once, its text is checked, and the model is
// built from that same text: only text that load_model would read completely
// and that fits the window gets through.

// The first words of a detector file of ombre-train (scan/DetectorFile.h),
// which holds a model but is not one.
constexpr char kDetectorFirstWords[] = "ombre detector";

// Why text is not a model for the 80x200 window, or an empty text when it
// is one (a detector file is not). Requires LIBLINEAR's model format as
// save_model writes it, words separated by any white space:
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

// What the model text of a window must say, for the reasons of
// modelTextProblem below: its features, whether a bias term is allowed, and
// what the features describe ("the window").
struct ModelShape {
    int features = 0;
    bool biasAllowed = false;
    QString featuresOf;
};

// What a checked model text says, ready to be handed to LIBLINEAR. A bias
// of 0 or more has its weight after the features' ones.
struct ModelValues {
    int solverType = 0;
    int labels[2] = {0, 0};
    double bias = -1;
    std::vector<double> weights;
};

// Why the model text that starts at byte from of text, on line line, does
// not have shape, or an empty text when it has. Checks as the plain model's
// modelTextProblem does, with shape.features in place of 2000 and, when
// shape.biasAllowed, any finite bias: one of 0 or more brings one weight
// more. Takes the values into values.
QString modelTextProblem(const QByteArray& text, qsizetype from, int line, const ModelShape& shape,
                         ModelValues& values);

// The name save_model writes for a solver that modelTextProblem accepts, or
// null for any other.
const char* twoClassSolverName(int solverType);

// A word as a reason shows it: in quotes, short, and only printable ASCII.
QString shownWord(const QByteArray& word);

// A word as fscanf would read a whole int or a finite double from it in the
// C locale, whatever the user's; false for anything else.
bool intWord(const QByteArray& word, int& value);
bool finiteWord(const QByteArray& word, double& value);

// Reads the regular file at path into text, at most most + 1 bytes of it,
// so that a caller can tell a file larger than most without reading it to
// its end. Otherwise false with why.
bool readRegularFile(const QString& path, qint64 most, QByteArray& text, QString& why);

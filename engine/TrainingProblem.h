#pragma once

#include "TrainingRows.h"

#include <linear.h>

#include <vector>

// LIBLINEAR's problem over training rows, each row given by its non-zero
// counts alone, 16 bytes each. A zero feature adds nothing to any of the
// solver's sums, so the model is bit for bit the one that full rows give.
class TrainingProblem
{
public:
    // Requires labels.size() == rows.size(); rows and labels need not
    // outlive the problem.
    TrainingProblem(const TrainingRows& rows, const std::vector<int>& labels);
    TrainingProblem(const TrainingProblem&) = delete;
    TrainingProblem& operator=(const TrainingProblem&) = delete;

    // The detector's classifier: L2-regularised L2-loss linear SVM by the
    // dual solver, cost C (Ombrec t's is 1), tolerance 0.0001, no bias, 2000
    // features. The solver shuffles with rand(); the same seed before every
    // training makes the model depend on the rows alone. The caller frees the
    // model with free_and_destroy_model.
    model* train(double C = 1) const;

    // The features given to LIBLINEAR, end markers included.
    size_t nodeCount() const { return nodes.size(); }

private:
    std::vector<double> y;
    std::vector<feature_node> nodes;
    std::vector<feature_node*> x;
    problem prob{};
};

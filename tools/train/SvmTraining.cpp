#include "SvmTraining.h"

#include "TrainingProblem.h"

#include <linear.h>

#include <algorithm>
#include <cstdlib>

namespace
{

// LIBLINEAR's default tolerance for the dual solver.
constexpr double kTolerance = 0.1;

// LIBLINEAR's own progress lines would mix with the round summaries.
void quiet(const char*) {}

// Appends a window's non-zero features (a zero adds nothing to the
// solver's sums), the bias feature and the end marker.
void appendRow(const std::vector<float>& features, std::vector<feature_node>& nodes)
{
    const int count = static_cast<int>(features.size());
    for (int j = 0; j < count; ++j) {
        if (features[static_cast<size_t>(j)] != 0)
            nodes.push_back({j + 1, features[static_cast<size_t>(j)]});
    }
    nodes.push_back({count + 1, 1.0});
    nodes.push_back({-1, 0});
}

} // namespace

OwnedModel trainSvm(const TrainingSet& set, int features, double C)
{
    // Counted first, so that the nodes are allocated once, at their size.
    size_t count = 0;
    for (const auto* rows : {&set.positives, &set.negatives}) {
        for (const std::vector<float>& row : *rows)
            count += static_cast<size_t>(
                         std::count_if(row.begin(), row.end(), [](float v) { return v != 0; })) +
                     2;
    }
    std::vector<feature_node> nodes;
    nodes.reserve(count);
    std::vector<size_t> starts;
    std::vector<double> labels;
    for (const auto* rows : {&set.positives, &set.negatives}) {
        for (const std::vector<float>& row : *rows) {
            starts.push_back(nodes.size());
            appendRow(row, nodes);
            labels.push_back(rows == &set.positives ? 1 : -1);
        }
    }
    std::vector<feature_node*> x;
    for (size_t start : starts)
        x.push_back(&nodes[start]);

    problem prob{};
    prob.l = static_cast<int>(x.size());
    prob.n = features + 1;
    prob.y = labels.data();
    prob.x = x.data();
    prob.bias = 1;
    parameter param{};
    param.solver_type = L2R_L2LOSS_SVC_DUAL;
    param.C = C;
    param.eps = kTolerance;
    set_print_string_function(quiet);
    std::srand(1);
    return OwnedModel(train(&prob, &param));
}

OwnedModel trainCountsSvm(const TrainingSet& set, double C)
{
    // Counts of an 8x8 cell fit a byte, as in Ombrec's rows.
    TrainingRows rows;
    std::vector<int> labels;
    for (const auto* windows : {&set.positives, &set.negatives}) {
        for (const std::vector<float>& window : *windows) {
            TrainingRow& row = rows.emplace_back();
            std::transform(window.begin(), window.end(), row.begin(),
                           [](float v) { return static_cast<std::uint8_t>(v); });
            labels.push_back(windows == &set.positives ? 1 : -1);
        }
    }
    set_print_string_function(quiet);
    return OwnedModel(TrainingProblem(rows, labels).train(C));
}

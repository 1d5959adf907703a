#include "TrainingProblem.h"

#include <cstdlib>

TrainingProblem::TrainingProblem(const TrainingRows& rows, const std::vector<int>& labels)
    : y(labels.begin(), labels.end())
{
    // Counted first, so that the nodes take one allocation of their exact size.
    size_t count = rows.size();
    for (const TrainingRow& row : rows)
        for (std::uint8_t v : row)
            count += v != 0;
    nodes.reserve(count);
    x.reserve(rows.size());
    for (const TrainingRow& row : rows) {
        x.push_back(nodes.data() + nodes.size());
        for (int j = 0; j < kHistSize; ++j) {
            if (row[j] != 0)
                nodes.push_back(feature_node{j + 1, static_cast<double>(row[j])});
        }
        nodes.push_back(feature_node{-1, 0.0});
    }
    prob.l = static_cast<int>(rows.size());
    prob.n = kHistSize;
    prob.y = y.data();
    prob.x = x.data();
    prob.bias = -1;
}

model* TrainingProblem::train(double C) const
{
    parameter param{};
    param.solver_type = L2R_L2LOSS_SVC_DUAL;
    param.eps = 0.0001;
    param.C = C;
    param.nr_weight = 0;
    std::srand(1);
    return ::train(&prob, &param);
}

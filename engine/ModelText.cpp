#include "ModelText.h"

#include "ModelFile.h"

#include <linear.h>

#include <cmath>

QByteArray g17(double x)
{
    // Qt leaves the sign off -0, which a weight of LIBLINEAR can be.
    if (x == 0 && std::signbit(x))
        return "-0";
    return QByteArray::number(x, 'g', 17);
}

QByteArray modelText(const model& m)
{
    QByteArray text = QByteArray("solver_type ") + twoClassSolverName(m.param.solver_type) +
                      "\nnr_class 2\nlabel " + QByteArray::number(m.label[0]) + ' ' +
                      QByteArray::number(m.label[1]) + "\nnr_feature " +
                      QByteArray::number(m.nr_feature) + "\nbias " + g17(m.bias) + "\nw\n";
    const int count = m.nr_feature + (m.bias >= 0 ? 1 : 0);
    for (int j = 0; j < count; ++j)
        text += g17(m.w[j]) + " \n";
    return text;
}

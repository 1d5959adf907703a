#include "TestModels.h"

#include "Window.h"

#include <QFile>

#include <random>

void writeModel(const QString& path, const std::vector<double>& w, double bias, int nrClass)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    QByteArray text =
        "solver_type L2R_L2LOSS_SVC_DUAL\nnr_class " + QByteArray::number(nrClass) + "\nlabel";
    for (int c = 0; c < nrClass; ++c)
        text += ' ' + QByteArray::number(c == 0 ? 1 : -c);
    const int features = static_cast<int>(w.size()) - (bias >= 0 ? 1 : 0);
    text += "\nnr_feature " + QByteArray::number(features) + "\nbias " +
            QByteArray::number(bias, 'g', 17) + "\nw\n";
    const int columns = nrClass == 2 ? 1 : nrClass;
    for (double v : w) {
        for (int c = 0; c < columns; ++c)
            text += QByteArray::number(v, 'g', 17) + ' ';
        text += '\n';
    }
    file.write(text);
}

std::vector<double> acceptAllWeights()
{
    return std::vector<double>(kHistSize, 1.0);
}

std::vector<double> mixedWeights(unsigned seed, double offset)
{
    std::mt19937 random(seed);
    std::vector<double> w(kHistSize);
    for (double& v : w)
        v = (static_cast<double>(random() % 2001) - 1000.0) / 1000.0 + offset;
    return w;
}

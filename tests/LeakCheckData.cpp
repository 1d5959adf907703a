#include "PngBytes.h"
#include "TestModels.h"
#include "TestScenes.h"

#include <QDir>
#include <QFile>

#include <cstdio>

namespace
{

bool write(const QDir& dir, const char* name, const QByteArray& bytes)
{
    QFile file(dir.filePath(name));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

// Writes the small data set that scripts/leakcheck runs the console program
// on: six images with one figure each and their boxes, names files, a model
// for the search, and the broken files of the failure paths.
int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: leakcheck_data DIRECTORY\n", stderr);
        return 2;
    }
    QDir dir(QString::fromLocal8Bit(argv[1]));
    QByteArray boxes;
    for (int n = 0; n < 6; ++n) {
        const int x = 30 + 35 * n;
        if (!savePng(sceneWithFigures(320, 210, {x}, n), dir.filePath(QString("%1.png").arg(n))))
            return 1;
        boxes += QByteArray::number(n) + " 0 " + QByteArray::number(x) + " 200 " +
                 QByteArray::number(x + 80) + '\n';
    }
    writeModel(dir.filePath("search-model.txt"), mixedWeights(5));
    const bool written = write(dir, "right.txt", boxes) &&
                         write(dir, "locations.txt", boxes + "not a box\n0 0 300 200 380\n") &&
                         write(dir, "names.txt", "0\n1\n2\n") &&
                         write(dir, "names-missing.txt", "0\n\nx\n77\n") &&
                         write(dir, "garbage-model.txt", "solver_type ???\n\x01\x02") &&
                         write(dir, "huge.png", pngClaimingSize(100000, 100000));
    return written ? 0 : 1;
}

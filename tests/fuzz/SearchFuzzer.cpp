#include "Controller.h"
#include "FakeView.h"
#include "FuzzCheck.h"
#include "TestModels.h"
#include "Window.h"

#include <QCoreApplication>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace
{

QTemporaryDir* dir;
FakeView* view;
Controller* controller;

QString path(const char* name)
{
    return dir->filePath(QLatin1String(name));
}

// The lines of the output file, each checked to be a window of the image
// searched: "0  0  X  200  X+80" with X a multiple of 5 left of width - 80,
// in increasing order.
void checkOutput(int width)
{
    QFile out(path("out.txt"));
    FUZZ_CHECK(out.open(QIODevice::ReadOnly));
    int previous = -5;
    for (QByteArray line = out.readLine(); !line.isEmpty(); line = out.readLine()) {
        const int X = previous + 5;
        FUZZ_CHECK(X < width - kWindowWidth);
        // Windows are tried in order, so the next line is at one of the
        // following positions.
        bool found = false;
        for (int x = X; x < width - kWindowWidth && !found; x += 5) {
            if (line ==
                "0  0  " + QByteArray::number(x) + "  200  " + QByteArray::number(x + 80) + '\n') {
                previous = x;
                found = true;
            }
        }
        FUZZ_CHECK(found);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    new QCoreApplication(*argc, *argv);
    // Keeps every input quick; larger images take the same refusal path.
    QImageReader::setAllocationLimit(16);
    dir = new QTemporaryDir;
    FUZZ_CHECK(dir->isValid());
    writeModel(path("model.txt"), mixedWeights(3));
    view = new FakeView;
    static char command[1] = {'x'};
    controller = new Controller(*view, command);
    return 0;
}

// Any bytes as the image of a single-image search with a fixed model: the
// search completes or reports "Error", and writes only whole lines of
// windows that lie in the image.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QFile image(path("image"));
    FUZZ_CHECK(image.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(image.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) ==
               static_cast<qint64>(size));
    image.close();

    view->reports.clear();
    view->answers = QStringList{path("image"), path("model.txt"), path("out.txt")};
    controller->serIn();

    FUZZ_CHECK(view->reports.size() == 1);
    const QString report = view->reports[0].text;
    FUZZ_CHECK(report == "Searching in the Image Completed" || report == "Error");
    const QImage* searched = controller->detector().curImage.get();
    if (report == "Error")
        FUZZ_CHECK(QFile(path("out.txt")).size() == 0);
    else
        checkOutput(searched->height() >= kWindowHeight ? searched->width() : 0);
    return 0;
}

#include "FuzzCheck.h"
#include "LocationFile.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>

// Any bytes as a location file: the reader gives each box with the line it
// came from, and the lines the search writes for those boxes read back as
// the same boxes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer file(&text);
    file.open(QIODevice::ReadOnly);
    std::vector<Box> boxes;
    std::vector<int> lineNumbers;
    FUZZ_CHECK(readLocations(file, QStringLiteral("fuzz.txt"), boxes, &lineNumbers));

    FUZZ_CHECK(lineNumbers.size() == boxes.size());
    int previous = 0;
    for (int n : lineNumbers) {
        FUZZ_CHECK(n > previous);
        previous = n;
    }
    FUZZ_CHECK(previous <= text.count('\n') + 1);

    QByteArray written;
    for (const Box& box : boxes)
        written += locationLine(box);
    QBuffer again(&written);
    again.open(QIODevice::ReadOnly);
    std::vector<Box> readBack;
    FUZZ_CHECK(readLocations(again, QStringLiteral("written.txt"), readBack) && readBack == boxes);
    return 0;
}

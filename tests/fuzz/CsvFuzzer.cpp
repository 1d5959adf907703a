#include "CsvAnnotations.h"
#include "FuzzCheck.h"
#include "FuzzFile.h"

#include <cstddef>
#include <cstdint>

// Any bytes as a CSV file of boxes: either every photograph has a name and
// every box an area, or the reader names the file in its error and leaves
// what it was given alone.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = writeFuzzFile(QStringLiteral("boxes.csv"), data, size);

    std::vector<AnnotatedPhoto> photos = {AnnotatedPhoto{"given.png", "given:1", {}}};
    QString error;
    if (!readCsvAnnotations(path, photos, error)) {
        FUZZ_CHECK(error.startsWith(path + ':'));
        FUZZ_CHECK(photos.size() == 1 && photos[0].people.empty());
        return 0;
    }
    FUZZ_CHECK(error.isEmpty());
    FUZZ_CHECK(!photos.empty() && photos[0].name == QLatin1String("given.png"));
    for (const AnnotatedPhoto& photo : photos) {
        FUZZ_CHECK(!photo.name.isEmpty());
        for (const PersonBox& box : photo.people) {
            FUZZ_CHECK(box.xmax > box.xmin && box.ymax > box.ymin);
            FUZZ_CHECK(box.where.startsWith(path + ':'));
        }
    }
    return 0;
}

#include "FuzzCheck.h"
#include "FuzzFile.h"
#include "VocAnnotations.h"

#include <QFileInfo>

#include <cstddef>
#include <cstdint>

// Any bytes as a Pascal VOC file: either its photograph has a name and every
// person's box an area, or the reader names the file in its error and
// leaves what it was given alone.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = writeFuzzFile(QStringLiteral("a.xml"), data, size);

    std::vector<AnnotatedPhoto> photos;
    QString error;
    if (!readVocAnnotations(QFileInfo(path).path(), photos, error)) {
        FUZZ_CHECK(error.startsWith(path));
        FUZZ_CHECK(photos.empty());
        return 0;
    }
    FUZZ_CHECK(photos.size() == 1);
    FUZZ_CHECK(!photos[0].name.isEmpty());
    for (const PersonBox& box : photos[0].people)
        FUZZ_CHECK(box.xmax > box.xmin && box.ymax > box.ymin);
    return 0;
}

#include "FuzzCheck.h"
#include "NamesFile.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace
{

std::vector<int> readAll(QByteArray& text)
{
    QBuffer file(&text);
    file.open(QIODevice::ReadOnly);
    NamesReader names(file, QStringLiteral("fuzz.txt"));
    std::vector<int> numbers;
    int number = 0;
    while (names.next(number))
        numbers.push_back(number);
    return numbers;
}

} // namespace

// Any bytes as a names file: at most one number a line, and the numbers
// written one to a line read back the same.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::vector<int> numbers = readAll(text);
    FUZZ_CHECK(static_cast<qsizetype>(numbers.size()) <= text.count('\n') + 1);

    QByteArray written;
    for (int n : numbers)
        written += QByteArray::number(n) + '\n';
    FUZZ_CHECK(readAll(written) == numbers);
    return 0;
}

#include "AnswerReader.h"
#include "FuzzCheck.h"

#include <QTextStream>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <unistd.h>

// Any bytes as the console's standard input, through a pipe as a shell
// gives them: every answer is one non-empty word without white space, and
// the answers end with the input.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // All of it must fit in the pipe before anyone reads.
    if (size > 32768)
        return 0;
    int ends[2];
    FUZZ_CHECK(pipe(ends) == 0);
    FUZZ_CHECK(write(ends[1], data, size) == static_cast<ssize_t>(size));
    close(ends[1]);
    FILE* input = fdopen(ends[0], "r");
    FUZZ_CHECK(input != nullptr);
    {
        QTextStream in(input);
        size_t answers = 0;
        for (QString word = readAnswer(in); !word.isEmpty(); word = readAnswer(in)) {
            for (QChar c : word)
                FUZZ_CHECK(!c.isSpace());
            FUZZ_CHECK(++answers <= size);
        }
    }
    std::fclose(input);
    return 0;
}

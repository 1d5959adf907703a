#include "LocationFile.h"
#include "NamesFile.h"
#include "TestNames.h"

#include <QBuffer>
#include <QFile>
#include <gtest/gtest.h>

#include <vector>

namespace
{

std::vector<Box> readText(const QByteArray& text)
{
    QByteArray data = text;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    std::vector<Box> boxes;
    EXPECT_TRUE(readLocations(buffer, QStringLiteral("boxes.txt"), boxes));
    return boxes;
}

std::vector<int> readNames(const QByteArray& text)
{
    QByteArray data = text;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    NamesReader reader(buffer, QStringLiteral("names.txt"));
    std::vector<int> numbers;
    int n = 0;
    while (reader.next(n))
        numbers.push_back(n);
    return numbers;
}

struct LineCase {
    const char* what;
    QByteArray text;
    std::vector<Box> boxes;
};

class LocationReader : public testing::TestWithParam<LineCase>
{
};

TEST_P(LocationReader, ReadsTheBoxesOfTheLine)
{
    testing::internal::CaptureStderr();
    EXPECT_EQ(readText(GetParam().text), GetParam().boxes);
    testing::internal::GetCapturedStderr();
}

const Box kBox{3, 10, 20, 210, 100};

INSTANTIATE_TEST_SUITE_P(
    Separators, LocationReader,
    testing::Values(LineCase{"single blanks", "3 10 20 210 100\n", {kBox}},
                    LineCase{"tabs", "3\t10\t20\t210\t100\n", {kBox}},
                    LineCase{"double blanks", "3  10  20  210  100\n", {kBox}},
                    LineCase{"CRLF", "3 10 20 210 100\r\n", {kBox}},
                    LineCase{"leading blanks", "   3 10 20 210 100\n", {kBox}},
                    LineCase{"no final line feed", "3 10 20 210 100", {kBox}},
                    LineCase{"text after the fifth number", "3 10 20 210 100 person\n", {kBox}},
                    LineCase{"signs", "+3 -10 20 -210 +100\n", {Box{3, -10, 20, -210, 100}}},
                    LineCase{"int extremes",
                             "2147483647 -2147483648 0 0 0\n",
                             {Box{2147483647, -2147483647 - 1, 0, 0, 0}}}),
    [](const auto& info) { return testName(info.param.what); });

INSTANTIATE_TEST_SUITE_P(
    LinesWithoutABox, LocationReader,
    testing::Values(LineCase{"empty file", "", {}},
                    LineCase{"blank line between boxes",
                             "3 10 20 210 100\n\n  \t\r\n1 2 3 4 5\n",
                             {kBox, Box{1, 2, 3, 4, 5}}},
                    LineCase{"three numbers", "1 2 3 4 5\n7 8 9\n", {Box{1, 2, 3, 4, 5}}},
                    LineCase{"a word first", "box 1 2 3 4 5\n", {}},
                    LineCase{"number beyond int", "1 2 3 4 2147483648\n", {}},
                    LineCase{"number far beyond int", "1 2 3 4 99999999999999999999999\n", {}},
                    LineCase{"sign without digits", "1 2 - 4 5\n", {}},
                    LineCase{"NUL inside the numbers", QByteArray("1 2\0 3 4 5\n", 11), {}}),
    [](const auto& info) { return testName(info.param.what); });

TEST(LocationReaderTest, NeverSplitsALongLine)
{
    const QByteArray line = "4 0 35 200 115" + QByteArray(100000, ' ') + "9 9 9 9 9\n";
    EXPECT_EQ(readText(line + "1 2 3 4 5\n"),
              (std::vector<Box>{{4, 0, 35, 200, 115}, {1, 2, 3, 4, 5}}));
}

TEST(LocationReaderTest, ReportsASkippedLineWithFileAndLineNumber)
{
    testing::internal::CaptureStderr();
    readText("1 2 3 4 5\n\n1 2 3\n");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "warning: boxes.txt:3: expected five integers, line skipped\n");
}

TEST(LocationReaderTest, GivesTheLineNumberOfEachBox)
{
    QByteArray data = "\n1 2 3 4 5\nbad\n6 7 8 9 10\n";
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    std::vector<Box> boxes;
    std::vector<int> lines;
    testing::internal::CaptureStderr();
    readLocations(buffer, QStringLiteral("x"), boxes, &lines);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(lines, (std::vector<int>{2, 4}));
}

TEST(LocationLineTest, HasTwoBlanksBetweenFieldsAndOneLineFeed)
{
    EXPECT_EQ(locationLine(Box{4, 0, 35, 200, 115}), "4  0  35  200  115\n");
    EXPECT_EQ(locationLine(Box{-1, 0, 0, 0, -2147483647 - 1}), "-1  0  0  0  -2147483648\n");
}

TEST(LocationLineTest, ReadsBackAsTheSameBox)
{
    const Box box{12, 0, 555, 200, 635};
    EXPECT_EQ(readText(locationLine(box) + locationLine(box)), (std::vector<Box>{box, box}));
}

TEST(NamesReaderTest, TakesTheNumberAtTheStartOfEachLine)
{
    EXPECT_EQ(readNames("12\n   12\n12 and more\n12\r\n-3\n1000\n"),
              (std::vector<int>{12, 12, 12, 12, -3, 1000}));
}

TEST(NamesReaderTest, SkipsBlankLinesAndReportsLinesWithoutANumber)
{
    testing::internal::CaptureStderr();
    const std::vector<int> numbers =
        readNames("\n5\n\n  \nseven\n99999999999\n" + QByteArray(5000, '7') + "\n6");
    EXPECT_EQ(numbers, (std::vector<int>{5, 6}));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "warning: names.txt:5: expected an image number, line skipped\n"
              "warning: names.txt:6: expected an image number, line skipped\n"
              "warning: names.txt:7: expected an image number, line skipped\n");
}

TEST(NamesReaderTest, ReadsNoFurtherThanAsked)
{
    QByteArray data = "1\n2\nbad\n";
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    NamesReader reader(buffer, QStringLiteral("names.txt"));
    int n = 0;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(reader.next(n));
    EXPECT_EQ(n, 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

// A file that fails while it is read is not a file that ends: both readers
// say so, naming the file, and the command stops with "Error".
TEST(LineReaderTest, ReadErrorsAndEndlessLinesStopBothReaders)
{
    const struct {
        const char* path;
        const char* reason;
    } files[] = {
        {"/proc/self/mem", "error: can't read /proc/self/mem after line 0: Input/output error\n"},
        {"/dev/zero", "error: /dev/zero:1: the line is longer than 1048576 bytes; reading stopped\n"},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.path);
        QFile locations(f.path);
        ASSERT_TRUE(locations.open(QIODevice::ReadOnly));
        std::vector<Box> boxes;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(readLocations(locations, f.path, boxes));
        EXPECT_EQ(testing::internal::GetCapturedStderr(), f.reason);

        QFile names(f.path);
        ASSERT_TRUE(names.open(QIODevice::ReadOnly));
        NamesReader reader(names, f.path);
        int n = 0;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(reader.next(n));
        EXPECT_TRUE(reader.failed());
        EXPECT_EQ(testing::internal::GetCapturedStderr(), f.reason);
    }
}

} // namespace

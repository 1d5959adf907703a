#include "Programs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

// A row: the page docs/x.md of a tree whose README.md links to it, the
// exit code of scripts/check-docs on the tree, and the start of the first
// line it prints (nothing printed when empty). USAGE in the page stands
// for the usage block that ombre-evaluate --help gives.
struct DocsRow {
    const char* name;
    const char* page;
    int exitCode;
    const char* firstLine;
};

const char* const kReadme = R"(# Ombre

[The page](docs/x.md#the-page-ombre-evaluate), ![the page again](docs/x.md)
)";

const std::vector<DocsRow> kRows = {
    {"AllTrue", R"(# The page: `ombre-evaluate`

Back to [the README](../README.md#ombre) or [the top](#the-page-ombre-evaluate).

<!-- usage: ombre-evaluate -->
USAGE

<!-- run -->
    echo one >note.txt
    test -f "$OMBRE_SOURCE/scripts/check-docs"
    build/tools/evaluate/ombre-evaluate --version >/dev/null

<!-- run -->
    cat note.txt
    ombre-evaluate --version | cut -d ' ' -f 1

<!-- output -->
    one
    ombre-evaluate

<!-- options: ombre-draw-boxes -->

| Option | What it does |
|---|---|
| `--names FILE` | the images of [a names file](#the-page-ombre-evaluate) first |
| `--sheet FILE.png` | a contact sheet |
| `--columns N` | pictures to a row |
| `--scale PERCENT` | size of the pictures |
| `--first N` | only the first N images |
| `--help`, `--version` | the usage, the version |
)",
     0, ""},
    {"BrokenLink", R"(# The page: `ombre-evaluate`

See [the other page](y.md).
)",
     1, "docs/x.md:3: the link y.md names no file"},
    {"MissingAnchor", R"(# The page: `ombre-evaluate`

Back to [the README](../README.md#nombre).
)",
     1, "docs/x.md:3: the link ../README.md#nombre names no heading: no #nombre in README.md"},
    {"StaleUsage", R"(# The page: `ombre-evaluate`

<!-- usage: ombre-evaluate -->
USAGE
                   [--made-up N]
)",
     1, "docs/x.md:7: not the usage that ombre-evaluate --help prints: it ends before this line"},
    {"UnknownOption", R"(# The page: `ombre-evaluate`

<!-- options: ombre-draw-boxes -->
| Option | What it does |
|---|---|
| `--names FILE` | the images of a names file first |
| `--sheet FILE.png` | a contact sheet |
| `--columns N` | pictures to a row |
| `--rows N` | rows of the sheet |
| `--scale PERCENT` | size of the pictures |
| `--first N` | only the first N images |
)",
     1, "docs/x.md:9: --rows is not an option of ombre-draw-boxes --help\n"},
    {"LackingOption", R"(# The page: `ombre-evaluate`

<!-- options: ombre-draw-boxes -->

| Option | What it does |
|---|---|
| `--names FILE` | the images of a names file first |
| `--sheet FILE.png` | a contact sheet |
| `--columns N` | pictures to a row |
| `--scale PERCENT` | size of the pictures |
)",
     1, "docs/x.md:5: the options table of ombre-draw-boxes lacks --first\n"},
    {"FailingRunBlock", R"(# The page: `ombre-evaluate`

<!-- run -->
    echo one
    ombre-evaluate --truth none.csv --detections none.csv
    echo two

<!-- output -->
    one
)",
     1, "docs/x.md:4: the block failed with exit code 1"},
    {"DifferentOutput", R"(# The page: `ombre-evaluate`

<!-- run -->
    echo one
    ombre-evaluate --version

<!-- output -->
    one
    ombre-evaluate 0
)",
     1, "docs/x.md:9: the run block printed \"ombre-evaluate "},
    {"OutputThroughEllipsis", R"(# The page: `ombre-evaluate`

<!-- run -->
    ombre-evaluate --version
    ombre-evaluate --help

<!-- output -->
    ombre-evaluate …
    usage: ombre-evaluate (--truth …
    …
)",
     0, ""},
};

void PrintTo(const DocsRow& row, std::ostream* os)
{
    *os << row.name;
}

// The usage block of ombre-evaluate as a page shows it: its --help up to
// the first blank line, without "usage: " and the last line.
QByteArray evaluateUsage()
{
    const RunResult help = runProgram(
        QStringLiteral(OMBRE_BUILD_DIR "/tools/evaluate/ombre-evaluate"), {"--help"}, {});
    QList<QByteArray> lines = help.out.left(help.out.indexOf("\n\n")).split('\n');
    lines.removeLast();
    QByteArray block;
    for (const QByteArray& line : lines)
        block += "    " + line.mid(7) + '\n';
    block.chop(1);
    return block;
}

bool writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

class CheckDocsTest : public testing::TestWithParam<DocsRow>
{
};

TEST_P(CheckDocsTest, ReportsWhatIsWrong)
{
    const DocsRow& row = GetParam();
    QTemporaryDir tree;
    ASSERT_TRUE(QDir(tree.path()).mkdir("docs"));
    ASSERT_TRUE(writeFile(tree.filePath("README.md"), kReadme));
    ASSERT_TRUE(writeFile(tree.filePath("docs/x.md"),
                          QByteArray(row.page).replace("USAGE", evaluateUsage())));
    const RunResult r =
        runProgram(QStringLiteral(OMBRE_SOURCE_DIR "/scripts/check-docs"), {"--root", tree.path()},
                   {}, {QStringLiteral("OMBRE_BUILD=" OMBRE_BUILD_DIR)});
    EXPECT_EQ(r.exitCode, row.exitCode) << r.out.toStdString() << r.err.toStdString();
    if (*row.firstLine == '\0')
        EXPECT_EQ(r.out, "");
    else
        EXPECT_TRUE(r.out.startsWith(row.firstLine)) << r.out.toStdString();
}

INSTANTIATE_TEST_SUITE_P(EveryCheck, CheckDocsTest, testing::ValuesIn(kRows),
                         [](const testing::TestParamInfo<DocsRow>& info) {
                             return std::string(info.param.name);
                         });

} // namespace

#include "Programs.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace
{

// Every file and directory under root, by relative path, with its size.
std::map<QString, qint64> treeOf(const QString& root)
{
    std::map<QString, qint64> tree;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        tree[QDir(root).relativeFilePath(it.filePath())] = it.fileInfo().size();
    }
    return tree;
}

bool writeFile(const QString& path, const QByteArray& content, bool executable = false)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() &&
           (!executable || file.setPermissions(file.permissions() | QFile::ExeOwner));
}

// A row: a script of the checkout, its arguments, its exit code, and the
// files that its OUTDIR (the last argument) holds after the run. A row
// without such files must leave the checkout as it was.
struct ScriptRun {
    QString script;
    QStringList args;
    int exitCode;
    QStringList written = {};
};

void PrintTo(const ScriptRun& row, std::ostream* os)
{
    *os << (row.script + ' ' + row.args.join(' ')).toStdString();
}

std::vector<ScriptRun> scriptRuns()
{
    std::vector<ScriptRun> rows;
    for (const char* script :
         {"scripts/check-docs", "scripts/demo", "scripts/demo-photographs", "scripts/fuzz",
          "scripts/install-deps", "scripts/leakcheck", "scripts/package", "scripts/screenshot",
          "scripts/search-parallel", "scripts/test", "scripts/train-bootstrap",
          "packaging/check-package"}) {
        rows.push_back({script, {"--help"}, 0});
        rows.push_back({script, {"--version"}, 0});
        rows.push_back({script, {"--no-such-option"}, 2});
    }
    const QStringList training = {"--photos", "photos", "--csv", "boxes.csv"};
    rows.push_back({"scripts/search-parallel", {"-j", "2", "--help"}, 0});
    rows.push_back(
        {"scripts/train-bootstrap", training + QStringList{"out", "--no-such-option"}, 2});
    rows.push_back({"scripts/train-bootstrap",
                    training + QStringList{"--rounds", "08", "new"},
                    0,
                    {"model-8.txt", "model.txt"}});
    // What a failed run left, and a file of the user's, which stays.
    rows.push_back({"scripts/train-bootstrap",
                    training + QStringList{"failed"},
                    0,
                    {"model-1.txt", "model.txt", "notes.txt"}});
    // Files this script did not write.
    rows.push_back({"scripts/train-bootstrap", training + QStringList{"out"}, 1});
    return rows;
}

// Stand-ins of the programs that train-bootstrap runs: Ombrec t writes a
// model, ombre-prepare strips to its OUTDIR. There is no ombre-detect or
// ombre-evaluate: without test photographs, nothing asks for them.
const QByteArray kOmbrec = R"(#!/bin/sh
read -r strips; read -r locations; read -r model
[ "$1" = t ] && [ -f "$locations" ] && echo model >"$model"
)";
const QByteArray kPrepare = R"(#!/bin/sh
for out; do :; done
mkdir -p "$out/train" && : >"$out/train.txt"
)";

// The scripts copied with what they read of the checkout, and what earlier
// runs left there.
class ScriptsTest : public testing::TestWithParam<ScriptRun>
{
protected:
    QTemporaryDir checkout;

    void SetUp() override
    {
        const QString source = QStringLiteral(OMBRE_SOURCE_DIR);
        QDirIterator it(source + "/scripts", QDir::Files, QDirIterator::Subdirectories);
        QStringList files = {"CMakeLists.txt", "packaging/check-package"};
        while (it.hasNext())
            files << QDir(source).relativeFilePath(it.next());
        for (const QString& file : files) {
            QDir().mkpath(QFileInfo(checkout.filePath(file)).path());
            ASSERT_TRUE(QFile::copy(source + '/' + file, checkout.filePath(file)));
        }
        for (const char* earlier :
             {"demo-output/logs/train.log", "demo-photographs/.demo-photographs",
              "build/CMakeCache.txt", "build-package/ombre_1_amd64.deb", "caller/out/model.txt",
              "caller/failed/.train-bootstrap", "caller/failed/logs/prepare-0.log",
              "caller/failed/notes.txt", "caller/boxes.csv", "caller/photos/1.png"})
            ASSERT_TRUE(writeFile(checkout.filePath(earlier), "earlier\n"));
        ASSERT_TRUE(writeFile(checkout.filePath("stand-ins/Ombrec/Ombrec"), kOmbrec, true));
        ASSERT_TRUE(writeFile(checkout.filePath("stand-ins/tools/prepare_strips/ombre-prepare"),
                              kPrepare, true));
    }
};

TEST_P(ScriptsTest, AnswersItsCommandLine)
{
    const ScriptRun& row = GetParam();
    const std::map<QString, qint64> before = treeOf(checkout.path());
    const RunResult r =
        runProgram("/bin/sh",
                   QStringList{"-c", R"(cd "$0" && exec "$@")", checkout.filePath("caller"),
                               checkout.filePath(row.script)} +
                       row.args,
                   {}, {"OMBRE_BUILD=" + checkout.filePath("stand-ins")});
    EXPECT_EQ(r.exitCode, row.exitCode) << r.err.toStdString();
    if (row.args.contains("--help")) {
        EXPECT_TRUE(r.out.startsWith("usage: ")) << r.out.toStdString();
    } else if (row.args.contains("--version")) {
        EXPECT_EQ(r.out, QFileInfo(row.script).fileName() + " " OMBRE_VERSION "\n");
    } else if (row.exitCode == 2) {
        EXPECT_TRUE(r.err.contains("\nusage: ")) << r.err.toStdString();
    }
    if (row.written.isEmpty()) {
        EXPECT_EQ(treeOf(checkout.path()), before);
    }
    for (const QString& file : row.written)
        EXPECT_TRUE(QFile::exists(checkout.filePath("caller/" + row.args.last() + '/' + file)))
            << file.toStdString();
}

std::string rowName(const testing::TestParamInfo<ScriptRun>& info)
{
    std::string name = std::to_string(info.index) + "_" +
                       (info.param.script + ' ' + info.param.args.join(' ')).toStdString();
    for (char& c : name)
        if (!isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(EveryScript, ScriptsTest, testing::ValuesIn(scriptRuns()), rowName);

} // namespace

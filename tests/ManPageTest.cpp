#include "Programs.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace
{

// The text of a manual page as man shows it: without its changes of font
// and italic corrections, with plain hyphens.
QString pageText(const QString& file)
{
    QFile page(file);
    if (!page.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(page.readAll());
    text.remove(QRegularExpression(R"(\\f(\(..|.))"));
    text.replace(QLatin1String("\\-"), QLatin1String("-"));
    text.remove(QRegularExpression(R"(\\[,/&])"));
    return text;
}

// Each installed program, and the page that help2man made of its --help and
// --version at build time.
TEST(ManPageTest, EveryOptionOfTheUsageIsInThePageOfTheVersionBuilt)
{
    const QStringList programs = QStringLiteral(OMBRE_MAN_PROGRAMS).split(',');
    for (const QString& program : programs) {
        const QString name = QFileInfo(program).fileName();
        SCOPED_TRACE(name.toStdString());
        const QString page = pageText(QStringLiteral(OMBRE_MAN_DIR "/") + name + ".1");
        ASSERT_FALSE(page.isEmpty());

        EXPECT_TRUE(page.contains(QRegularExpression("\n\\.SH NAME\n" + name + " - \\w")));
        const QString version = QString::fromUtf8(runProgram(program, {"--version"}, {}).out);
        EXPECT_TRUE(page.contains("\"Ombre " + version.section(' ', 1).trimmed() + "\""));

        const QString usage = QString::fromUtf8(runProgram(program, {"--help"}, {}).out)
                                  .section(QStringLiteral("\n\n"), 0, 0);
        QStringList options;
        const QRegularExpression option(R"((?<![\w-])--?[A-Za-z][\w-]*)");
        for (const QRegularExpressionMatch& m : option.globalMatch(usage)) {
            options << m.captured();
            const QRegularExpression inPage(
                "(?<![\\w-])" + QRegularExpression::escape(m.captured()) + "(?![\\w-])");
            EXPECT_TRUE(page.contains(inPage)) << m.captured().toStdString();
        }
        EXPECT_TRUE(options.contains("--help") && options.contains("--version"))
            << usage.toStdString();
    }
}

} // namespace

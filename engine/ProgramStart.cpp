#include "ProgramStart.h"

#include "StandardOutput.h"

#include <QTextStream>
#include <QtGlobal>

#include <cstring>

namespace
{

QtMessageHandler qtHandler = nullptr;

bool isNoise(QtMsgType type, const QString& message)
{
    return type == QtWarningMsg &&
           (message.startsWith(QLatin1String("QStandardPaths: ")) ||
            message == QLatin1String("This plugin does not support propagateSizeHints()"));
}

void dropNoise(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (!isNoise(type, message))
        qtHandler(type, context, message);
}

} // namespace

void quietQtNoise()
{
    // Qt hands back its own default handler when none was installed.
    qtHandler = qInstallMessageHandler(dropNoise);
}

QString ombreVersion()
{
    return QStringLiteral(OMBRE_VERSION);
}

std::optional<int> answerHelpOrVersion(int argc, char** argv, const char* program,
                                       const QString& help)
{
    for (int i = 1; i < argc; ++i) {
        const bool wantsHelp =
            std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0;
        if (!wantsHelp && std::strcmp(argv[i], "--version") != 0)
            continue;
        QTextStream out(stdout);
        if (wantsHelp)
            out << help << '\n';
        else
            out << program << ' ' << ombreVersion() << '\n';
        QString why;
        if (standardOutputReached(out, why))
            return 0;
        QTextStream(stderr) << program << ": can't write standard output: " << why << '\n';
        return 1;
    }
    return std::nullopt;
}

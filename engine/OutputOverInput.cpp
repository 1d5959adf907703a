#include "OutputOverInput.h"

#include "SameFile.h"

#include <QFileInfo>

namespace
{

// Why output may not be written over input, or an empty text.
QString clash(const NamedPath& output, const NamedPath& input)
{
    const QString names = QStringLiteral("%1 %2").arg(output.what, output.path);
    if (sameFile(output.path, input.path))
        return (QFileInfo(input.path).isDir()
                    ? QStringLiteral("%1 is the directory of %2 %3: its files would be overwritten")
                    : QStringLiteral("%1 is the file of %2 %3: it would be overwritten"))
            .arg(names, input.what, input.path);
    if (liesInside(output.path, input.path))
        return QStringLiteral("%1 lies inside the directory of %2 %3: outputs must not go among "
                              "the inputs")
            .arg(names, input.what, input.path);
    return QString();
}

} // namespace

QString outputOverInput(const std::vector<NamedPath>& outputs, const std::vector<NamedPath>& inputs)
{
    for (const NamedPath& output : outputs) {
        for (const NamedPath& input : inputs) {
            if (output.path.isEmpty() || input.path.isEmpty())
                continue;
            const QString why = clash(output, input);
            if (!why.isEmpty())
                return why;
        }
    }
    return QString();
}

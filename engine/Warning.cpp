#include "Warning.h"

#include "TerminalProgress.h"

#include <QString>

namespace
{

thread_local QByteArray* captured = nullptr;

} // namespace

void writeWarnings(const QByteArray& lines)
{
    if (lines.isEmpty())
        return;
    if (captured != nullptr) {
        captured->append(lines);
        return;
    }
    writeToStandardError(lines);
}

void warn(const QString& text)
{
    writeWarnings(text.toLocal8Bit() + '\n');
}

WarningCapture::WarningCapture() : outer(captured)
{
    captured = &lines;
}

WarningCapture::~WarningCapture()
{
    captured = outer;
}

QByteArray WarningCapture::take()
{
    QByteArray kept;
    kept.swap(lines);
    return kept;
}

#include "Warning.h"

#include <QString>

#include <cstdio>

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
    std::fwrite(lines.constData(), 1, static_cast<size_t>(lines.size()), stderr);
    std::fflush(stderr);
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

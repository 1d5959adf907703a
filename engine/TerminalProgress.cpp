#include "TerminalProgress.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <mutex>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace
{

// Warnings may come from any thread while the command's thread draws.
std::recursive_mutex lineMutex;
TerminalProgress* standardErrorLine = nullptr;

constexpr std::chrono::milliseconds kRedrawPause(250);

bool standardErrorIsTerminal()
{
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

void writeStandardError(const QByteArray& text)
{
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stderr);
    std::fflush(stderr);
}

// "8 s", "2 min 5 s", "3 h 20 min".
QByteArray duration(double seconds)
{
    // A few hundred days is already more than anyone waits for.
    const qint64 s = std::llround(std::min(seconds, 1e8));
    if (s < 60)
        return QByteArray::number(s) + " s";
    if (s < 3600)
        return QByteArray::number(s / 60) + " min " + QByteArray::number(s % 60) + " s";
    return QByteArray::number(s / 3600) + " h " + QByteArray::number(s / 60 % 60) + " min";
}

} // namespace

TerminalProgress::TerminalProgress(Output output, Clock clock)
    : output(std::move(output)), clock(std::move(clock))
{
}

TerminalProgress::~TerminalProgress()
{
    std::lock_guard<std::recursive_mutex> lock(lineMutex);
    if (standardErrorLine == this)
        standardErrorLine = nullptr;
    erase();
}

std::unique_ptr<TerminalProgress> TerminalProgress::onStandardError()
{
    if (!standardErrorIsTerminal())
        return nullptr;
    auto progress =
        std::make_unique<TerminalProgress>(writeStandardError, std::chrono::steady_clock::now);
    std::lock_guard<std::recursive_mutex> lock(lineMutex);
    standardErrorLine = progress.get();
    return progress;
}

void TerminalProgress::update(int done, std::optional<int> total)
{
    std::lock_guard<std::recursive_mutex> lock(lineMutex);
    if (total && done >= *total) {
        erase();
        return;
    }
    const auto now = clock();
    if (firstDone < 0) {
        firstDone = done;
        firstTime = now;
    } else if (now - drawnTime < kRedrawPause) {
        return;
    }
    QByteArray text = "image " + QByteArray::number(done);
    if (total)
        text += " of " + QByteArray::number(*total);
    const double seconds = std::chrono::duration<double>(now - firstTime).count();
    if (done > firstDone && seconds > 0) {
        const double rate = (done - firstDone) / seconds;
        text += ", " + QByteArray::number(rate, 'f', 1) + " images/s";
        if (total)
            text += ", " + duration((*total - done) / rate) + " left";
    }
    draw(text);
    drawnTime = now;
}

void TerminalProgress::writeAbove(const QByteArray& lines)
{
    std::lock_guard<std::recursive_mutex> lock(lineMutex);
    const QByteArray text = shown;
    erase();
    output(lines);
    if (!text.isEmpty())
        draw(text);
}

void TerminalProgress::clear()
{
    std::lock_guard<std::recursive_mutex> lock(lineMutex);
    erase();
}

// Blanks pad a shorter text over the longer one before it: a carriage return
// and blanks work on every terminal, where escape codes may not.
void TerminalProgress::draw(const QByteArray& text)
{
    QByteArray line = '\r' + text;
    if (text.size() < width)
        line += QByteArray(width - text.size(), ' ');
    width = std::max(width, static_cast<int>(text.size()));
    output(line);
    shown = text;
}

void TerminalProgress::erase()
{
    if (width == 0)
        return;
    output('\r' + QByteArray(width, ' ') + '\r');
    width = 0;
    shown.clear();
}

void writeToStandardError(const QByteArray& lines)
{
    std::lock_guard<std::recursive_mutex> lock(lineMutex);
    if (standardErrorLine != nullptr)
        standardErrorLine->writeAbove(lines);
    else
        writeStandardError(lines);
}

void clearStandardErrorProgress()
{
    std::lock_guard<std::recursive_mutex> lock(lineMutex);
    if (standardErrorLine != nullptr)
        standardErrorLine->clear();
}

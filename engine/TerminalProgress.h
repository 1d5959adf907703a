#pragma once

#include <QByteArray>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

// How far a long command has got, on one line of a terminal that is redrawn
// in place: "image 12 of 40, 3.5 images/s, 8 s left". Only a terminal shows
// it; a file or a pipe would keep every drawing.
class TerminalProgress
{
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    // Writes to the terminal at once, without buffering.
    using Output = std::function<void(const QByteArray&)>;

    TerminalProgress(Output output, Clock clock);
    // Clears the line.
    ~TerminalProgress();
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    // The line for standard error, which warnings and the console's reports
    // then step around (writeToStandardError, clearStandardErrorProgress);
    // null when standard error is not a terminal.
    static std::unique_ptr<TerminalProgress> onStandardError();

    // After image done of total. Draws at most four times a second, the
    // first time at once; the speed counts from this first call, so that
    // the time a user took to answer the prompts is not in it. Clears the
    // line when done reaches total. Without a total (a names file read as
    // the search goes) only the count and the speed: "image 12, 3.5
    // images/s".
    void update(int done, std::optional<int> total);
    // Writes whole lines where the progress line is, and draws it again
    // below them.
    void writeAbove(const QByteArray& lines);
    // Takes the line away until the next drawing.
    void clear();

private:
    Output output;
    Clock clock;
    std::chrono::steady_clock::time_point firstTime;
    std::chrono::steady_clock::time_point drawnTime;
    int firstDone = -1; // no update yet
    QByteArray shown;   // the text on the line, empty when there is none
    int width = 0;      // columns the line's text and padding cover

    void draw(const QByteArray& text);
    void erase();
};

// Writes lines to standard error; while a progress line is shown there, above
// it, so that a warning never lands in the middle of the line.
void writeToStandardError(const QByteArray& lines);

// Takes standard error's progress line away, if one is shown, before a report
// on standard output: both may be the same terminal.
void clearStandardErrorProgress();

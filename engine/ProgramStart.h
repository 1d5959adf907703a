#pragma once

#include <QString>

#include <optional>

// What every program and tool does first, before it makes its application
// object.

// Keeps off standard error what Qt says that the user can do nothing about:
// where it would keep runtime files when XDG_RUNTIME_DIR is unset (no
// program here keeps any) and what the offscreen platform cannot do for a
// window. Every other message goes where it went before.
void quietQtNoise();

// The project's version, as project() in the top CMakeLists.txt sets it: "1.0".
QString ombreVersion();

// Answers a command line that asks for help or the version instead of work.
// The first argument that is "--help" or "-h" prints help, "--version"
// prints "program VERSION", on standard output. When it answered it returns
// the exit code the program then ends with, without doing anything else,
// not even opening a window: 0, or 1 when standard output did not take the
// answer (said on standard error). Nothing when it was not asked.
std::optional<int> answerHelpOrVersion(int argc, char** argv, const char* program,
                                       const QString& help);

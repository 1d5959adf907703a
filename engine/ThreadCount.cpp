#include "ThreadCount.h"

#include "Warning.h"

#include <QString>

#include <cstdlib>
#include <thread>

namespace
{

constexpr int kMostThreads = 256;

int coreCount()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : static_cast<int>(cores < kMostThreads ? cores : kMostThreads);
}

} // namespace

int threadCount()
{
    const char* text = std::getenv("OMBRE_THREADS");
    if (text == nullptr || *text == '\0')
        return coreCount();
    bool ok = false;
    const int wanted = QString::fromLocal8Bit(text).trimmed().toInt(&ok, 10);
    if (ok && wanted >= 1 && wanted <= kMostThreads)
        return wanted;
    warn(QStringLiteral("warning: OMBRE_THREADS=%1 is not a number of threads from 1 to %2; "
                        "using %3")
             .arg(QString::fromLocal8Bit(text))
             .arg(kMostThreads)
             .arg(coreCount()));
    return coreCount();
}

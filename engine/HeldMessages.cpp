#include "HeldMessages.h"

#include <QtGlobal>

#include <mutex>

namespace
{

// Where this thread notes a held warning; null when nothing is held.
thread_local bool* heldWarning = nullptr;

QtMessageHandler passOn = nullptr;

void holdOrPassOn(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (heldWarning == nullptr || type == QtFatalMsg) {
        passOn(type, context, message);
        return;
    }
    if (type == QtWarningMsg || type == QtCriticalMsg)
        *heldWarning = true;
}

// Once for the process, in front of whatever handler was there. Qt's own
// handler serves between the two calls, so that passOn is set before any
// thread can reach holdOrPassOn.
void installOnce()
{
    static std::once_flag once;
    std::call_once(once, [] {
        passOn = qInstallMessageHandler(nullptr);
        qInstallMessageHandler(holdOrPassOn);
    });
}

} // namespace

HeldMessages::HeldMessages() : outer(heldWarning)
{
    installOnce();
    heldWarning = &anyWarning;
}

HeldMessages::~HeldMessages()
{
    heldWarning = outer;
}

#include "platform/Hooks.h"

#include <utility>

namespace platform {
namespace {
Hooks installed;
}

void installHooks(Hooks hooks) { installed = std::move(hooks); }
void resetHooks() { installed = Hooks{}; }

decltype(Hooks::messageBox) installMessageBox(decltype(Hooks::messageBox) hook)
{
    return std::exchange(installed.messageBox, std::move(hook));
}

decltype(Hooks::messageStep) installMessageStep(decltype(Hooks::messageStep) hook)
{
    return std::exchange(installed.messageStep, std::move(hook));
}

decltype(Hooks::saveFileName) installSaveFileName(decltype(Hooks::saveFileName) hook)
{
    return std::exchange(installed.saveFileName, std::move(hook));
}

void installWaitCursor(std::function<void()> begin, std::function<void()> end)
{
    installed.beginWaitCursor = std::move(begin);
    installed.endWaitCursor = std::move(end);
}

int messageBox(const std::string& text, const std::string& caption, unsigned type)
{
    return installed.messageBox ? installed.messageBox(text, caption, type) : IDOK;
}

void messageStep()
{
    if (installed.messageStep)
        installed.messageStep();
}

void beginWaitCursor()
{
    if (installed.beginWaitCursor)
        installed.beginWaitCursor();
}

void endWaitCursor()
{
    if (installed.endWaitCursor)
        installed.endWaitCursor();
}

std::optional<std::string> askSaveFileName(const SaveFileRequest& request)
{
    if (installed.saveFileName)
        return installed.saveFileName(request);
    return std::nullopt;
}

} // namespace platform

#include "platform/Hooks.h"

#include <utility>

namespace platform {
namespace {
Hooks installed;
}

void installHooks(Hooks hooks) { installed = std::move(hooks); }
void resetHooks() { installed = Hooks{}; }

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

#pragma once

#include <functional>
#include <optional>
#include <string>

// The places where the core needs the user. The window installs its own hooks at start-up; tests and the
// command-line tool install theirs. The defaults do nothing: no box is shown (the answer is IDOK), the
// message step returns at once, and the Save-As question is answered "cancelled".
namespace platform {

// Message box types and answers, with the values the system's texts and callers were written for.
constexpr unsigned MB_OK = 0x00;
constexpr unsigned MB_OKCANCEL = 0x01;
constexpr unsigned MB_YESNO = 0x04;
constexpr unsigned MB_ICONSTOP = 0x10;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONEXCLAMATION = 0x30;
constexpr unsigned MB_ICONINFORMATION = 0x40;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// What a Save-As question asks: the type filter ("*.PLT"), the initial file name, the default extension
// and the initial folder.
struct SaveFileRequest {
    std::string filter;
    std::string initialName;
    std::string defaultExtension;
    std::string initialFolder;
};

struct Hooks {
    // Shows text with a caption; returns the button chosen.
    std::function<int(const std::string& text, const std::string& caption, unsigned type)> messageBox;
    // Handles at most one pending user-interface event. Called from inside long writes.
    std::function<void()> messageStep;
    std::function<void()> beginWaitCursor;
    std::function<void()> endWaitCursor;
    // Asks for a file name to save into; nothing when the user cancels.
    std::function<std::optional<std::string>(const SaveFileRequest& request)> saveFileName;
};

// Replaces the installed hooks; a hook left empty behaves as the do-nothing default.
void installHooks(Hooks hooks);
// Replace one hook and keep the others; each returns the hook it replaced, so a test can put it back.
decltype(Hooks::messageBox) installMessageBox(decltype(Hooks::messageBox) hook);
decltype(Hooks::messageStep) installMessageStep(decltype(Hooks::messageStep) hook);
decltype(Hooks::saveFileName) installSaveFileName(decltype(Hooks::saveFileName) hook);
void installWaitCursor(std::function<void()> begin, std::function<void()> end);
// Restores the do-nothing defaults.
void resetHooks();

int messageBox(const std::string& text, const std::string& caption = {}, unsigned type = MB_OK);
void messageStep();
void beginWaitCursor();
void endWaitCursor();
std::optional<std::string> askSaveFileName(const SaveFileRequest& request);

// Shows the wait cursor for the life of the object, on every path out of a scope.
class WaitCursor {
public:
    WaitCursor() { beginWaitCursor(); }
    ~WaitCursor() { endWaitCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace platform

// The program's application object, and the wait cursor.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace velmora {

class Application {
public:
    // One per program, made first in main() and kept until it returns. `name` names the
    // program to the window system; `displayName` is the title of its message boxes.
    Application(int& argc, char** argv, std::string_view name, std::string_view displayName);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Makes the font name `fontName` stand for the installed family `substitute` in the
    // dialogs built afterwards; calling it again does no harm. Answers the family that
    // `fontName` at `pointSize` points now resolves to (another one when `substitute` is
    // not installed). On Windows the system maps fonts itself and `substitute` is not used:
    // the dialogs take the face ui/DialogFace.h chooses, which this answers.
    static std::string SubstituteFont(std::string_view fontName, std::string_view substitute, int pointSize);

private:
    struct Instance;
    std::unique_ptr<Instance> instance_;
};

// How the system shows the name of a file whose path is `path`, the bytes the file system
// holds (on some systems not always valid UTF-8).
std::string ShownFileName(const std::string& path);

// Shows the wait cursor while it lives.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace velmora

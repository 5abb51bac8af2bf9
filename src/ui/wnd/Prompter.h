#pragma once

#include <optional>
#include <span>
#include <string>

struct MenuItem;
class CWnd;

// What a file dialog is asked to show; texts in CP932.
struct FileDialogRequest {
    bool save = false;  // a save dialog, else an open dialog
    std::string initialPath;
    std::string defaultExtension;
    std::string filter;  // "name|pattern|name|pattern||"
    unsigned flags = 0;
};

inline constexpr unsigned kOfnHideReadOnly = 0x4;
inline constexpr unsigned kOfnOverwritePrompt = 0x2;

// Every question the program asks the operator goes through here, popup menus included; tests
// install one that records what was asked and answers as planned. Runs on the UI thread.
class Prompter {
public:
    virtual ~Prompter() = default;
    virtual void ShowMessage(CWnd* owner, const std::string& caption, const std::string& text) = 0;
    // The chosen full path as the file system names it (UTF-8), or nullopt when the dialog was
    // cancelled.
    virtual std::optional<std::string> ChooseFile(CWnd* owner,
                                                  const FileDialogRequest& request) = 0;
    // A popup menu at a point of the screen (pixels); the id of the entry chosen, or nullopt
    // when it was dismissed, as a prompter that shows none answers.
    virtual std::optional<int> ChooseMenuItem(CWnd* /*owner*/, std::span<const MenuItem> /*items*/,
                                              int /*x*/, int /*y*/) {
        return std::nullopt;
    }

    static Prompter& Current();
    // The window system's own dialogs, each back end's.
    static Prompter& System();
    // nullptr puts the dialogs of the window system back.
    static void Replace(Prompter* prompter);
};

#pragma once

#include <string>

// What the window layer shows that belongs to the program, handed in by the program before
// its first window. Texts in CP932. UI thread only.
struct AppResources {
    // The caption of every message where the executable's own name cannot be read.
    std::string appName;
    // Refuses a path chosen in a file dialog that CP932 cannot name.
    std::string textPathNotCp932;
};

void AfxSetAppResources(AppResources resources);
const AppResources& AfxGetAppResources();

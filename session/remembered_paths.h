#pragma once

#include <string>

// The legacy folder and the target database the commands work on; empty when the window is shown.
struct RememberedPaths {
    std::string legacyFolder;
    std::string targetDatabase;
};

// What the command line asks of one run.
#pragma once

#include "core/CString.h"

#include <vector>

namespace pellora
{

struct SLaunchOptions
{
    // The game folder; empty means the game appended to the executable, or
    // the executable's folder.
    zu::core::CString gameDir;
    // A zipped game (any file name) instead of a folder.
    zu::core::CString gameArchive;
    // Quit after this many passes of the main loop; 0 runs until closed.
    unsigned frames = 0;
    // No window and no display: the null video driver.
    bool headless = false;
    // Input events to post at given passes (see CEventScript).
    zu::core::CString eventsFile;
    // Restart the script whenever a file of the game folder changes.
    bool watch = false;
    // Every pass reports this frame time (seconds) instead of the clock's;
    // 0 measures as usual.
    float fixedStep = 0.0f;
    // What follows the game on the command line and is not an option of the
    // runtime: the script's global `arg`.
    std::vector<zu::core::CString> gameArguments;
};

} // namespace pellora

// The process entry: reads the command line, then runs the host application
// one pass after another until it stops.
#include "core/Output.h"
#include "host/CPelloraMain.h"
#include "platform/ProcessMemory.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace
{

void printHelp()
{
    printf("%s\n"
           "Usage: pellora [options] [GAME_DIR]\n"
           "\n"
           "Runs the game in GAME_DIR (default: the folder of the executable). A game\n"
           "folder holds pellora.cfg, pellora/main.lua, pellora/font.fnt and its assets.\n"
           "\n"
           "Options:\n"
           "  --headless        run without a window or display (null video driver)\n"
           "  --frames N        quit after N passes of the main loop\n"
           "  --events FILE     post the input events listed in FILE at given passes\n"
           "  --version         print the version and exit\n"
           "  --help            print this help and exit\n",
           pellora::kProductLine);
}

bool parseCount(const char* text, unsigned& out)
{
    char* end = nullptr;
    unsigned long value = strtoul(text, &end, 10);
    if (!*text || *end || value > UINT_MAX)
        return false;
    out = static_cast<unsigned>(value);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    kelvo::platform::configureProcessMemory();
    pellora::SLaunchOptions options;
    for (int i = 1; i < argc; ++i)
    {
        const char* arg = argv[i];
        if (!strcmp(arg, "--version"))
        {
            printf("%s\n", pellora::kProductLine);
            return 0;
        }
        if (!strcmp(arg, "--help") || !strcmp(arg, "-h"))
        {
            printHelp();
            return 0;
        }
        if (!strcmp(arg, "--headless"))
            options.headless = true;
        else if (!strcmp(arg, "--frames") && i + 1 < argc)
        {
            if (!parseCount(argv[++i], options.frames))
            {
                fprintf(stderr, "pellora: --frames needs a whole number, not '%s'\n", argv[i]);
                return 2;
            }
        }
        else if (!strcmp(arg, "--events") && i + 1 < argc)
            options.eventsFile = argv[++i];
        else if (arg[0] == '-')
        {
            fprintf(stderr, "pellora: unknown option '%s' (see --help)\n", arg);
            return 2;
        }
        else if (options.gameDir.empty())
        {
            // Aliases hold absolute folders, so listing a folder (which
            // changes the working directory) cannot change what they name.
            char resolved[PATH_MAX];
            if (!realpath(arg, resolved))
            {
                fprintf(stderr, "pellora: no game folder '%s'\n", arg);
                return 2;
            }
            options.gameDir = resolved;
        }
        else
        {
            fprintf(stderr, "pellora: more than one game folder given (see --help)\n");
            return 2;
        }
    }

    pellora::CPelloraMain app(options);
    // A runtime that could not start says so in its exit code.
    int failed = app.init();
    while (app.isRunning())
        app.run();
    app.shutdown();
    return failed ? 1 : 0;
}

// The process entry: reads the command line, then runs the host application
// one pass after another until it stops.
#include "core/Output.h"
#include "host/CGameArchive.h"
#include "host/CPelloraMain.h"
#include "platform/COSOperator.h"
#include "platform/FilePaths.h"
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
           "Usage: pellora [options] [GAME [game arguments]]\n"
           "       pellora --fuse GAME.zip -o OUTPUT\n"
           "\n"
           "Runs the game GAME: a game folder, or a zip archive of one (any file name).\n"
           "Without GAME it runs the game fused into this executable, or the one in the\n"
           "executable's folder. A game folder holds pellora.cfg, pellora/main.lua,\n"
           "pellora/font.fnt and its assets. What follows GAME and is not one of the\n"
           "options below goes to the script, as the table arg.\n"
           "\n"
           "Options:\n"
           "  --headless        run without a window or display (null video driver)\n"
           "  --frames N        quit after N passes of the main loop\n"
           "  --events FILE     post the input events listed in FILE at given passes\n"
           "  --watch DIR       run the game folder DIR and restart its script whenever\n"
           "                    one of its files changes\n"
           "  --fixed-dt S      every pass reports a frame time of S seconds, so scripted\n"
           "                    runs (--events, --frames) play the same way every time\n"
           "  --fuse ZIP -o OUT write OUT: this runtime with the zipped game in it, which\n"
           "                    runs that game when started without arguments\n"
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

// --fuse ZIP -o OUTPUT: a copy of this runtime that carries the game.
int fuse(const char* zip, const char* output)
{
    if (!zip || !output)
    {
        fprintf(stderr, "pellora: --fuse needs a zipped game and -o with the file to write\n");
        return 2;
    }
    zu::core::CString error;
    if (!pellora::CGameArchive::fuse(kelvo::COSOperator::findExecutablePath(), zip, output, error))
    {
        fprintf(stderr, "pellora: %s\n", error.c_str());
        return 1;
    }
    printf("Wrote %s: it runs %s when started without arguments\n", output, zip);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    kelvo::platform::configureProcessMemory();
    pellora::SLaunchOptions options;
    const char* fuseFrom = nullptr;
    const char* fuseTo = nullptr;
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
        else if (!strcmp(arg, "--fixed-dt") && i + 1 < argc)
        {
            char* end = nullptr;
            const double step = strtod(argv[++i], &end);
            if (!*argv[i] || *end || !(step > 0) || step > 10)
            {
                fprintf(stderr, "pellora: --fixed-dt needs seconds above 0 (at most 10), not '%s'\n",
                        argv[i]);
                return 2;
            }
            options.fixedStep = float(step);
        }
        else if (!strcmp(arg, "--watch"))
            options.watch = true;
        else if (!strcmp(arg, "--fuse") && i + 1 < argc)
            fuseFrom = argv[++i];
        else if (!strcmp(arg, "-o") && i + 1 < argc)
            fuseTo = argv[++i];
        else if (!options.gameDir.empty() || !options.gameArchive.empty())
            options.gameArguments.push_back(arg);
        else if (arg[0] == '-')
        {
            fprintf(stderr, "pellora: unknown option '%s' (see --help)\n", arg);
            return 2;
        }
        else
        {
            // Aliases hold absolute folders, so listing a folder (which
            // changes the working directory) cannot change what they name.
            zu::core::CString resolved;
            bool isFolder = false;
            if (!kelvo::platform::findPath(arg, resolved, isFolder))
            {
                fprintf(stderr, "pellora: no game folder or zipped game '%s'\n", arg);
                return 2;
            }
            (isFolder ? options.gameDir : options.gameArchive) = resolved;
        }
    }

    if (fuseFrom || fuseTo)
        return fuse(fuseFrom, fuseTo);

    pellora::CPelloraMain app(options);
    // A runtime that could not start says so in its exit code.
    int failed = app.init();
    while (app.isRunning())
        app.run();
    app.shutdown();
    return failed ? 1 : 0;
}

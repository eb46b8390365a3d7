// pellora-spritepack: turns PNG and TGA frames into a sprite package, and
// prints the tables of a package for people.
#include "CSpriteWriter.h"
#include "FrameLoader.h"
#include "PackPlan.h"
#include "SpritePackageDump.h"
#include "video/SpritePackageFormat.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <tuple>

using namespace pellora::spritepack;
namespace spritefile = zu::video::spritefile;

namespace
{

const char* const kUsage =
    "usage: pellora-spritepack [options] INPUT OUTPUT\n"
    "       pellora-spritepack --dump PACKAGE\n"
    "INPUT is a manifest file or a folder of .png/.tga frames.\n"
    "  --version N      file version 0 to 4 (default 4, compressed pages)\n"
    "  --page N         page size in pixels (default: chosen from the images)\n"
    "  --format F       page pixels: auto (default), 0 RGB, 1 RGBA, 2 alpha, 3 packed alpha\n"
    "  --no-trim        keep transparent borders\n"
    "  --padding N      blank pixels between images on a page (default 1)\n"
    "  --duration MS    frame duration for folder input (default 100)\n"
    "  --hotspot X,Y    hotspot for folder input (default 0,0)\n"
    "  --dump PACKAGE   print every table of a package\n";

int usage(const char* problem)
{
    fprintf(stderr, "pellora-spritepack: %s\n%s", problem, kUsage);
    return 2;
}

bool toInt(const char* text, int32_t& value)
{
    char* end = nullptr;
    const long parsed = strtol(text, &end, 10);
    if (!*text || *end || parsed < INT32_MIN || parsed > INT32_MAX) return false;
    value = int32_t(parsed);
    return true;
}

bool readBytes(const std::string& path, std::vector<uint8_t>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

int dump(const std::string& path)
{
    std::vector<uint8_t> bytes;
    if (!readBytes(path, bytes))
    {
        fprintf(stderr, "pellora-spritepack: %s cannot be read\n", path.c_str());
        return 1;
    }
    std::string text = path + "\n";
    const bool complete = dumpSpritePackage(bytes, text);
    fputs(text.c_str(), stdout);
    return complete ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    int32_t version = spritefile::NEWEST_VERSION, pageSize = 0, format = CSpriteWriter::AUTO_FORMAT,
            padding = 1;
    int32_t duration = 100, hotspotX = 0, hotspotY = 0;
    bool trim = true;
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h")
        {
            fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--dump") return hasValue ? dump(argv[i + 1]) : usage("--dump needs a package");
        if (arg == "--no-trim")
        {
            trim = false;
            continue;
        }
        if (arg.compare(0, 2, "--") != 0)
        {
            paths.push_back(arg);
            continue;
        }
        if (!hasValue) return usage((arg + " needs a value").c_str());
        const char* value = argv[++i];
        bool ok = true;
        if (arg == "--version")
            ok = toInt(value, version) && spritefile::isVersion(version);
        else if (arg == "--page")
            ok = toInt(value, pageSize) && pageSize >= 1 && pageSize <= spritefile::MAX_PAGE_SIZE;
        else if (arg == "--format")
            ok = std::string(value) == "auto" ||
                 (toInt(value, format) && spritefile::isPagePixelFormat(format));
        else if (arg == "--padding")
            ok = toInt(value, padding) && padding >= 0 && padding <= spritefile::MAX_PAGE_SIZE;
        else if (arg == "--duration")
            ok = toInt(value, duration);
        else if (arg == "--hotspot")
        {
            const std::string both(value);
            const size_t comma = both.find(',');
            ok = comma != std::string::npos && toInt(both.substr(0, comma).c_str(), hotspotX) &&
                 toInt(both.substr(comma + 1).c_str(), hotspotY);
        }
        else
            return usage(("unknown option " + arg).c_str());
        if (!ok) return usage(("bad value for " + arg + ": " + value).c_str());
    }
    if (paths.size() != 2) return usage("give one input and one output");

    std::vector<SPlannedAnimation> plan;
    std::string error;
    struct stat info;
    const bool isFolder = stat(paths[0].c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    const bool planned = isFolder ? planFolder(paths[0], hotspotX, hotspotY, duration, plan, error)
                                  : readManifest(paths[0], plan, error);
    if (!planned)
    {
        fprintf(stderr, "pellora-spritepack: %s\n", error.c_str());
        return 1;
    }

    CSpriteWriter writer;
    writer.setPageSize(pageSize);
    writer.setPixelFormat(format);
    writer.setTrim(trim);
    writer.setPadding(padding);
    // A file used again with the same hotspot is stored once.
    std::map<std::tuple<std::string, int32_t, int32_t>, int> images;
    for (const SPlannedAnimation& animation : plan)
    {
        std::vector<CSpriteWriter::SFrame> frames;
        for (const SPlannedFrame& planned : animation.frames)
        {
            const auto key = std::make_tuple(planned.path, planned.hotspotX, planned.hotspotY);
            auto found = images.find(key);
            if (found == images.end())
            {
                SRgbaImage picture;
                if (!loadFrame(planned.path, picture, error))
                {
                    fprintf(stderr, "pellora-spritepack: %s\n", error.c_str());
                    return 1;
                }
                const size_t slash = planned.path.rfind('/');
                const int image = writer.addImage(
                    picture.rgba.data(), picture.width, picture.height, planned.hotspotX,
                    planned.hotspotY,
                    slash == std::string::npos ? planned.path : planned.path.substr(slash + 1));
                if (image < 0)
                {
                    fprintf(stderr, "pellora-spritepack: %s: too large, or too many images\n",
                            planned.path.c_str());
                    return 1;
                }
                found = images.emplace(key, image).first;
            }
            frames.push_back({found->second, planned.duration, planned.step});
        }
        if (!writer.addAnimation(animation.name, frames))
        {
            fprintf(stderr, "pellora-spritepack: the animation name \"%s\" is used twice\n",
                    animation.name.c_str());
            return 1;
        }
    }

    std::vector<uint8_t> bytes;
    if (!writer.write(version, bytes, error))
    {
        fprintf(stderr, "pellora-spritepack: %s\n", error.c_str());
        return 1;
    }
    FILE* out = fopen(paths[1].c_str(), "wb");
    const bool written = out && fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    if (!out || fclose(out) != 0 || !written)
    {
        fprintf(stderr, "pellora-spritepack: %s cannot be written\n", paths[1].c_str());
        return 1;
    }
    auto header = [&](int i)
    {
        return int(uint32_t(bytes[4 * i]) | uint32_t(bytes[4 * i + 1]) << 8 |
                   uint32_t(bytes[4 * i + 2]) << 16 | uint32_t(bytes[4 * i + 3]) << 24);
    };
    printf("%s: version %d, %d animations, %d images, %d bundles, %d pages of %d x %d, "
           "pixel format %d, %zu bytes\n",
           paths[1].c_str(), version, header(6), header(4), header(5), header(3), header(1),
           header(1), header(2), bytes.size());
    return 0;
}

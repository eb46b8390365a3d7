// Helpers of the video tests: the image fixtures made once per run by real
// encoders, PPM references, a driver on a real file system, and the capture of
// log lines and failed checks shared with the io tests.
#pragma once

#include "io/IoTestSupport.h"

#include "io/CFileSystem.h"

#include <string>
#include <vector>

namespace videotest
{

using iotest::CCapture;

// The folder of fixtures, made on first use; empty when the tools failed.
inline const std::string& fixtureFolder()
{
    static const std::string folder = []
    {
        std::string made = iotest::makeScratchFolder("video");
        if (made.empty() ||
            iotest::runTool({PELLORA_PYTHON, PELLORA_MAKE_IMAGES, made + "/images"}) != 0)
            return std::string();
        return made + "/images";
    }();
    return folder;
}

inline std::string fixture(const std::string& name) { return fixtureFolder() + "/" + name; }

struct SPixels
{
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
};

// A binary PPM with maxval 255 and no comments, as the fixture script writes.
inline SPixels readPPM(const std::string& path)
{
    SPixels out;
    std::string bytes = iotest::readDiskFile(path);
    int maxval = 0, used = 0;
    if (sscanf(bytes.c_str(), "P6 %d %d %d%n", &out.width, &out.height, &maxval, &used) != 3)
        return SPixels();
    size_t start = size_t(used) + 1;
    size_t count = size_t(out.width) * size_t(out.height) * 3;
    if (bytes.size() < start + count)
        return SPixels();
    out.rgb.assign(bytes.begin() + long(start), bytes.begin() + long(start + count));
    return out;
}

} // namespace videotest

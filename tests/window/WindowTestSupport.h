// Helpers of the window tests: the back buffer read back, PNG references
// read and written through netpbm and compared with a tolerance, and exact
// pixel checks. Set PELLORA_UPDATE_GOLDEN=1 to rewrite the references.
#pragma once

#include "video/IImage.h"
#include "video/IVideoDriver.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace windowtest
{

using namespace zu::video;
namespace fs = std::filesystem;

struct SImage
{
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb; // rows top first

    const uint8_t* at(int x, int y) const
    {
        return &rgb[(size_t(y) * size_t(width) + size_t(x)) * 3];
    }
};

// The back buffer as it is now, top row first.
inline SImage readBackBuffer(IVideoDriver* driver)
{
    driver->flush2D();
    SImage image;
    image.width = driver->getScreenSize().width;
    image.height = driver->getScreenSize().height;
    std::vector<uint8_t> bottomFirst(size_t(image.width) * size_t(image.height) * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, image.width, image.height, GL_RGB, GL_UNSIGNED_BYTE, bottomFirst.data());
    image.rgb.resize(bottomFirst.size());
    const size_t pitch = size_t(image.width) * 3;
    for (int y = 0; y < image.height; ++y)
        std::copy_n(&bottomFirst[size_t(image.height - 1 - y) * pitch], pitch,
                    &image.rgb[size_t(y) * pitch]);
    return image;
}

// Decodes an image file through the driver's own loaders.
inline SImage loadImage(IVideoDriver* driver, const std::string& path)
{
    SImage out;
    IImage* image = driver->createImage(path.c_str());
    if (!image) return out;
    out.width = image->getSize().width;
    out.height = image->getSize().height;
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x)
        {
            uint32_t c = image->getPixel(x, y);
            out.rgb.push_back(uint8_t(c >> 16));
            out.rgb.push_back(uint8_t(c >> 8));
            out.rgb.push_back(uint8_t(c));
        }
    image->drop();
    return out;
}

inline std::string run(const std::string& command)
{
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r"))
    {
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
            out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

inline void writePpm(const SImage& image, const std::string& path)
{
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << image.width << " " << image.height << "\n255\n";
    out.write(reinterpret_cast<const char*>(image.rgb.data()), std::streamsize(image.rgb.size()));
}

// A PNG reference read through netpbm; a grey one (netpbm writes a picture
// without colour as grey) is widened to RGB.
inline SImage readPng(const std::string& path)
{
    SImage image;
    std::string ppm = run("pngtopnm '" + path + "' 2>/dev/null | ppmtoppm 2>/dev/null");
    int w = 0, h = 0, maxValue = 0, consumed = 0;
    if (sscanf(ppm.c_str(), "P6 %d %d %d%n", &w, &h, &maxValue, &consumed) != 3 || maxValue != 255)
        return image;
    const size_t bytes = size_t(w) * size_t(h) * 3;
    if (ppm.size() < size_t(consumed) + 1 + bytes) return image;
    image.width = w;
    image.height = h;
    image.rgb.assign(ppm.begin() + consumed + 1, ppm.begin() + consumed + 1 + long(bytes));
    return image;
}

inline ::testing::AssertionResult near(const uint8_t* pixel, int r, int g, int b, int tolerance = 2)
{
    if (std::abs(pixel[0] - r) <= tolerance && std::abs(pixel[1] - g) <= tolerance &&
        std::abs(pixel[2] - b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "pixel is (" << int(pixel[0]) << ", " << int(pixel[1]) << ", " << int(pixel[2])
           << "), expected (" << r << ", " << g << ", " << b << ")";
}

// Compares with tests/window/golden/<name>.png; on a mismatch the actual
// image is written beside the build's copy so a person can look at both.
inline void expectGolden(const SImage& actual, const std::string& name)
{
    const std::string golden = std::string(PELLORA_GOLDEN_DIR) + "/" + name + ".png";
    if (getenv("PELLORA_UPDATE_GOLDEN"))
    {
        writePpm(actual, "golden.ppm");
        run("pnmtopng golden.ppm > '" + golden + "'");
        return;
    }
    SImage expected = readPng(golden);
    ASSERT_EQ(expected.width, actual.width) << golden;
    ASSERT_EQ(expected.height, actual.height) << golden;
    int different = 0;
    for (size_t i = 0; i < actual.rgb.size(); i += 3)
        for (size_t c = 0; c < 3; ++c)
            if (std::abs(int(actual.rgb[i + c]) - int(expected.rgb[i + c])) > 24)
            {
                ++different;
                break;
            }
    // llvmpipe and a GPU may round a few edge pixels differently.
    if (different > actual.width * actual.height / 200)
    {
        const std::string dir = std::string(PELLORA_GOLDEN_OUT_DIR);
        fs::create_directories(dir);
        writePpm(actual, dir + "/" + name + ".actual.ppm");
        run("pnmtopng '" + dir + "/" + name + ".actual.ppm' > '" + dir + "/" + name +
            ".actual.png'");
        fs::copy_file(golden, dir + "/" + name + ".expected.png",
                      fs::copy_options::overwrite_existing);
        ADD_FAILURE() << different << " pixels differ from " << golden << "; see " << dir << "/"
                      << name << ".actual.png";
    }
}

} // namespace windowtest

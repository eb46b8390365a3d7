#include "FrameLoader.h"

#include "core/Output.h"
#include "io/CReadFile.h"
#include "video/IImage.h"
#include "video/null/CImageLoaderTGA.h"

#include <png.h>

#include <cctype>
#include <cstring>

namespace pellora::spritepack
{

namespace
{

std::string lowerExtension(const std::string& name)
{
    const size_t dot = name.rfind('.');
    std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
    for (char& c : extension)
        c = char(tolower(static_cast<unsigned char>(c)));
    return extension;
}

bool loadPng(const std::string& path, SRgbaImage& image, std::string& error)
{
    png_image png;
    memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str()))
    {
        error = path + ": " + png.message;
        return false;
    }
    // No frame this large fits a page anyway; refusing it here keeps a
    // damaged header from asking for gigabytes.
    if (png.width > 32768 || png.height > 32768)
    {
        error = path + ": the picture is larger than 32768 pixels a side";
        png_image_free(&png);
        return false;
    }
    png.format = PNG_FORMAT_RGBA;
    image.width = int32_t(png.width);
    image.height = int32_t(png.height);
    image.rgba.resize(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, image.rgba.data(), 0, nullptr))
    {
        error = path + ": " + png.message;
        png_image_free(&png);
        return false;
    }
    return true;
}

// The runtime's loader logs its complaints; the tool reports its own line.
void quiet(const char*, int) {}

bool loadTga(const std::string& path, SRgbaImage& image, std::string& error)
{
    kelvo::io::CReadFile* file = kelvo::io::CReadFile::create(path.c_str());
    if (!file)
    {
        error = path + ": cannot be opened";
        return false;
    }
    // The runtime's loader always takes rows bottom to top; pictures whose
    // header says they start at the top (descriptor bit 5) are turned back.
    uint8_t header[18] = {};
    const bool topFirst =
        file->read(header, sizeof header) == int32_t(sizeof header) && (header[17] & 0x20) != 0;
    file->seek(0);
    zu::core::LogSink previous = zu::core::setLogSink(&quiet);
    kelvo::video::CImageLoaderTGA loader;
    zu::video::IImage* loaded = loader.load(file);
    zu::core::setLogSink(previous);
    file->drop();
    if (!loaded)
    {
        error = path + ": not a readable true-colour TGA file";
        return false;
    }
    const zu::core::SDimension2i size = loaded->getSize();
    image.width = size.width;
    image.height = size.height;
    image.rgba.resize(size_t(size.width) * size_t(size.height) * 4);
    uint8_t* out = image.rgba.data();
    for (int32_t y = 0; y < size.height; ++y)
        for (int32_t x = 0; x < size.width; ++x, out += 4)
        {
            const uint32_t argb = loaded->getPixel(x, topFirst ? size.height - 1 - y : y);
            out[0] = uint8_t(argb >> 16);
            out[1] = uint8_t(argb >> 8);
            out[2] = uint8_t(argb);
            out[3] = uint8_t(argb >> 24);
        }
    loaded->drop();
    return true;
}

} // namespace

bool isFrameFileName(const std::string& name)
{
    const std::string extension = lowerExtension(name);
    return extension == ".png" || extension == ".tga";
}

bool loadFrame(const std::string& path, SRgbaImage& image, std::string& error)
{
    const std::string extension = lowerExtension(path);
    if (extension == ".png") return loadPng(path, image, error);
    if (extension == ".tga") return loadTga(path, image, error);
    error = path + ": only .png and .tga frames can be read";
    return false;
}

} // namespace pellora::spritepack

// Helpers of the sprite tests: packages built byte by byte (so the reader is
// checked against the file layout itself, not only against our writer), RGBA
// pictures, and a recording driver on a real file system over a scratch
// folder.
#pragma once

#include "io/IoTestSupport.h"
#include "video/CRecordingDriver.h"

#include "CSpriteWriter.h"
#include "io/CFileSystem.h"
#include "video/ISpriteAnimationState.h"
#include "video/ITexture.h"
#include "video/null/CNullTexture.h"
#include "video/null/CSpritePackage.h"

#include <string>
#include <vector>

namespace spritetest
{

using iotest::CCapture;

// A package file written field by field.
struct SPackageBytes
{
    std::vector<uint8_t> bytes;
    int32_t version = 0;

    void putInt(int32_t value)
    {
        for (int b = 0; b < 4; ++b)
            bytes.push_back(uint8_t(uint32_t(value) >> (8 * b)));
    }
    void putString(const std::string& text)
    {
        bytes.insert(bytes.end(), text.begin(), text.end());
        bytes.push_back(0);
    }
    void putBytes(const std::vector<uint8_t>& more)
    {
        bytes.insert(bytes.end(), more.begin(), more.end());
    }

    void header(int32_t fileVersion, int32_t pageSize, int32_t format, int32_t pages,
                int32_t images, int32_t bundles, int32_t animations)
    {
        version = fileVersion;
        for (int32_t v : {fileVersion, pageSize, format, pages, images, bundles, animations})
            putInt(v);
    }
    // The trim goes in from version 2, the original size from version 3.
    void image(int32_t id, int32_t offsetX, int32_t offsetY, int32_t page, int32_t x, int32_t y,
               int32_t w, int32_t h, int32_t trimX = 0, int32_t trimY = 0, int32_t originalW = -1,
               int32_t originalH = -1, const std::string& name = "img")
    {
        putString(name);
        putInt(id);
        putInt(offsetX);
        putInt(offsetY);
        if (version >= 2)
        {
            putInt(trimX);
            putInt(trimY);
        }
        for (int32_t v : {page, x, y, w, h})
            putInt(v);
        if (version >= 3)
        {
            putInt(originalW < 0 ? w : originalW);
            putInt(originalH < 0 ? h : originalH);
        }
    }
    void animation(const std::string& name, const std::vector<int32_t>& ids,
                   const std::vector<int32_t>& steps, const std::vector<int32_t>& durations)
    {
        putString(name);
        putInt(int32_t(ids.size()));
        for (const std::vector<int32_t>* list : {&ids, &steps, &durations})
            for (int32_t v : *list)
                putInt(v);
    }
};

// w x h RGBA pixels of one colour (0xAARRGGBB).
inline std::vector<uint8_t> solid(int w, int h, uint32_t argb)
{
    std::vector<uint8_t> rgba;
    for (int i = 0; i < w * h; ++i)
        for (int shift : {16, 8, 0, 24})
            rgba.push_back(uint8_t(argb >> shift));
    return rgba;
}

inline void setPixel(std::vector<uint8_t>& rgba, int w, int x, int y, uint32_t argb)
{
    uint8_t* p = &rgba[size_t(y * w + x) * 4];
    p[0] = uint8_t(argb >> 16);
    p[1] = uint8_t(argb >> 8);
    p[2] = uint8_t(argb);
    p[3] = uint8_t(argb >> 24);
}

inline std::vector<uint8_t> written(const pellora::spritepack::CSpriteWriter& writer, int version)
{
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(writer.write(version, bytes, error)) << error;
    return bytes;
}

// A recording driver over a scratch folder; packages are saved there and
// loaded through the driver's cache.
class SpriteTest : public ::testing::Test
{
  protected:
    void TearDown() override
    {
        m_driver->drop();
        m_fs->drop();
    }

    std::string save(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        const std::string path = m_folder + "/" + name;
        iotest::writeDiskFile(path, std::string(bytes.begin(), bytes.end()));
        return path;
    }
    kelvo::video::CSpritePackage* load(const std::string& path, bool keepStates = false)
    {
        return dynamic_cast<kelvo::video::CSpritePackage*>(
            m_driver->getSpritePackage(path.c_str(), keepStates, true));
    }
    kelvo::video::CSpritePackage* load(const std::string& name, const std::vector<uint8_t>& bytes,
                                       bool keepStates = false)
    {
        return load(save(name, bytes), keepStates);
    }
    // A page's pixel, as the texture holds it.
    static uint32_t pixel(zu::video::ITexture* texture, int x, int y)
    {
        return static_cast<kelvo::video::CNullTexture*>(texture)->getImage()->getPixel(x, y);
    }

    CCapture m_capture;
    std::string m_folder = iotest::makeScratchFolder("sprites");
    kelvo::io::CFileSystem* m_fs = new kelvo::io::CFileSystem();
    videotest::CRecordingDriver* m_driver = new videotest::CRecordingDriver(m_fs, {800, 600});
};

} // namespace spritetest

// CSpriteWriter: builds sprite package files. Images come in as RGBA pixels
// from memory; animations name their frames by image number with a duration
// and a step. On writing, transparent borders are trimmed, images are packed
// into square pages (an image larger than a page becomes a bundle, a grid of
// page-sized parts), and the tables are written in the chosen file version
// (the format, its versions and limits are in video/SpritePackageFormat.h).
//
// A font, for example, is one single-frame animation per character:
//   CSpriteWriter writer;
//   int glyph = writer.addImage(rgba, 8, 12, 0, 0);
//   writer.addAnimation("65", {{glyph, -1, 1}});
//   writer.write(4, bytes, error);
#pragma once

#include "video/SpritePackageFormat.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pellora::spritepack
{

class CSpriteWriter
{
  public:
    // A page size chosen from the images is at most this.
    static constexpr int32_t MAX_CHOSEN_PAGE_SIZE = 2048;
    // An image's id is its number, and image ids stay below the bundle ids.
    static constexpr int32_t MAX_IMAGES = zu::video::spritefile::FIRST_BUNDLE_ID;
    // Chooses the pixel format from the pixels: PAGE_RGB when everything is
    // opaque, PAGE_ALPHA when every visible pixel is white, else PAGE_RGBA.
    static constexpr int32_t AUTO_FORMAT = -1;

    struct SFrame
    {
        int image = 0;          // from addImage
        int32_t duration = 100; // milliseconds; negative never runs out
        int32_t step = 1;       // added to the frame index when the time is up
    };

    // 0 chooses from the images (the default).
    void setPageSize(int32_t size) { m_pageSize = size; }
    // A zu::video::spritefile::EPagePixelFormat, or AUTO_FORMAT.
    void setPixelFormat(int32_t format) { m_pixelFormat = format; }
    void setTrim(bool on) { m_trim = on; }
    // Blank pixels left between images on a page (default 1), so filtered
    // drawing does not bleed a neighbour in.
    // At most a page wide, so positions plus padding stay in range.
    void setPadding(int32_t pixels)
    {
        constexpr int32_t most = zu::video::spritefile::MAX_PAGE_SIZE;
        m_padding = pixels < 0 ? 0 : pixels > most ? most : pixels;
    }

    // Copies width x height RGBA pixels (rows top first). The hotspot is the
    // pixel that sits at the sprite's origin. Returns the image's number, or
    // -1 for a bad size or too many images.
    int addImage(const uint8_t* rgba, int32_t width, int32_t height, int32_t hotspotX,
                 int32_t hotspotY, const std::string& name = std::string());
    // False for an empty or duplicate name, a name with a zero byte, or an
    // unknown image number.
    bool addAnimation(const std::string& name, const std::vector<SFrame>& frames);

    int getImageCount() const { return int(m_images.size()); }
    int getAnimationCount() const { return int(m_animations.size()); }

    // The whole package; false with a reason in error.
    bool write(int32_t version, std::vector<uint8_t>& out, std::string& error) const;
    bool writeFile(const std::string& path, int32_t version, std::string& error) const;

  private:
    struct SImage
    {
        std::string name;
        int32_t width = 0;
        int32_t height = 0;
        int32_t hotspotX = 0;
        int32_t hotspotY = 0;
        std::vector<uint8_t> rgba;
    };
    struct SAnimation
    {
        std::string name;
        std::vector<SFrame> frames;
    };

    std::vector<SImage> m_images;
    std::vector<SAnimation> m_animations;
    int32_t m_pageSize = 0;
    int32_t m_pixelFormat = AUTO_FORMAT;
    int32_t m_padding = 1;
    bool m_trim = true;
};

} // namespace pellora::spritepack

// Image fonts: finding the glyphs of a marker-pixel texture in both pixel
// formats, the marker count rules, the wrong-character glyph, measuring and
// drawing on the recording driver.
#include "GuiTestSupport.h"
#include "io/IoTestSupport.h"

#include "gui/CGUIFont.h"
#include "io/CFileSystem.h"

using guitest::CImageCallRecorder;
using guitest::CMarkerPicture;
using iotest::CCapture;
using kelvo::gui::CGUIFont;
using zu::video::SRecti;

namespace
{

const char* const kNotEqual = "The amount of upper corner pixels and the lower corner pixels is "
                              "not equal, font file may be corrupted.";
const char* const kNone = "The amount of upper corner pixels or lower corner pixels is == 0, font "
                          "file may be corrupted.";

class ImageFont : public ::testing::Test
{
protected:
    void TearDown() override
    {
        if (m_font)
            m_font->drop();
        m_driver->drop();
        m_fs->drop();
    }

    // Loads a font from a picture; the font stays in m_font.
    bool load(const CMarkerPicture& picture, const char* name = "font")
    {
        m_texture = picture.addTo(m_driver, name);
        m_font = new CGUIFont(m_driver);
        return m_font->load(m_texture);
    }

    CCapture m_capture;
    kelvo::io::CFileSystem* m_fs = new kelvo::io::CFileSystem();
    CImageCallRecorder* m_driver = new CImageCallRecorder(m_fs, {800, 600});
    zu::video::ITexture* m_texture = nullptr;
    CGUIFont* m_font = nullptr;
};

bool sameRects(const std::vector<SRecti>& a, const std::vector<SRecti>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].left != b[i].left || a[i].top != b[i].top || a[i].right != b[i].right ||
            a[i].bottom != b[i].bottom)
            return false;
    return true;
}

} // namespace

TEST_F(ImageFont, FindsTheGlyphsAndClearsMarkersInBothFormats)
{
    for (const guitest::SMarkerColors& colors : {guitest::kMarkers32, guitest::kMarkers16})
    {
        SCOPED_TRACE(colors.format);
        CMarkerPicture picture(colors, 32);
        // Two rows: the third glyph does not fit after the first two.
        const std::vector<SRecti> cells = picture.layOut({5, 20, 9}, 6);
        ASSERT_TRUE(load(picture, colors.format == zu::video::ECF_A8R8G8B8 ? "f32" : "f16"));
        EXPECT_TRUE(sameRects(m_font->getGlyphs(), cells));
        EXPECT_EQ(cells[2].top, 7);
        EXPECT_EQ(m_font->getWrongCharacter(), 0);
        // Key pixels, markers and background are now transparent, ink is not.
        for (auto [x, y] : {std::pair{0, 0}, {1, 0}, {2, 0}, {5, 0}, {5, 6}, {25, 6}, {31, 31}})
            EXPECT_EQ(guitest::texturePixel(m_texture, x, y), colors.transparent) << x << "," << y;
        EXPECT_EQ(guitest::texturePixel(m_texture, 2, 3), colors.ink);
        EXPECT_FALSE(m_capture.logged("font file"));
        m_font->drop();
        m_font = nullptr;
    }
}

TEST_F(ImageFont, UnequalMarkerCounts)
{
    // More lower-right markers than glyphs: the load fails without a word.
    {
        CMarkerPicture picture(guitest::kMarkers32, 32);
        picture.layOut({4, 4}, 5);
        picture.set(20, 20, guitest::kMarkers32.lowerRight);
        EXPECT_FALSE(load(picture, "surplus"));
        EXPECT_FALSE(m_capture.logged("font file may be corrupted"));
        m_font->drop();
        m_font = nullptr;
    }
    // Fewer: the font loads, says so, and the open glyph has no size.
    {
        CMarkerPicture picture(guitest::kMarkers32, 32);
        picture.layOut({4, 6, 5}, 5, {2});
        EXPECT_TRUE(load(picture, "missing"));
        EXPECT_TRUE(m_capture.logged(kNotEqual));
        ASSERT_EQ(m_font->getGlyphs().size(), 3u);
        EXPECT_EQ(m_font->getGlyphs()[2].getWidth(), 0);
        EXPECT_EQ(m_font->getGlyphs()[2].getHeight(), 0);
        EXPECT_EQ(m_font->getDimension("!\"").width, 6);
    }
}

TEST_F(ImageFont, TexturesThatAreNoFont)
{
    const struct
    {
        const char* what;
        zu::video::ECOLOR_FORMAT format;
        bool anyLowerRight;
        const char* message;
    } cases[] = {
        {"no lower-right marker", zu::video::ECF_A8R8G8B8, false, kNone},
        {"24-bit texture", zu::video::ECF_R8G8B8, true, "Unsupported font texture color format."},
        {"16-bit without alpha", zu::video::ECF_R5G6B5, true,
         "Unsupported font texture color format."},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        CCapture::lines().clear();
        zu::video::ITexture* texture = m_driver->addTexture({16, 16}, c.what, c.format, false);
        if (c.format == zu::video::ECF_A8R8G8B8)
        {
            // Only upper-left markers: pixel (0,0) and the matching others.
            uint32_t* p = static_cast<uint32_t*>(texture->lock());
            p[0] = p[5] = 0xFFFF0000;
            p[1] = 0xFF0000FF;
            texture->unlock();
        }
        CGUIFont* font = new CGUIFont(m_driver);
        EXPECT_FALSE(font->load(texture));
        EXPECT_TRUE(m_capture.logged(c.message));
        font->drop();
    }
}

TEST_F(ImageFont, WrongCharacterGlyphFrom128Glyphs)
{
    for (size_t count : {127u, 128u})
    {
        SCOPED_TRACE(count);
        CMarkerPicture picture(guitest::kMarkers16, 64);
        std::vector<int32_t> widths(count, 3);
        widths[0] = 4;
        picture.layOut(widths, 2);
        ASSERT_TRUE(load(picture, count == 127 ? "f127" : "f128"));
        ASSERT_EQ(m_font->getGlyphs().size(), count);
        const int32_t wrong = count == 127 ? 0 : 127;
        EXPECT_EQ(m_font->getWrongCharacter(), wrong);
        // Bytes are signed: 200 is -56, below the first glyph; 31 is too.
        m_driver->calls.clear();
        m_font->draw("\xC8\x1F", {0, 0, 100, 100}, 0xFFFFFFFF);
        ASSERT_EQ(m_driver->calls.size(), 2u);
        for (const guitest::SImageCall& call : m_driver->calls)
            EXPECT_EQ(call.source.left, m_font->getGlyphs()[size_t(wrong)].left);
        m_font->drop();
        m_font = nullptr;
    }
}

TEST_F(ImageFont, MeasuresAndFindsCharacters)
{
    CMarkerPicture picture(guitest::kMarkers32, 64);
    // Space 4, "!" 6, '"' 8; the height is the space's.
    picture.layOut({4, 6, 8}, 9);
    ASSERT_TRUE(load(picture));
    EXPECT_EQ(m_font->getDimension("! \"").width, 18);
    EXPECT_EQ(m_font->getDimension("! \"").height, 9);
    EXPECT_EQ(m_font->getDimension("").width, 0);
    // Characters without a glyph take the space's width.
    EXPECT_EQ(m_font->getDimension("A\n").width, 8);
    const struct
    {
        int32_t x, index;
    } positions[] = {{-3, 0}, {0, 0}, {6, 0}, {7, 1}, {10, 1}, {11, 2}, {18, 2}, {19, -1}};
    for (const auto& p : positions)
        EXPECT_EQ(m_font->getCharacterFromPos("! \"", p.x), p.index) << p.x;
}

TEST_F(ImageFont, DrawsGlyphByGlyphWithAlignment)
{
    CMarkerPicture picture(guitest::kMarkers32, 64);
    const std::vector<SRecti> cells = picture.layOut({4, 6, 8}, 9);
    ASSERT_TRUE(load(picture));
    const SRecti clip = {1, 2, 3, 4};
    const struct
    {
        zu::gui::EGUIAlignment h, v;
        SRecti rect;
        int32_t x, y;
    } cases[] = {
        {zu::gui::EGUIA_UPPERLEFT, zu::gui::EGUIA_UPPERLEFT, {100, 50, 101, 51}, 100, 50},
        {zu::gui::EGUIA_CENTER, zu::gui::EGUIA_CENTER, {100, 50, 131, 70}, 108, 55},
        {zu::gui::EGUIA_LOWERRIGHT, zu::gui::EGUIA_LOWERRIGHT, {100, 50, 131, 70}, 117, 61},
        // A rectangle smaller than the text: centring rounds down.
        {zu::gui::EGUIA_CENTER, zu::gui::EGUIA_CENTER, {100, 50, 105, 50}, 95, 45},
    };
    for (const auto& c : cases)
    {
        m_driver->calls.clear();
        m_font->draw("!\"", c.rect, 0x80123456, c.h, c.v, &clip);
        ASSERT_EQ(m_driver->calls.size(), 2u);
        const guitest::SImageCall& first = m_driver->calls[0];
        const guitest::SImageCall& second = m_driver->calls[1];
        EXPECT_EQ(first.x, c.x);
        EXPECT_EQ(first.y, c.y);
        EXPECT_EQ(second.x, c.x + 6);
        EXPECT_EQ(second.y, c.y);
        EXPECT_TRUE(sameRects({first.source, second.source}, {cells[1], cells[2]}));
        EXPECT_EQ(first.color, 0x80123456u);
        EXPECT_TRUE(first.alphaChannel);
        EXPECT_TRUE(first.clipped);
        EXPECT_EQ(first.clip.right, 3);
        EXPECT_EQ(first.texture, m_texture);
    }
    // The image font has no colour codes: "#" is an ordinary character.
    EXPECT_EQ(m_font->getLastColor(), 0xFFFFFFFFu);
}

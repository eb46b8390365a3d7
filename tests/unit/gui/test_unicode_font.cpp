// Sprite-package fonts: colour codes, measuring, missing glyphs, signed
// bytes, the registry's choice of font kind, and the skin's sprite package;
// the packages are made with the sprite writer.
#include "GuiPackageSupport.h"
#include "GuiTestSupport.h"
#include "io/IoTestSupport.h"

#include "gui/CGUIEnvironment.h"
#include "gui/CGUIFont.h"
#include "gui/CUnicodeFont.h"
#include "gui/IGUISkin.h"
#include "io/CFileSystem.h"
#include "video/ISpritePackage.h"

using guitest::CImageCallRecorder;
using guitest::SImageCall;
using iotest::CCapture;
using kelvo::gui::CUnicodeFont;
using guitest::SPackImage;
using guitest::writePackage;

namespace
{

// The space first: it gives the font its height (12) and so its space width (6).
const std::vector<SPackImage> kGlyphs = {
    {"32", 5, 12}, {"72", 7, 12}, {"105", 3, 12}, {"35", 9, 12}, {"-23", 4, 12}};

class UnicodeFont : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_path = writePackage(m_folder + "/test.fnt", kGlyphs);
        m_font = dynamic_cast<CUnicodeFont*>(m_gui->getFont(m_path));
        ASSERT_NE(m_font, nullptr);
    }
    void TearDown() override
    {
        m_gui->drop();
        m_driver->drop();
        m_fs->drop();
    }

    // Draws the text at (100, 50) and returns the x and colour of each draw.
    std::vector<std::pair<int32_t, uint32_t>> drawn(const char* text, uint32_t color)
    {
        m_driver->calls.clear();
        m_font->draw(text, {100, 50, 400, 100}, color);
        std::vector<std::pair<int32_t, uint32_t>> out;
        for (const SImageCall& call : m_driver->calls)
        {
            EXPECT_EQ(call.y, 50);
            out.push_back({call.x, call.color});
        }
        return out;
    }

    CCapture m_capture;
    std::string m_folder = iotest::makeScratchFolder("unicodefont");
    kelvo::io::CFileSystem* m_fs = new kelvo::io::CFileSystem();
    CImageCallRecorder* m_driver = new CImageCallRecorder(m_fs, {800, 600});
    kelvo::gui::CGUIEnvironment* m_gui = new kelvo::gui::CGUIEnvironment(m_fs, m_driver);
    std::string m_path;
    CUnicodeFont* m_font = nullptr;
};

using Draws = std::vector<std::pair<int32_t, uint32_t>>;

} // namespace

TEST_F(UnicodeFont, HeightAndSpaceFromTheFirstAnimation)
{
    EXPECT_EQ(m_font->getHeight(), 12);
    EXPECT_EQ(m_font->getSpaceWidth(), 6);
    EXPECT_EQ(m_font->getDimension("").height, 12);
}

TEST_F(UnicodeFont, AColourCodeColoursWhatFollowsAndTakesNoWidth)
{
    const uint32_t code4 = 0x80000000 | 0xD1A744;
    EXPECT_EQ(drawn("#4Hi", 0x80FFFFFF), (Draws{{100, code4}, {107, code4}}));
    EXPECT_EQ(m_font->getLastColor(), code4);
    EXPECT_EQ(m_font->getDimension("#4Hi").width, m_font->getDimension("Hi").width);
    EXPECT_EQ(m_font->getDimension("Hi").width, 10);
}

TEST_F(UnicodeFont, TheColourCodeRules)
{
    m_font->setOverrideColor(0x40ABCDEF);
    const uint32_t white = 0xFFFFFFFF;
    const struct
    {
        const char* text;
        Draws draws;
        int32_t width;
        uint32_t last;
    } cases[] = {
        // Two "#" draw one.
        {"##", {{100, white}}, 9, white},
        // A final "#" draws nothing and takes no width.
        {"H#", {{100, white}}, 7, white},
        {"#", {}, 0, white},
        // "#" before anything else gives way to that character ("x" has no
        // glyph: it only advances by the space width).
        {"#xH", {{106, white}}, 13, white},
        // "#o" takes the override colour with its own alpha.
        {"H#oH", {{100, white}, {107, 0x40ABCDEF}}, 14, 0x40ABCDEF},
        // Each code keeps the alpha of the colour passed in.
        {"#1H#9H#7H", {{100, 0xFFD5887A}, {107, 0xFFF0E7B7}, {114, white}}, 21, white},
        {"#0H", {{100, 0xFF000000}}, 7, 0xFF000000},
        {"", {}, 0, white},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(drawn(c.text, white), c.draws);
        EXPECT_EQ(m_font->getDimension(c.text).width, c.width);
        EXPECT_EQ(m_font->getLastColor(), c.last);
    }
}

TEST_F(UnicodeFont, TheLastColourCarriesToTheNextLine)
{
    drawn("H#2i", 0x80FFFFFF);
    const uint32_t carried = m_font->getLastColor();
    EXPECT_EQ(carried, 0x80BDCD6Fu);
    EXPECT_EQ(drawn("Hi", carried), (Draws{{100, carried}, {107, carried}}));
    // An empty line ends in the colour it was given.
    drawn("", 0x12345678);
    EXPECT_EQ(m_font->getLastColor(), 0x12345678u);
}

TEST_F(UnicodeFont, MissingGlyphsAndSignedBytes)
{
    // "A" has no animation: half the height, nothing drawn. Byte 233 reads as
    // -23, which has one.
    EXPECT_EQ(drawn("AH\xE9i", 0xFFFFFFFF),
              (Draws{{106, 0xFFFFFFFF}, {113, 0xFFFFFFFF}, {117, 0xFFFFFFFF}}));
    EXPECT_EQ(m_font->getDimension("AH\xE9i").width, 6 + 7 + 4 + 3);
}

TEST_F(UnicodeFont, CharacterFromPositionCountsNoColourCodes)
{
    const struct
    {
        int32_t x, index;
    } cases[] = {{-5, 0}, {0, 0}, {6, 0}, {7, 1}, {9, 1}, {10, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(m_font->getCharacterFromPos("#4Hi", c.x), c.index) << c.x;
}

TEST_F(UnicodeFont, AlignmentMeasuresWithoutColourCodes)
{
    m_driver->calls.clear();
    // "Hi" is 10 wide and 12 high in a 30 x 20 rectangle.
    m_font->draw("#3Hi", {0, 0, 30, 20}, 0xFFFFFFFF, zu::gui::EGUIA_CENTER,
                 zu::gui::EGUIA_LOWERRIGHT);
    ASSERT_EQ(m_driver->calls.size(), 2u);
    EXPECT_EQ(m_driver->calls[0].x, 10);
    EXPECT_EQ(m_driver->calls[0].y, 8);
}

TEST_F(UnicodeFont, TheRegistryPicksTheKindByName)
{
    EXPECT_EQ(m_gui->getFont(m_path), m_font);
    // ".fnt" anywhere in the name makes a sprite-package font.
    const std::string inner = writePackage(m_folder + "/inner.fnt.pak", kGlyphs);
    EXPECT_NE(dynamic_cast<CUnicodeFont*>(m_gui->getFont(inner)), nullptr);
    // The test is case-sensitive: this one is read as an image, which it is not.
    const std::string upper = writePackage(m_folder + "/upper.FNT", kGlyphs);
    EXPECT_EQ(m_gui->getFont(upper), nullptr);
    EXPECT_EQ(m_gui->getFont(m_folder + "/missing.fnt"), nullptr);
}

TEST_F(UnicodeFont, GlyphsStillComeAfterTheDriverDroppedThePackage)
{
    m_driver->removeAllSpritePackages();
    // "i" is made now, on first use, from the package the font still holds.
    EXPECT_EQ(drawn("i", 0xFFFFFFFF), (Draws{{100, 0xFFFFFFFF}}));
}

TEST_F(UnicodeFont, TheSkinPackageSetsSizesFromItsImages)
{
    const std::string path = writePackage(
        m_folder + "/skin.pak",
        {{"TextButtonNormal", 50, 20}, {"CheckboxNormal", 16, 17}, {"WindowBackground", 30, 30}});
    zu::video::ISpritePackage* package = m_driver->getSpritePackage(path.c_str(), false, true);
    ASSERT_NE(package, nullptr);
    zu::gui::IGUISkin* skin = m_gui->getSkin();
    skin->setSpritePackage(package);
    EXPECT_EQ(skin->getSpritePackage(), package);
    EXPECT_EQ(skin->getSize(6), 50);
    EXPECT_EQ(skin->getSize(7), 20);
    EXPECT_EQ(skin->getSize(3), 16);
    // No "VerScrollBackground": the scroll bar thickness stays.
    EXPECT_EQ(skin->getSize(0), 14);
    skin->setSpritePackage(nullptr);
    EXPECT_EQ(skin->getSpritePackage(), nullptr);
    EXPECT_EQ(skin->getSize(6), 50);
}

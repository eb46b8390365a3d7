// The GUI environment's font registry, the built-in font and the skin.
#include "GuiTestSupport.h"
#include "io/IoTestSupport.h"

#include "gui/CGUIEnvironment.h"
#include "gui/CGUIFont.h"
#include "gui/IGUISkin.h"
#include "io/CFileSystem.h"

#include <algorithm>

extern const char pellora_builtin_font[];
extern const unsigned pellora_builtin_font_size;

using guitest::CImageCallRecorder;
using guitest::CMarkerPicture;
using iotest::CCapture;
using kelvo::gui::CGUIEnvironment;
using kelvo::gui::CGUIFont;

namespace
{

class Environment : public ::testing::Test
{
protected:
    void TearDown() override
    {
        // The environment hands its fonts' textures back before the driver goes.
        m_gui->drop();
        m_driver->drop();
        m_fs->drop();
    }

    // Writes a small valid marker font (or one whose markers do not match).
    std::string writeFont(const std::string& name, bool valid = true)
    {
        CMarkerPicture picture(guitest::kMarkers32, 16);
        picture.layOut({4, 5}, 6);
        if (!valid)
            picture.set(15, 15, guitest::kMarkers32.lowerRight);
        const std::string path = m_folder + "/" + name;
        picture.saveTGA(path);
        return path;
    }

    static size_t countLines(const std::string& text)
    {
        const auto& lines = CCapture::lines();
        return size_t(std::count_if(lines.begin(), lines.end(),
                                    [&](const std::string& line)
                                    { return line.find(text) != std::string::npos; }));
    }

    CCapture m_capture;
    std::string m_folder = iotest::makeScratchFolder("gui");
    kelvo::io::CFileSystem* m_fs = new kelvo::io::CFileSystem();
    CImageCallRecorder* m_driver = new CImageCallRecorder(m_fs, {800, 600});
    CGUIEnvironment* m_gui = new CGUIEnvironment(m_fs, m_driver);
};

} // namespace

TEST_F(Environment, ASecondRequestReadsNothing)
{
    const std::string path = writeFont("twice.tga");
    zu::gui::IGUIFont* font = m_gui->getFont(path);
    ASSERT_NE(font, nullptr);
    unlink(path.c_str());
    EXPECT_EQ(m_gui->getFont(path), font);
    EXPECT_EQ(countLines("Loaded texture: " + path), 1u);
    // The registry's reference is the only one.
    EXPECT_EQ(font->getReferenceCount(), 1);
}

TEST_F(Environment, NamesDifferingInCaseAreDifferentFonts)
{
    const std::string lower = writeFont("case.tga");
    const std::string upper = writeFont("CASE.tga");
    zu::gui::IGUIFont* a = m_gui->getFont(lower);
    zu::gui::IGUIFont* b = m_gui->getFont(upper);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    EXPECT_EQ(m_gui->getFont(lower), a);
    EXPECT_EQ(m_gui->getFont(upper), b);
}

TEST_F(Environment, AFailedLoadKeepsNothingAndTheNextRequestReadsTheFileAgain)
{
    EXPECT_EQ(m_gui->getFont(m_folder + "/missing.tga"), nullptr);
    const std::string path = writeFont("retry.tga", false);
    EXPECT_EQ(m_gui->getFont(path), nullptr);
    writeFont("retry.tga");
    EXPECT_NE(m_gui->getFont(path), nullptr);
    EXPECT_EQ(countLines("Loaded texture: " + path), 2u);
}

TEST_F(Environment, TheBuiltInFontIsRegisteredAndSetInTheSkin)
{
    zu::gui::IGUIFont* builtIn = m_gui->getBuiltInFont();
    ASSERT_NE(builtIn, nullptr);
    EXPECT_EQ(m_gui->getFont("#DefaultFont"), builtIn);
    EXPECT_EQ(m_gui->getSkin()->getFont(), builtIn);
    // Registry and skin hold it.
    EXPECT_EQ(builtIn->getReferenceCount(), 2);
    // A name sorting before "#DefaultFont" does not change the built-in font.
    ASSERT_NE(m_gui->getFont(writeFont("!first.tga")), nullptr);
    EXPECT_EQ(m_gui->getBuiltInFont(), builtIn);
    EXPECT_FALSE(m_capture.logged("Could not load built-in Font"));
}

TEST_F(Environment, BuiltInFontArtwork)
{
    ASSERT_EQ(pellora_builtin_font_size, 8310u);
    const auto* bmp = reinterpret_cast<const uint8_t*>(pellora_builtin_font);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[18] | bmp[19] << 8, 128); // width
    EXPECT_EQ(bmp[22] | bmp[23] << 8, 128); // height
    EXPECT_EQ(bmp[28], 4);                  // bits per pixel

    auto* font = dynamic_cast<CGUIFont*>(m_gui->getBuiltInFont());
    ASSERT_NE(font, nullptr);
    const auto& glyphs = font->getGlyphs();
    // 95 printable characters, then the 8 symbols of the codes 2 to 9.
    ASSERT_EQ(glyphs.size(), 103u);
    EXPECT_EQ(font->getWrongCharacter(), 0);
    // Monospaced, and low enough for console lines 15 pixels apart to stay
    // readable.
    for (const zu::video::SRecti& glyph : glyphs)
    {
        EXPECT_EQ(glyph.getWidth(), 8);
        EXPECT_EQ(glyph.getHeight(), 17);
    }
    // One-character captions of the codes 2 to 9 draw the symbols; codes 1
    // and 10 and the same codes inside a longer text (a tab in a traceback)
    // draw the wrong-character glyph, the space.
    for (int code = 1; code <= 10; ++code)
    {
        m_driver->calls.clear();
        const char caption = char(code);
        font->draw(zu::core::CString(&caption, 1), {0, 0, 100, 20}, 0xFFFFFFFF);
        ASSERT_EQ(m_driver->calls.size(), 1u);
        const size_t glyph = code >= 2 && code <= 9 ? size_t(93 + code) : 0;
        EXPECT_EQ(m_driver->calls[0].source.left, glyphs[glyph].left) << code;
        EXPECT_EQ(m_driver->calls[0].source.top, glyphs[glyph].top) << code;
    }
    m_driver->calls.clear();
    font->draw("\tx", {0, 0, 100, 20}, 0xFFFFFFFF);
    ASSERT_EQ(m_driver->calls.size(), 2u);
    EXPECT_EQ(m_driver->calls[0].source.left, glyphs[0].left);
    EXPECT_EQ(m_driver->calls[0].source.top, glyphs[0].top);
}

TEST_F(Environment, ASecondEnvironmentOnTheSameDriverHasTheBuiltInFont)
{
    auto* again = new CGUIEnvironment(m_fs, m_driver);
    EXPECT_NE(again->getBuiltInFont(), nullptr);
    EXPECT_NE(again->getBuiltInFont(), m_gui->getBuiltInFont());
    again->drop();
    EXPECT_FALSE(m_capture.logged("Could not load built-in Font"));
}

TEST(EnvironmentWithoutDriver, HasNoBuiltInFont)
{
    CCapture capture;
    auto* gui = new CGUIEnvironment(nullptr, nullptr);
    EXPECT_EQ(gui->getBuiltInFont(), nullptr);
    EXPECT_EQ(gui->getSkin()->getFont(), nullptr);
    EXPECT_EQ(gui->getFont("anything.tga"), nullptr);
    EXPECT_TRUE(capture.logged("Error: Could not load built-in Font."));
    gui->drop();
}

TEST_F(Environment, SkinTablesIgnoreIndicesOutsideThem)
{
    zu::gui::IGUISkin* skin = m_gui->getSkin();
    EXPECT_EQ(skin->getColor(0), 0xFF323232u);
    EXPECT_EQ(skin->getColor(17), 0x40000000u);
    EXPECT_EQ(skin->getColor(19), 0x80FFFFFFu);
    EXPECT_EQ(skin->getSize(4), 500);
    EXPECT_EQ(skin->getSize(7), 30);
    EXPECT_EQ(skin->getDefaultText(1), "Cancel");
    for (int32_t index : {20, -1, 1000})
    {
        skin->setColor(index, 0x12345678);
        skin->setSize(index, 77);
        skin->setDefaultText(index, "x");
        EXPECT_EQ(skin->getColor(index), 0u);
        EXPECT_EQ(skin->getSize(index), 0);
        EXPECT_EQ(skin->getDefaultText(index), "");
    }
    for (int32_t i = 0; i < 20; ++i)
        EXPECT_NE(skin->getColor(i), 0x12345678u) << i;
    for (int32_t i = 0; i < 10; ++i)
        EXPECT_NE(skin->getSize(i), 77) << i;
    skin->setColor(19, 1);
    skin->setSize(9, 2);
    EXPECT_EQ(skin->getColor(19), 1u);
    EXPECT_EQ(skin->getSize(9), 2);
}

TEST_F(Environment, SkinFontIsGrabbedWhileSet)
{
    zu::gui::IGUISkin* skin = m_gui->getSkin();
    zu::gui::IGUIFont* font = m_gui->getFont(writeFont("skin.tga"));
    ASSERT_NE(font, nullptr);
    skin->setFont(font);
    EXPECT_EQ(font->getReferenceCount(), 2);
    skin->setFont(font);
    EXPECT_EQ(font->getReferenceCount(), 2);
    skin->setFont(nullptr);
    EXPECT_EQ(font->getReferenceCount(), 1);
    EXPECT_EQ(skin->getFont(), nullptr);
}

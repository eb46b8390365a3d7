// pellora-fontgen: fonts made from a TrueType font of the system (DejaVu Sans
// Mono) and from a hand-made glyph table load and measure as expected.
#include "GuiTestSupport.h"
#include "io/IoTestSupport.h"

#include "gui/CGUIEnvironment.h"
#include "gui/CGUIFont.h"
#include "gui/CUnicodeFont.h"
#include "io/CFileSystem.h"

using guitest::CImageCallRecorder;
using iotest::CCapture;

namespace
{

class FontTool : public ::testing::Test
{
protected:
    void TearDown() override
    {
        m_gui->drop();
        m_driver->drop();
        m_fs->drop();
    }

    int run(std::vector<std::string> args)
    {
        args.insert(args.begin(), PELLORA_FONTGEN);
        return iotest::runTool(args);
    }

    CCapture m_capture;
    std::string m_folder = iotest::makeScratchFolder("fontgen");
    kelvo::io::CFileSystem* m_fs = new kelvo::io::CFileSystem();
    CImageCallRecorder* m_driver = new CImageCallRecorder(m_fs, {800, 600});
    kelvo::gui::CGUIEnvironment* m_gui = new kelvo::gui::CGUIEnvironment(m_fs, m_driver);
};

} // namespace

TEST_F(FontTool, BothKindsFromATrueTypeFont)
{
    if (!iotest::fileExists(PELLORA_DEJAVU_MONO))
        GTEST_SKIP() << "needs " << PELLORA_DEJAVU_MONO;
    for (const char* name : {"mono.tga", "mono.bmp", "mono.fnt"})
    {
        SCOPED_TRACE(name);
        const std::string path = m_folder + "/" + name;
        ASSERT_EQ(run({"--ttf", PELLORA_DEJAVU_MONO, "--size", "16", path}), 0);
        zu::gui::IGUIFont* font = m_gui->getFont(path);
        ASSERT_NE(font, nullptr);
        // At 16 pixels the mono font advances 10 pixels per character and
        // its line is 19 pixels high.
        const zu::core::SDimension2i size = font->getDimension("Hello, world!");
        EXPECT_EQ(size.width, 130);
        EXPECT_EQ(size.height, 19);
        if (auto* image = dynamic_cast<kelvo::gui::CGUIFont*>(font))
            EXPECT_EQ(image->getGlyphs().size(), 95u);
        else
            EXPECT_EQ(font->getDimension("#4Hello").width, 50);
        m_driver->calls.clear();
        font->draw("#1ok", {0, 0, 100, 100}, 0xFFFFFFFF);
        // The image font draws "#" and "1"; the sprite font takes them as a code.
        EXPECT_EQ(m_driver->calls.size(), dynamic_cast<kelvo::gui::CGUIFont*>(font) ? 4u : 2u);
    }
    EXPECT_FALSE(m_capture.logged("font file may be corrupted"));
}

TEST_F(FontTool, AGlyphTableAlone)
{
    const std::string table = m_folder + "/table.txt";
    iotest::writeDiskFile(table, "-- three glyphs\n"
                                 "height 5\n"
                                 "code 32\n...\n"
                                 "code 33\n.#.\n.#.\n...\n.#.\n"
                                 "code 34\n#.#.\n#.#.\n");
    const std::string image = m_folder + "/table.bmp";
    const std::string sprites = m_folder + "/table.fnt";
    ASSERT_EQ(run({"--table", table, image}), 0);
    ASSERT_EQ(run({"--table", table, sprites}), 0);
    for (const std::string& path : {image, sprites})
    {
        zu::gui::IGUIFont* font = m_gui->getFont(path);
        ASSERT_NE(font, nullptr) << path;
        EXPECT_EQ(font->getDimension(" !\"").width, 10) << path;
        EXPECT_EQ(font->getDimension(" !\"").height, 5) << path;
    }
}

TEST_F(FontTool, RefusesWhatCannotBeAFont)
{
    const std::string table = m_folder + "/gap.txt";
    iotest::writeDiskFile(table, "code 32\n...\ncode 34\n#.#\n");
    const std::string bad = m_folder + "/bad.txt";
    iotest::writeDiskFile(bad, "code 32\n...\n..\n");
    // Image fonts need every code from 32 on; rows must be equally long;
    // the output must be a known kind.
    EXPECT_EQ(run({"--table", table, m_folder + "/gap.tga"}), 1);
    EXPECT_EQ(run({"--table", bad, m_folder + "/bad.fnt"}), 1);
    EXPECT_EQ(run({"--table", table, m_folder + "/font.png"}), 1);
    EXPECT_EQ(run({m_folder + "/nothing.tga"}), 2);
    EXPECT_FALSE(iotest::fileExists(m_folder + "/gap.tga"));
}

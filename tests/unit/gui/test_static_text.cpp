// Static text: word breaking, wrapping around a paragraph icon, the border,
// the progressive reveal and offset scrolling on the fake clock, sizes, the
// factories, and colour codes carried from line to line.
#include "GuiTreeFixture.h"

#include "gui/BreakText.h"
#include "gui/CGUIStaticText.h"
#include "gui/CUnicodeFont.h"
#include "video/ISpritePackage.h"

using namespace guitest;
using kelvo::gui::CGUIStaticText;
using Lines = std::vector<zu::core::CString>;

namespace
{

class StaticText : public GuiTree
{
  protected:
    CGUIStaticText* addText(const char* text, zu::video::SRecti rect, bool wrap,
                            bool border = false)
    {
        return static_cast<CGUIStaticText*>(
            gui.addStaticText(text, rect, border, wrap, nullptr, -1, ""));
    }
    // The x, y and clip of each glyph drawn.
    std::vector<SImageCall> glyphs()
    {
        drawFrame();
        return m_driver->calls;
    }
    std::string m_folder = iotest::makeScratchFolder("statictext");
};

} // namespace

TEST_F(StaticText, WordBreaking)
{
    // Every character is 6 pixels wide.
    const struct
    {
        const char* name;
        const char* text;
        const char* prefix;
        int32_t width;
        Lines lines;
    } cases[] = {
        {"one word a line", "abc def", "", 30, {"abc", "def"}},
        {"the prefix starts a wrapped line", "abc def", "   ", 30, {"abc", "   def"}},
        {"a word wider than the width stays whole on its line",
         "ab abcdefghij",
         "",
         30,
         {"ab abcdefghij"}},
        {"a word as wide as the width stays on its line", "ab abcde", "", 30, {"ab abcde"}},
        {"a line feed leaves a trailing space", "a\nb", "", 100, {"a ", "b"}},
        {"no prefix after a line feed", "abc def\nghi", ">", 30, {"abc", ">def ", "ghi"}},
        {"blanks stay between words that fit", "ab  cd ef", "", 42, {"ab  cd", "ef"}},
        {"trailing blanks stay", "ab  ", "", 100, {"ab  "}},
        {"four pixels or less: one line", "abc def ghi", "", 4, {"abc def ghi"}},
        {"empty", "", "", 100, {""}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Lines lines = {"old"};
        ASSERT_TRUE(kelvo::gui::breakText(c.text, c.prefix, m_font, c.width, lines));
        EXPECT_EQ(lines, c.lines);
    }
    Lines kept = {"old"};
    EXPECT_FALSE(kelvo::gui::breakText("abc", "", nullptr, 30, kept));
    EXPECT_EQ(kept, Lines{"old"});
}

TEST_F(StaticText, WrappingFollowsTheTextTheFontAndTheWidth)
{
    CGUIStaticText* text = addText("abc def ghi", {0, 0, 30, 40}, true);
    EXPECT_EQ(text->getLines(), (Lines{"abc", "def", "ghi"}));
    EXPECT_EQ(text->getTextHeight(), 3 * LINE);
    text->setText("abc def");
    EXPECT_EQ(text->getLines(), (Lines{"abc", "def"}));
    // A new width breaks the lines again.
    text->setRelativePosition({0, 0, 60, 40});
    EXPECT_EQ(text->getLines(), (Lines{"abc def"}));
    // Without wrapping, one line of the font's height.
    text->setWordWrap(false);
    EXPECT_EQ(text->getTextHeight(), LINE);
}

TEST_F(StaticText, ABorderedTextDrawsThreePixelsInButWrapsAtItsWholeWidth)
{
    CGUIStaticText* text = addText("abcde fghij", {10, 10, 42, 40}, true, true);
    EXPECT_EQ(text->getLines(), (Lines{"abcde", "fghij"})) << "32 pixels hold five characters";
    const std::vector<SImageCall> drawn = glyphs();
    ASSERT_EQ(drawn.size(), 10u);
    EXPECT_EQ(drawn[0].x, 13);
    EXPECT_EQ(drawn[5].x, 13);
    EXPECT_EQ(drawn[5].y, 20);
    ASSERT_EQ(m_driver->rectangles.size(), 4u);
    EXPECT_EQ(m_driver->rectangles[0].color, skin()->getColor(1));
    EXPECT_EQ(m_driver->rectangles[2].color, skin()->getColor(3));
    EXPECT_EQ(drawn[0].color, skin()->getColor(8));
}

TEST_F(StaticText, AParagraphIconNarrowsTheLinesBesideIt)
{
    // An icon 20 high beside lines 10 high: (5 + 20 + 6) / 10 = 3 lines.
    const std::string path = writePackage(m_folder + "/icons.spr", {{"bullet", 20, 20}});
    zu::video::ISpritePackage* package = m_driver->getSpritePackage(path.c_str(), false, true);
    ASSERT_NE(package, nullptr);
    // 56 wide: 30 pixels (five characters) beside the icon, 56 below it.
    CGUIStaticText* text = addText("aaaa bbbb cccc dddd eeee", {100, 50, 156, 60}, true);
    text->setParagraphIcon("bullet", package, true);
    EXPECT_EQ(text->getIconLineCount(), 3);
    EXPECT_EQ(text->getLines(), (Lines{"aaaa", "bbbb", "cccc", "dddd eeee "}));
    EXPECT_EQ(text->getRelativePosition().getHeight(), 4 * LINE);
    std::vector<SImageCall> drawn = glyphs();
    ASSERT_EQ(drawn.size(), 1u + 12 + 10);
    EXPECT_EQ(drawn[0].x, 100) << "the icon first, at the left";
    EXPECT_EQ(drawn[1].x, 100 + 20 + 6);
    EXPECT_EQ(drawn[13].x, 100) << "below the icon the lines start at the edge";
    EXPECT_EQ(drawn[13].y, 80);

    text->setParagraphIcon("bullet|right", package, false);
    drawn = glyphs();
    EXPECT_EQ(drawn[0].x, 156 - 20);
    EXPECT_EQ(drawn[1].x, 100);
    // Without the animation there is no icon.
    text->setParagraphIcon("missing", package, false);
    EXPECT_EQ(text->getIconLineCount(), 0);
    EXPECT_EQ(text->getLines(), (Lines{"aaaa bbbb", "cccc dddd", "eeee"}));
}

TEST_F(StaticText, TheProgressiveRevealShowsThreeHundredPixelsASecond)
{
    // Two lines of 300 pixels: a second each.
    const std::string first(40, 'a'), second(40, 'b');
    CGUIStaticText* text = addText((first + " " + second).c_str(), {0, 0, 300, 20}, true);
    ASSERT_EQ(text->getLines().size(), 2u);
    EXPECT_EQ(text->getTotalProgressiveTime(), 2000);
    m_timer->now = 1000;
    text->activateProgressiveReveal(500);
    const struct
    {
        uint32_t now;
        size_t firstLine, secondLine;  // glyphs drawn
        int32_t firstClip, secondClip; // right edge of their clip (-1: none drawn)
    } cases[] = {
        {1200, 0, 0, -1, -1},     // before the start
        {2000, 40, 0, 150, -1},   // half a second: half of the first line
        {3000, 40, 40, 300, 150}, // 1.5 s: the first whole, half of the second
        {3600, 40, 40, 300, 300}, // done: every line at the element's clip
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.now);
        m_timer->now = c.now;
        size_t lines[2] = {0, 0};
        int32_t clips[2] = {-1, -1};
        for (const SImageCall& glyph : glyphs())
        {
            const size_t line = glyph.y == 0 ? 0 : 1;
            ++lines[line];
            clips[line] = glyph.clip.right;
        }
        EXPECT_EQ(lines[0], c.firstLine);
        EXPECT_EQ(lines[1], c.secondLine);
        EXPECT_EQ(clips[0], c.firstClip);
        EXPECT_EQ(clips[1], c.secondClip);
    }
    // Unwrapped, the text is centred under the growing clip.
    CGUIStaticText* line = addText("abcd", {0, 100, 100, 120}, false);
    m_timer->now = 0;
    line->activateProgressiveReveal(0);
    m_timer->now = 100; // 30 pixels
    const std::vector<SImageCall> drawn = glyphs();
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.back().x, 38 + 18) << "centred: the fourth glyph at 38 + 3 x 6";
    EXPECT_EQ(drawn.back().y, 105);
    EXPECT_EQ(drawn.back().clip.right, 30);
}

TEST_F(StaticText, OffsetScrollingSweepsATooWideCentredTextInFourPhases)
{
    // 210 pixels of text in a box of 110: 100 too wide.
    CGUIStaticText* text = addText(std::string(35, 'x').c_str(), {50, 0, 160, 20}, false);
    text->setTextAlignment(zu::gui::EGUIA_CENTER, zu::gui::EGUIA_UPPERLEFT);
    text->activateOffsetScrollingToEnsureVisibleText();
    const int32_t overhang = -100;
    const struct
    {
        uint32_t now;
        int32_t offset;
    } cases[] = {
        {0, overhang},     {1999, overhang},  {2000, overhang}, {3000, 0},        {4000, -overhang},
        {5999, -overhang}, {6000, -overhang}, {7000, 0},        {8000, overhang},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.now);
        EXPECT_EQ(text->scrollOffset(110, 210, c.now), c.offset);
        m_timer->now = c.now;
        const std::vector<SImageCall> drawn = glyphs();
        ASSERT_EQ(drawn.size(), 35u);
        // Centred, the text starts 50 pixels left of the box, then moves.
        EXPECT_EQ(drawn[0].x, 50 - 50 + c.offset);
    }
    // A text that fits, or one not centred, stays.
    text->setTextAlignment(zu::gui::EGUIA_UPPERLEFT, zu::gui::EGUIA_UPPERLEFT);
    m_timer->now = 0;
    EXPECT_EQ(glyphs()[0].x, 50);
}

TEST_F(StaticText, SizesAndTheFactories)
{
    CGUIStaticText* plain = addText("abc", {5, 5, 100, 100}, false);
    EXPECT_EQ(plain->getPreferredSize(), (zu::core::SDimension2i{18, LINE}));
    plain->packSize();
    EXPECT_EQ(plain->getRelativePosition().right, 5 + 18);
    EXPECT_EQ(plain->getRelativePosition().bottom, 5 + LINE);

    CGUIStaticText* wrapped = addText("abc de fghi", {0, 0, 40, 100}, true);
    EXPECT_EQ(wrapped->getPreferredSize(), (zu::core::SDimension2i{40, 100}));
    wrapped->packSize();
    EXPECT_EQ(wrapped->getLines(), (Lines{"abc de", "fghi"}));
    EXPECT_EQ(wrapped->getRelativePosition().getWidth(), 36);
    EXPECT_EQ(wrapped->getRelativePosition().getHeight(), 2 * LINE);

    zu::gui::IGUIStaticText* river = gui.addRiverStaticText("Name", "br tab");
    ASSERT_NE(river, nullptr);
    EXPECT_EQ(river->getRiverText(), "br tab");
    EXPECT_EQ(river->getRelativePosition().getWidth(), 10);
    EXPECT_EQ(river->getRelativePosition().getHeight(), 15);
    EXPECT_EQ(river->getOverrideFont(), m_font);
    EXPECT_FALSE(river->isWordWrapEnabled());

    zu::gui::IGUIStaticText* sized = gui.addWrappedStaticText("abc def ghi", 30);
    ASSERT_NE(sized, nullptr);
    EXPECT_EQ(sized->getRelativePosition().getHeight(), 3 * LINE);
    EXPECT_TRUE(sized->isWordWrapEnabled());

    // Without any font the two font factories make nothing.
    skin()->setFont(nullptr);
    EXPECT_EQ(gui.addRiverStaticText("Name", ""), nullptr);
    EXPECT_EQ(gui.addWrappedStaticText("Name", 30), nullptr);
    EXPECT_EQ(plain->getTextHeight(), 0);
}

TEST_F(StaticText, ColourCodesCarryToTheNextLineOnlyWithSpritePackageFonts)
{
    // A sprite-package font of 8 x 10 glyphs for "a" and the space.
    const std::string path = writePackage(m_folder + "/codes.fnt", {{"32", 8, 10}, {"97", 8, 10}});
    zu::gui::IGUIFont* codes = m_env->getFont(path);
    ASSERT_NE(codes, nullptr);
    const struct
    {
        const char* name;
        zu::gui::IGUIFont* font;
        uint32_t secondLine;
    } cases[] = {
        {"sprite-package font", codes, 0xFF000000 | 0xD1A744},
        // The image font has no codes; its lines stay in the text colour.
        {"image font", m_font, 0xFF000000},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        CGUIStaticText* text = addText("aa#4a\naa", {0, 0, 200, 40}, true);
        text->setOverrideFont(c.font);
        ASSERT_EQ(text->getLines().size(), 2u);
        const std::vector<SImageCall> drawn = glyphs();
        ASSERT_FALSE(drawn.empty());
        EXPECT_EQ(drawn.front().color, 0xFF000000u);
        EXPECT_EQ(drawn.back().color, c.secondLine);
        text->remove();
    }
}

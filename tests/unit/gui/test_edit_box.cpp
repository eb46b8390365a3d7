// The edit box on the recording driver with the fake clock and clipboard:
// typing, the maximum length, the editing and caret keys with and without
// Shift, pasting, Tab between boxes, Enter and its button, selecting with
// the mouse, keeping the caret in view (against the plain one-character
// search, with a font of uneven widths), the caret's blinking, the password
// mask and what the box draws.
#include "GuiTreeFixture.h"

#include "gui/CGUIEditBox.h"
#include "gui/IGUIButton.h"
#include "gui/IGUILayout.h"
#include "gui/IGUIWindow.h"

#include <random>

using namespace guitest;
using namespace zu::event;
using kelvo::gui::CGUIEditBox;
using zu::gui::IGUIElement;
using zu::video::SRecti;

namespace
{

// Virtual-key codes.
enum : uint32_t
{
    BACK = 8,
    TAB = 9,
    RETURN = 13,
    ESCAPE = 27,
    END = 35,
    HOME = 36,
    LEFT = 37,
    RIGHT = 39,
    DEL = 46,
    F1 = 0x70,
    V = 0x56
};

class EditBox : public SkinnedGuiTree
{
  protected:
    // A box at (10, 10) 120 x 20: its text starts 3 pixels in, at x 13, and
    // character i of the 6-pixel test font covers x 13 + 6 i to 19 + 6 i.
    CGUIEditBox* makeBox(const char* text = "", int32_t id = 12, IGUIElement* parent = nullptr,
                         SRecti rect = {10, 10, 130, 30})
    {
        return static_cast<CGUIEditBox*>(gui.addEditBox(text, rect, true, parent, id));
    }
    // A box with the focus, its text set, the caret at caret and, when
    // selected is not 0, that many characters selected from there with
    // Shift and the arrows.
    CGUIEditBox* editing(const char* text, int32_t caret, int32_t selected = 0)
    {
        CGUIEditBox* box = makeBox();
        box->grabFocus();
        box->setText(text);
        pressKey(HOME);
        for (int32_t i = 0; i < caret; ++i)
            pressKey(RIGHT);
        for (int32_t i = 0; i < std::abs(selected); ++i)
            pressKey(selected > 0 ? RIGHT : LEFT, true);
        log.clear();
        return box;
    }
    int changes() const
    {
        const std::vector<int32_t> types = userTypes();
        return int(std::count(types.begin(), types.end(), GuiEditBoxChanged));
    }
    // Where to point at character i of a box at x 10 scrolled to its start.
    static int32_t xOf(int32_t i) { return 13 + 6 * i + 1; }
    // The glyph draws with the source rectangle of that character.
    int drawsOfCharacter(char c) const
    {
        const SRecti& glyph = m_font->getGlyphs()[size_t(c - 32)];
        return int(std::count_if(m_driver->calls.begin(), m_driver->calls.end(),
                                 [&](const SImageCall& call) { return call.source == glyph; }));
    }
    bool caretShown()
    {
        drawFrame();
        return drawsOfCharacter('_') == 1;
    }
};

} // namespace

TEST_F(EditBox, TypedCharactersGoInAtTheCaretAndAreReported)
{
    CGUIEditBox* box = makeBox();
    click(20, 20);
    ASSERT_EQ(gui.getFocus(), box);
    log.clear();
    typeText("Hello");
    EXPECT_EQ(box->getText().str(), "Hello");
    EXPECT_EQ(box->getCaret(), 5);
    EXPECT_EQ(changes(), 5);
    for (const SLogged& e : log)
        EXPECT_EQ(e.caller, box);
    pressKey(LEFT);
    pressKey(LEFT);
    typeText("p");
    EXPECT_EQ(box->getText().str(), "Helplo");
    // Every key is the box's while it has the focus, except the releases.
    EXPECT_TRUE(pressKey(0x41));
    EXPECT_FALSE(post(SEngineEvent::makeKey(0x41, KeyReleased)));
}

TEST_F(EditBox, EachTypedCodeKeepsItsLowByte)
{
    const struct
    {
        uint16_t code;
        std::string stored;
    } cases[] = {
        {0x41, "A"},     {0x1E9, "\xE9"}, {0xE9, "\xE9"}, {0x7E, "~"}, {0x20, " "}, {0x1E, "\x1E"},
        {0x10A, "\x0A"}, {29, ""},        {0x1F, "\x1F"}, {0x16, ""}, // Ctrl+V's control character
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.code);
        CGUIEditBox* box = makeBox();
        box->grabFocus();
        EXPECT_TRUE(post(SEngineEvent::makeKey(c.code, KeyCharacter, c.code)));
        EXPECT_EQ(box->getText().str(), c.stored);
        box->remove();
    }
}

TEST_F(EditBox, TypingStopsAtTheMaximumLengthButPastingDoesNot)
{
    const struct
    {
        int32_t max;
        int32_t reported;
        const char* typed;
        const char* afterTyping;
        const char* afterPaste;
    } cases[] = {
        {3, 3, "abcd", "abc", "abcXYZ"},
        {0, 0, "abcd", "abcd", "abcdXYZ"},
        {-5, 0, "abcd", "abcd", "abcdXYZ"},
        {1, 1, "ab", "a", "aXYZ"},
    };
    m_clipboard->clipboard = "XYZ";
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.max);
        CGUIEditBox* box = makeBox();
        box->setMax(c.max);
        EXPECT_EQ(box->getMax(), c.reported);
        box->grabFocus();
        typeText(c.typed);
        EXPECT_EQ(box->getText().str(), c.afterTyping);
        EXPECT_TRUE(post(SEngineEvent::makeKey(V, KeyPaste, 0, false, true)));
        EXPECT_EQ(box->getText().str(), c.afterPaste);
        // Still full: typing over a selection is refused too.
        if (c.max > 0)
        {
            box->grabFocus();
            typeText("q");
            EXPECT_EQ(box->getText().str(), c.afterPaste);
        }
        box->remove();
    }
}

TEST_F(EditBox, AShorterMaximumCutsTheTextAndEverythingThatPointsIntoIt)
{
    CGUIEditBox* box = makeBox("", 12, nullptr, {10, 10, 70, 30});
    box->grabFocus();
    typeText("abcdefghijklmnopqrst");
    ASSERT_GT(box->getScrollStart(), 5);
    pressKey(LEFT, true);
    pressKey(LEFT, true);
    box->setMax(5);
    EXPECT_EQ(box->getText().str(), "abcde");
    EXPECT_EQ(box->getCaret(), 5);
    EXPECT_EQ(box->getSelectionStart(), 5);
    EXPECT_EQ(box->getSelectionEnd(), 5);
    EXPECT_EQ(box->getScrollStart(), 5);
    // What follows works on the shorter text; the view keeps the caret two
    // characters off the left edge.
    pressKey(BACK);
    EXPECT_EQ(box->getText().str(), "abcd");
    EXPECT_EQ(box->getScrollStart(), 2);
    drawFrame();
}

TEST_F(EditBox, EditingAndCaretKeys)
{
    const struct
    {
        const char* name;
        const char* text;
        int32_t caret, selected;
        uint32_t key;
        bool shift;
        const char* result;
        int32_t caretAfter, selStart, selEnd;
        int reports;
    } cases[] = {
        {"backspace", "abcd", 2, 0, BACK, false, "acd", 1, 0, 0, 1},
        {"backspace at the start", "abcd", 0, 0, BACK, false, "abcd", 0, 0, 0, 0},
        {"backspace over a selection", "abcd", 1, 2, BACK, false, "ad", 1, 0, 0, 1},
        {"backspace over a selection made leftwards", "abcd", 3, -2, BACK, false, "ad", 1, 0, 0, 1},
        {"backspace on nothing", "", 0, 0, BACK, false, "", 0, 0, 0, 0},
        {"delete", "abcd", 1, 0, DEL, false, "acd", 1, 0, 0, 1},
        {"delete at the end", "abcd", 4, 0, DEL, false, "abcd", 4, 0, 0, 0},
        {"delete over a selection", "abcd", 1, 2, DEL, false, "ad", 1, 0, 0, 1},
        {"delete on nothing", "", 0, 0, DEL, false, "", 0, 0, 0, 0},
        {"home", "abcd", 2, 1, HOME, false, "abcd", 0, 0, 0, 0},
        {"end", "abcd", 1, 0, END, false, "abcd", 4, 0, 0, 0},
        {"left", "abcd", 2, 0, LEFT, false, "abcd", 1, 0, 0, 0},
        {"left at the start", "abcd", 0, 0, LEFT, false, "abcd", 0, 0, 0, 0},
        {"right at the end", "abcd", 4, 0, RIGHT, false, "abcd", 4, 0, 0, 0},
        {"left drops the selection", "abcd", 1, 2, LEFT, false, "abcd", 2, 0, 0, 0},
        {"shift+left selects", "abcd", 2, 0, LEFT, true, "abcd", 1, 2, 1, 0},
        {"shift+right grows a selection", "abcd", 1, 1, RIGHT, true, "abcd", 3, 1, 3, 0},
        {"shift+left shrinks it", "abcd", 1, 2, LEFT, true, "abcd", 2, 1, 2, 0},
        {"shift+end", "abcd", 1, 0, END, true, "abcd", 4, 1, 4, 0},
        {"shift+home from a leftward selection", "abcd", 3, -1, HOME, true, "abcd", 0, 3, 0, 0},
        {"another key", "abcd", 2, 1, F1, false, "abcd", 3, 2, 3, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        CGUIEditBox* box = editing(c.text, c.caret, c.selected);
        EXPECT_TRUE(pressKey(c.key, c.shift));
        EXPECT_EQ(box->getText().str(), c.result);
        EXPECT_EQ(box->getCaret(), c.caretAfter);
        EXPECT_EQ(box->getSelectionStart(), c.selStart);
        EXPECT_EQ(box->getSelectionEnd(), c.selEnd);
        EXPECT_EQ(changes(), c.reports);
        box->remove();
    }
}

TEST_F(EditBox, EscapeAndReleasesAreLeftToOthers)
{
    CGUIEditBox* box = editing("abc", 1);
    EXPECT_FALSE(pressKey(ESCAPE));
    EXPECT_FALSE(post(SEngineEvent::makeKey(LEFT, KeyReleased)));
    EXPECT_EQ(box->getCaret(), 1);
}

TEST_F(EditBox, PastingFromTheClipboard)
{
    const struct
    {
        const char* name;
        const char* clipboard;
        int32_t caret, selected;
        const char* result;
        int32_t caretAfter;
        int reports;
    } cases[] = {
        {"at the caret", "XY", 1, 0, "aXYbcd", 3, 1},
        {"over a selection", "XY", 1, 2, "aXYd", 3, 1},
        {"an empty clipboard", "", 1, 2, "abcd", 3, 0},
        {"a long text", "0123456789012345678901234567890123456789", 4, 0,
         "abcd0123456789012345678901234567890123456789", 44, 1},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_clipboard->clipboard = c.clipboard;
        CGUIEditBox* box = editing("abcd", c.caret, c.selected);
        // As the device posts Ctrl+V: the key, then the paste request.
        EXPECT_TRUE(post(SEngineEvent::makeKey(V, KeyPressed, 0, false, true)));
        EXPECT_TRUE(post(SEngineEvent::makeKey(V, KeyPaste, 0, false, true)));
        EXPECT_EQ(box->getText().str(), c.result);
        EXPECT_EQ(box->getCaret(), c.caretAfter);
        EXPECT_EQ(box->getSelectionStart(), box->getSelectionEnd()) << "nothing stays selected";
        EXPECT_EQ(changes(), c.reports);
        box->remove();
    }
}

TEST_F(EditBox, WithoutOSServicesThereIsNothingToPaste)
{
    auto* bare = new kelvo::gui::CGUIEnvironment(m_fs, m_driver, m_timer);
    bare->getSkin()->setFont(m_font);
    zu::gui::IGUIEditBox* box = bare->addEditBox("abc", {0, 0, 100, 20}, true, nullptr, 1);
    box->grabFocus();
    m_clipboard->clipboard = "XYZ";
    EXPECT_TRUE(bare->postEventFromUser(SEngineEvent::makeKey(V, KeyPaste, 0, false, true)));
    EXPECT_EQ(box->getText().str(), "abc");
    EXPECT_EQ(m_clipboard->reads, 0);
    bare->drop();
}

TEST_F(EditBox, TabMovesToTheEditBoxWithTheNextOrPreviousId)
{
    // A frame holding boxes 10 and 12 with button 11 between them, and box
    // 13 inside a plain layout; box 14 sits on the root, outside the frame.
    zu::gui::IGUIWindow* frame = gui.addFrame({0, 0, 400, 300});
    CGUIEditBox* ten = makeBox("ten", 10, frame);
    zu::gui::IGUIButton* eleven = gui.addButton({0, 40, 50, 60}, frame, 11, "11");
    CGUIEditBox* twelve = makeBox("twelve", 12, frame);
    zu::gui::IGUILayout* inner = gui.addLayout({0, 100, 300, 200}, frame);
    CGUIEditBox* thirteen = makeBox("thirteen", 13, inner);
    CGUIEditBox* fourteen = makeBox("fourteen", 14);
    const struct
    {
        const char* name;
        CGUIEditBox* from;
        bool shift;
        CGUIEditBox* to;
    } cases[] = {
        {"back over the button", twelve, true, ten},
        {"on into a nested layout", twelve, false, thirteen},
        {"back out of it", thirteen, true, twelve},
        // From inside the plain layout the frame is searched: 14 is not in it.
        {"no id 14 in the frame", thirteen, false, thirteen},
        {"no id 9", ten, true, ten},
        // On the root the whole tree is searched.
        {"from the top layout", fourteen, true, thirteen},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        c.from->grabFocus();
        EXPECT_TRUE(pressKey(TAB, c.shift));
        EXPECT_EQ(gui.getFocus(), c.to);
        EXPECT_EQ(c.to->getSelectionStart(), 0);
        EXPECT_EQ(c.to->getSelectionEnd(), int32_t(c.to->getText().size()));
    }
    // Without an element of id 11 the search ends there.
    eleven->remove();
    twelve->grabFocus();
    pressKey(TAB, true);
    EXPECT_EQ(gui.getFocus(), twelve);
}

TEST_F(EditBox, EnterReportsAndClicksTheAssociatedButton)
{
    CGUIEditBox* box = makeBox("name");
    zu::gui::IGUIButton* ok = gui.addButton({200, 10, 260, 30}, nullptr, 30, "OK");
    gui.addStaticText("label", {200, 40, 260, 60}, false, false, nullptr, 31);
    const struct
    {
        int32_t button;
        std::vector<SLogged> reports;
    } cases[] = {
        {30, {{"user", box, GuiEditBoxEnter}, {"user", ok, GuiClicked}}},
        {31, {{"user", box, GuiEditBoxEnter}}},
        {40, {{"user", box, GuiEditBoxEnter}}},
        {-1, {{"user", box, GuiEditBoxEnter}}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.button);
        box->setAssociatedButton(c.button);
        box->grabFocus();
        log.clear();
        EXPECT_TRUE(pressKey(RETURN));
        EXPECT_EQ(log, c.reports);
    }
}

TEST_F(EditBox, TheMouseSelects)
{
    CGUIEditBox* box = makeBox("abcdefghij");
    // The first click takes the focus and selects everything.
    press(xOf(4), 20);
    EXPECT_EQ(gui.getFocus(), box);
    EXPECT_EQ(box->getSelectionStart(), 0);
    EXPECT_EQ(box->getSelectionEnd(), 10);
    release(xOf(4), 20);
    EXPECT_EQ(box->getCaret(), 4);
    EXPECT_EQ(box->getSelectionEnd(), 10);
    const struct
    {
        int32_t from, over, to;
        int32_t selStart, selEnd;
    } drags[] = {
        {2, 5, 6, 2, 6},
        {8, 5, 3, 8, 3},
        {4, 4, 4, 4, 4},
        {7, 1, 0, 7, 0},
    };
    for (const auto& d : drags)
    {
        SCOPED_TRACE(d.from);
        press(xOf(d.from), 20);
        EXPECT_TRUE(box->isMouseSelecting());
        moveTo(xOf(d.over), 20);
        EXPECT_EQ(box->getCaret(), d.over);
        EXPECT_EQ(box->getSelectionEnd(), d.over);
        release(xOf(d.to), 20);
        EXPECT_FALSE(box->isMouseSelecting());
        EXPECT_EQ(box->getCaret(), d.to);
        EXPECT_EQ(box->getSelectionStart(), d.selStart);
        EXPECT_EQ(box->getSelectionEnd(), d.selEnd);
    }
    // A point past the text is its end.
    press(125, 20);
    release(125, 20);
    EXPECT_EQ(box->getCaret(), 10);
    // Losing the focus drops the selection.
    pressKey(HOME, true);
    gui.setFocus(nullptr);
    EXPECT_EQ(box->getSelectionStart(), box->getSelectionEnd());
}

TEST_F(EditBox, TheViewFollowsTheCaret)
{
    // 60 wide: with "_ " 12 wide the caret keeps 12 from the right edge and
    // 24 from the left one.
    CGUIEditBox* box = makeBox("", 12, nullptr, {10, 10, 70, 30});
    box->grabFocus();
    const struct
    {
        const char* name;
        std::function<void()> act;
        int32_t caret, scroll;
    } steps[] = {
        {"eight characters fit", [&] { typeText("abcdefgh"); }, 8, 0},
        {"the ninth scrolls", [&] { typeText("i"); }, 9, 1},
        {"twenty", [&] { typeText("jklmnopqrst"); }, 20, 12},
        {"left stays in view", [&] { pressKey(LEFT); }, 19, 12},
        {"close to the left edge",
         [&]
         {
             for (int i = 0; i < 14; ++i)
                 pressKey(LEFT);
         },
         5, 3},
        {"home", [&] { pressKey(HOME); }, 0, 0},
        {"end", [&] { pressKey(END); }, 20, 12},
    };
    for (const auto& s : steps)
    {
        SCOPED_TRACE(s.name);
        s.act();
        EXPECT_EQ(box->getCaret(), s.caret);
        EXPECT_EQ(box->getScrollStart(), s.scroll);
    }
    // The text is drawn from the scroll start on, the caret where it is.
    m_timer->now = 0;
    box->grabFocus();
    gui.setFocus(nullptr);
    drawFrame();
    ASSERT_FALSE(m_driver->calls.empty());
    EXPECT_EQ(m_driver->calls[0].x, 13 - 6 * 12);
    EXPECT_EQ(m_driver->calls[0].clip.left, 13) << "nothing is drawn over the left end";
}

TEST_F(EditBox, KeepingTheCaretInViewMatchesTheOneCharacterSearch)
{
    // Glyphs from 2 to 14 pixels wide.
    std::vector<int32_t> widths;
    for (int32_t i = 0; i < 95; ++i)
        widths.push_back(2 + (i * 7) % 13);
    CMarkerPicture picture(kMarkers32, 256);
    picture.layOut(widths, 10);
    auto* font = new kelvo::gui::CGUIFont(m_driver);
    ASSERT_TRUE(font->load(picture.addTo(m_driver, "uneven")));
    std::mt19937 random(22);
    for (int32_t width : {80, 30, 12, 5})
    {
        SCOPED_TRACE(width);
        CGUIEditBox* box = makeBox("", 12, nullptr, {0, 0, width, 20});
        box->setOverrideFont(font);
        box->grabFocus();
        // The plain search, one character a round, never past the caret.
        std::string text;
        int32_t caret = 0, scroll = 0;
        auto measure = [&](int32_t n)
        { return font->getDimension(text.substr(0, size_t(n))).width; };
        auto keep = [&]
        {
            const int32_t m = font->getDimension("_ ").width;
            const int32_t nearEdge = 2 * m < width ? 2 * m : width / 2;
            for (int32_t round = 0; round < std::max<int32_t>(2 * int32_t(text.size()), 100);
                 ++round)
            {
                const int32_t x = measure(caret) + m - measure(scroll);
                if (x > width && scroll < caret)
                    ++scroll;
                else if (x < nearEdge && scroll >= 1)
                    --scroll;
                else
                    break;
            }
        };
        for (int step = 0; step < 200; ++step)
        {
            const int what = int(random() % 10);
            if (what < 5)
            {
                const char c = char(33 + random() % 94);
                post(SEngineEvent::makeKey(uint32_t(c), KeyCharacter, uint16_t(c)));
                text.insert(size_t(caret), 1, c);
                ++caret;
            }
            else if (what == 5)
            {
                pressKey(LEFT);
                caret = std::max(0, caret - 1);
            }
            else if (what == 6)
            {
                pressKey(RIGHT);
                caret = std::min(int32_t(text.size()), caret + 1);
            }
            else if (what == 7)
            {
                pressKey(HOME);
                caret = 0;
            }
            else if (what == 8)
            {
                pressKey(END);
                caret = int32_t(text.size());
            }
            else
            {
                pressKey(BACK);
                if (caret > 0) text.erase(size_t(--caret), 1);
            }
            keep();
            ASSERT_EQ(box->getText().str(), text) << "step " << step;
            ASSERT_EQ(box->getCaret(), caret) << "step " << step;
            ASSERT_EQ(box->getScrollStart(), scroll) << "step " << step;
        }
        box->remove();
    }
    font->drop();
}

TEST_F(EditBox, ALongPasteScrollsToItsEndAtOnce)
{
    CGUIEditBox* box = makeBox("", 12, nullptr, {10, 10, 70, 30});
    box->grabFocus();
    m_clipboard->clipboard = std::string(200000, 'x');
    post(SEngineEvent::makeKey(V, KeyPaste, 0, false, true));
    EXPECT_EQ(box->getCaret(), 200000);
    EXPECT_EQ(box->getScrollStart(), 200000 - 8);
    pressKey(HOME);
    EXPECT_EQ(box->getScrollStart(), 0);
}

TEST_F(EditBox, TheCaretShowsForHalfOfEverySevenHundredMilliseconds)
{
    CGUIEditBox* box = makeBox("abc");
    m_timer->now = 1000;
    box->grabFocus();
    const struct
    {
        uint32_t now;
        bool shown;
    } phases[] = {
        {1000, true}, {1349, true}, {1350, false}, {1699, false},
        {1700, true}, {2049, true}, {2050, false}, {1000 + 700 * 100, true},
    };
    for (const auto& p : phases)
    {
        SCOPED_TRACE(p.now);
        m_timer->now = p.now;
        EXPECT_EQ(caretShown(), p.shown);
    }
    // An edit starts it again.
    m_timer->now = 5500;
    typeText("d");
    EXPECT_TRUE(caretShown());
    m_timer->now = 5849;
    EXPECT_TRUE(caretShown());
    m_timer->now = 5850;
    EXPECT_FALSE(caretShown());
    // A caret key too.
    pressKey(LEFT);
    EXPECT_TRUE(caretShown());
    // Only the focused box has one.
    m_timer->now = 5850 + 700;
    gui.setFocus(nullptr);
    EXPECT_FALSE(caretShown());
    // It is drawn where the caret is: after "abc" less one.
    box->setText("abc");
    box->grabFocus();
    m_timer->now = 9000;
    pressKey(LEFT);
    drawFrame();
    const SRecti& underscore = m_font->getGlyphs()[size_t('_' - 32)];
    for (const SImageCall& call : m_driver->calls)
        if (call.source == underscore)
        {
            EXPECT_EQ(call.x, 13 + 6 * 2);
        }
}

TEST_F(EditBox, APasswordShowsStarsAndKeepsTheText)
{
    CGUIEditBox* box = makeBox();
    box->setPassword(true);
    box->grabFocus();
    typeText("secret");
    EXPECT_EQ(box->getText().str(), "secret");
    EXPECT_EQ(box->getDisplayedText().str(), "******");
    gui.setFocus(nullptr);
    drawFrame();
    EXPECT_EQ(m_driver->calls.size(), 6u);
    EXPECT_EQ(drawsOfCharacter('*'), 6);
    box->setPassword(false);
    drawFrame();
    EXPECT_EQ(drawsOfCharacter('*'), 0);
    EXPECT_EQ(drawsOfCharacter('s'), 1);
}

TEST_F(EditBox, FieldSelectionAndTextColours)
{
    CGUIEditBox* box = makeBox("abcd");
    drawFrame();
    // The field frame, then the text 3 pixels in, centred in the height.
    const std::vector<SFill> field = {{3, {10, 10, 130, 30}},
                                      {1, {10, 10, 130, 11}},
                                      {1, {10, 10, 11, 30}},
                                      {3, {129, 10, 130, 30}},
                                      {3, {10, 29, 130, 30}}};
    EXPECT_EQ(fills(m_driver->rectangles, skin()), field);
    ASSERT_EQ(m_driver->calls.size(), 4u);
    EXPECT_EQ(m_driver->calls[0].x, 13);
    EXPECT_EQ(m_driver->calls[0].y, 15);
    EXPECT_EQ(m_driver->calls[0].color, skin()->getColor(8));

    box->setEnabled(false);
    drawFrame();
    EXPECT_EQ(m_driver->calls[0].color, skin()->getColor(9));
    box->setEnabled(true);

    // Focused with everything selected: the selection's ground, the caret
    // (at the start of its blink), the text, then the selected part again.
    m_timer->now = 0;
    box->grabFocus();
    drawFrame();
    ASSERT_EQ(m_driver->rectangles.size(), 6u);
    EXPECT_EQ(fills({m_driver->rectangles.back()}, skin()),
              (std::vector<SFill>{{10, {13, 12, 13 + 24, 28}}}));
    ASSERT_EQ(m_driver->calls.size(), 9u);
    EXPECT_EQ(m_driver->calls[0].color, skin()->getColor(8)) << "the caret";
    for (size_t i = 1; i < 5; ++i)
        EXPECT_EQ(m_driver->calls[i].color, skin()->getColor(8));
    for (size_t i = 5; i < 9; ++i)
        EXPECT_EQ(m_driver->calls[i].color, skin()->getColor(11));

    box->setOverrideColor(0xFF123456);
    drawFrame();
    for (const SImageCall& call : m_driver->calls)
        EXPECT_EQ(call.color, 0xFF123456u);
    box->enableOverrideColor(false);
    drawFrame();
    EXPECT_EQ(m_driver->calls[1].color, skin()->getColor(8));

    // A box without a background draws only its text.
    box->remove();
    gui.addEditBox("abcd", {10, 10, 130, 30}, false, nullptr, 1);
    drawFrame();
    EXPECT_TRUE(m_driver->rectangles.empty());
    ASSERT_EQ(m_driver->calls.size(), 4u);
    EXPECT_EQ(m_driver->calls[0].x, 13);
}

TEST_F(EditBox, ASkinPackageGivesABackgroundBetweenTwoEnds)
{
    zu::video::ISpritePackage* package = useSkinPackage(
        {{"EditBoxBackground", 8, 24}, {"EditBoxLeft", 4, 24}, {"EditBoxRight", 5, 24}});
    (void)package;
    CGUIEditBox* box = makeBox("abc");
    EXPECT_EQ(box->getRelativePosition(), (SRecti{10, 10, 130, 34}));
    EXPECT_EQ(box->getLeftInset(), 4);
    drawFrame();
    EXPECT_TRUE(m_driver->rectangles.empty());
    // 14 tiles of 8 from x 14 while before 125, the two ends, the text.
    ASSERT_EQ(m_driver->calls.size(), 14u + 2 + 3);
    EXPECT_EQ(m_driver->calls[0].x, 14);
    EXPECT_EQ(m_driver->calls[13].x, 14 + 13 * 8);
    EXPECT_EQ(m_driver->calls[13].clip.right, 125);
    EXPECT_EQ(m_driver->calls[14].x, 10);
    EXPECT_EQ(m_driver->calls[15].x, 125);
    EXPECT_EQ(m_driver->calls[16].x, 14);
    // The right end follows a new width.
    box->setRelativePosition({10, 10, 200, 34});
    drawFrame();
    EXPECT_EQ(m_driver->calls[m_driver->calls.size() - 4].x, 195);

    // Without a background the package is not looked at.
    CGUIEditBox* bare =
        static_cast<CGUIEditBox*>(gui.addEditBox("abc", {10, 50, 130, 70}, false, nullptr, 1));
    EXPECT_EQ(bare->getRelativePosition().getHeight(), 20);
    EXPECT_EQ(bare->getLeftInset(), 3);
}

TEST_F(EditBox, ADisabledBoxLetsEverythingThrough)
{
    CGUIEditBox* box = makeBox("abc");
    box->setEnabled(false);
    click(20, 20);
    EXPECT_EQ(gui.getFocus(), nullptr);
    gui.setFocus(box);
    EXPECT_FALSE(post(SEngineEvent::makeKey(0x41, KeyCharacter, 0x41)));
    EXPECT_EQ(box->getText().str(), "abc");
}

TEST_F(EditBox, EverythingOnAnEmptyBox)
{
    CGUIEditBox* box = makeBox();
    box->grabFocus();
    m_clipboard->clipboard = "";
    for (uint32_t key : {BACK, DEL, LEFT, RIGHT, HOME, END, TAB, RETURN, F1})
        for (bool shift : {false, true})
        {
            pressKey(key, shift);
            EXPECT_EQ(box->getCaret(), 0);
        }
    post(SEngineEvent::makeKey(V, KeyPaste, 0, false, true));
    box->setMax(1);
    box->setMax(0);
    box->setPassword(true);
    click(20, 20);
    press(30, 20);
    moveTo(5, 20);
    release(200, 20);
    drawFrame();
    gui.setFocus(box);
    drawFrame();
    EXPECT_TRUE(box->getText().empty());
    EXPECT_EQ(changes(), 0);
    // No font at all, and no room at all.
    skin()->setFont(nullptr);
    typeText("ab");
    pressKey(LEFT);
    drawFrame();
    skin()->setFont(m_font);
    for (const SRecti& r : {SRecti{0, 0, 0, 0}, SRecti{10, 10, 5, 5}, SRecti{0, 0, 1, 20}})
    {
        box->setRelativePosition(r);
        typeText("xyz");
        pressKey(HOME);
        pressKey(END);
        drawFrame();
    }
    // A box without a parent has nobody to tell and nowhere to Tab to.
    auto* loose = new CGUIEditBox(m_env, nullptr, 5, {0, 0, 50, 20}, "", true);
    loose->onEvent(SEngineEvent::makeKey(TAB, KeyPressed));
    loose->onEvent(SEngineEvent::makeKey(RETURN, KeyPressed));
    loose->onEvent(SEngineEvent::makeKey(0x41, KeyCharacter, 0x41));
    EXPECT_EQ(loose->getText().str(), "A");
    loose->drop();
}

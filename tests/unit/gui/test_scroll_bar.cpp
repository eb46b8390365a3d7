// The scroll bar on the recording driver: its steps, presses on the track
// and the thumb, dragging, the wheel and the arrows through posted input,
// bars too short for their thumb, and what it draws in skin colours and from
// a skin package.
#include "GuiTreeFixture.h"

#include "gui/CGUIScrollBar.h"
#include "video/ISpriteAnimationState.h"
#include "video/ISpritePackage.h"

#include <cmath>
#include <limits>

using namespace guitest;
using namespace zu::event;
using kelvo::gui::CGUIScrollBar;
using zu::video::SRecti;

namespace
{

class ScrollBar : public SkinnedGuiTree
{
  protected:
    // A horizontal bar at (10, 10) 200 x 20: arrows of 20 at both ends, a
    // track of 160 from x 20 and a thumb of 20. With a maximum of 140 every
    // position is one pixel: the thumb starts at x 30 + position.
    CGUIScrollBar* makeBar(int32_t max = 140, int32_t pos = 70)
    {
        auto* bar =
            static_cast<CGUIScrollBar*>(gui.addScrollBar(true, {10, 10, 210, 30}, nullptr, 4));
        bar->setMax(max);
        bar->setPos(pos);
        return bar;
    }
    int moves() const
    {
        const std::vector<int32_t> types = userTypes();
        return int(std::count(types.begin(), types.end(), GuiScrollBarMoved));
    }
};

SRecti sourceOf(zu::video::ISpritePackage* package, const char* name)
{
    zu::video::ISpriteAnimationState* state = package->createState(name);
    EXPECT_NE(state, nullptr) << name;
    if (!state) return {};
    const SRecti source = state->getSourceRect(0);
    state->release();
    return source;
}

// How many image draws used that source rectangle.
int drawsOf(const std::vector<SImageCall>& calls, const SRecti& source)
{
    return int(std::count_if(calls.begin(), calls.end(),
                             [&](const SImageCall& c) { return c.source == source; }));
}

} // namespace

TEST_F(ScrollBar, StepsFollowTheMaximum)
{
    const struct
    {
        int32_t max;
        int32_t expectedMax, small, large;
        bool arrows;
    } cases[] = {
        {99, 99, 1, 19, true}, {3, 3, 1, 0, true},      {250, 250, 5, 50, true},
        {49, 49, 1, 9, true},  {1, 1, 1, 0, true},      {0, 0, 1, 0, false},
        {-7, 0, 1, 0, false},  {100, 100, 2, 20, true},
    };
    CGUIScrollBar* bar = makeBar();
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.max);
        bar->setMax(c.max);
        EXPECT_EQ(bar->getMax(), c.expectedMax);
        EXPECT_EQ(bar->getSmallStep(), c.small);
        EXPECT_EQ(bar->getLargeStep(), c.large);
        EXPECT_EQ(bar->getFirstButton()->isEnabled(), c.arrows);
        EXPECT_EQ(bar->getSecondButton()->isEnabled(), c.arrows);
    }
    bar->setSteps(0, -3);
    EXPECT_EQ(bar->getSmallStep(), 1);
    EXPECT_EQ(bar->getLargeStep(), 1);
    // A smaller maximum takes the position with it, without a report.
    bar->setMax(140);
    bar->setPos(120);
    bar->setMax(50);
    EXPECT_EQ(bar->getPos(), 50);
    bar->setPos(-5);
    EXPECT_EQ(bar->getPos(), 0);
    EXPECT_EQ(moves(), 0);
}

TEST_F(ScrollBar, PressesBesideTheThumbStepAndOnItStartADrag)
{
    const struct
    {
        const char* name;
        int32_t max, pos, x;
        int32_t expected;
        bool dragging;
    } cases[] = {
        // Position 70: the thumb covers x 100 to 120, the large step is 28.
        {"well before", 140, 70, 50, 42, false},
        {"just before", 140, 70, 99, 42, false},
        {"its first pixel", 140, 70, 100, 70, true},
        {"its far edge", 140, 70, 120, 70, true},
        {"just after", 140, 70, 121, 98, false},
        {"after, past the end", 140, 130, 185, 140, false},
        // A large step of 0 moves nothing, but the press is still reported.
        {"a maximum of 3", 3, 1, 40, 1, false},
        {"a maximum of 3, after", 3, 1, 180, 1, false},
        // Without a range there is no thumb: every press is before it.
        {"a maximum of 0", 0, 0, 100, 0, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        CGUIScrollBar* bar = makeBar(c.max, c.pos);
        log.clear();
        press(c.x, 20);
        EXPECT_EQ(bar->getPos(), c.expected);
        EXPECT_EQ(bar->isDragging(), c.dragging);
        EXPECT_EQ(moves(), c.dragging ? 0 : 1);
        EXPECT_EQ(gui.getFocus(), bar);
        EXPECT_EQ(bar->getThumbState(),
                  c.dragging ? CGUIScrollBar::ETS_PRESSED : CGUIScrollBar::ETS_NORMAL);
        release(c.x, 20);
        EXPECT_FALSE(bar->isDragging());
        EXPECT_EQ(gui.getFocus(), nullptr);
        bar->remove();
    }
}

TEST_F(ScrollBar, DraggingTheThumbFollowsTheMouse)
{
    CGUIScrollBar* bar = makeBar();
    press(110, 20);
    ASSERT_TRUE(bar->isDragging());
    log.clear();
    const struct
    {
        int32_t x;
        int32_t pos;
        int reports; // so far
    } steps[] = {
        // The mouse holds the thumb by its middle: position = x - 40.
        {150, 110, 1}, {150, 110, 1}, {41, 1, 2}, {0, 0, 3}, {400, 140, 4}, {-50, 0, 5},
    };
    for (const auto& s : steps)
    {
        SCOPED_TRACE(s.x);
        // The focused bar gets the moves even away from it.
        EXPECT_TRUE(moveTo(s.x, 20));
        EXPECT_EQ(bar->getPos(), s.pos);
        EXPECT_EQ(moves(), s.reports);
        EXPECT_EQ(bar->getThumbOffset(), 20 + s.pos);
    }
    moveTo(100, 20);
    release(100, 20);
    EXPECT_FALSE(bar->isDragging());
    EXPECT_EQ(bar->getThumbState(), CGUIScrollBar::ETS_HIGHLIGHTED);
    EXPECT_EQ(gui.getFocus(), nullptr);
    // Moving off the thumb puts it back, and so does leaving the bar.
    moveTo(50, 20);
    EXPECT_EQ(bar->getThumbState(), CGUIScrollBar::ETS_NORMAL);
    moveTo(105, 20);
    EXPECT_EQ(bar->getThumbState(), CGUIScrollBar::ETS_HIGHLIGHTED);
    moveTo(400, 300);
    EXPECT_EQ(bar->getThumbState(), CGUIScrollBar::ETS_NORMAL);
}

TEST_F(ScrollBar, AReleaseAwayFromTheBarEndsTheDragThroughTheLostFocus)
{
    CGUIScrollBar* bar = makeBar();
    press(110, 20);
    release(300, 200);
    EXPECT_FALSE(bar->isDragging());
    EXPECT_EQ(bar->getThumbState(), CGUIScrollBar::ETS_NORMAL);
    EXPECT_EQ(gui.getFocus(), nullptr);
}

TEST_F(ScrollBar, TheWheelMovesTenANotchAndLeavesTheEventToOthers)
{
    const struct
    {
        float wheel;
        int32_t pos;
    } cases[] = {
        {1.f, 60},
        {0.5f, 70},
        {-2.7f, 90},
        {3.9f, 40},
        {-0.99f, 70},
        {100.f, 0},
        {std::numeric_limits<float>::quiet_NaN(), 70},
        {std::numeric_limits<float>::infinity(), 0},
        {-std::numeric_limits<float>::infinity(), 140},
    };
    CGUIScrollBar* bar = makeBar();
    moveTo(60, 20);
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.wheel);
        bar->setPos(70);
        log.clear();
        EXPECT_FALSE(wheel(c.wheel)) << "not consumed";
        EXPECT_EQ(bar->getPos(), c.pos);
        EXPECT_EQ(moves(), 1);
    }
}

TEST_F(ScrollBar, TheArrowsMoveBySmallStepsWhileThereIsARange)
{
    CGUIScrollBar* bar = makeBar(140, 70);
    bar->setSteps(5, 30);
    click(20, 20);
    EXPECT_EQ(bar->getPos(), 65);
    click(200, 20);
    click(200, 20);
    EXPECT_EQ(bar->getPos(), 75);
    EXPECT_EQ(moves(), 3);
    for (const SLogged& e : log)
        EXPECT_NE(e.type, GuiClicked) << "the bar keeps its arrows' clicks";
    // Without a range the arrows are disabled and nothing moves.
    bar->setMax(0);
    EXPECT_FALSE(bar->getSecondButton()->isEnabled());
    click(200, 20);
    EXPECT_EQ(bar->getPos(), 0);
}

TEST_F(ScrollBar, ADisabledBarIgnoresTheMouse)
{
    CGUIScrollBar* bar = makeBar();
    bar->setEnabled(false);
    press(50, 20);
    EXPECT_EQ(bar->getPos(), 70);
    EXPECT_EQ(gui.getFocus(), nullptr);
    click(200, 20);
    EXPECT_EQ(bar->getPos(), 70);
    EXPECT_EQ(moves(), 0);
}

TEST_F(ScrollBar, ABarNoLongerThanItsThumbCannotBeDragged)
{
    const struct
    {
        const char* name;
        bool horizontal;
        SRecti rect;
        int32_t max;
    } cases[] = {
        // Arrows of 20 at both ends of 40: a track of nothing.
        {"empty track", true, {0, 0, 40, 20}, 100},
        // The arrows overlap: the track runs backwards.
        {"overlapping arrows", false, {0, 0, 20, 30}, 100},
        {"no range", true, {0, 0, 200, 20}, 0},
        {"a huge range", true, {0, 0, 300, 20}, std::numeric_limits<int32_t>::max()},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        auto* bar = static_cast<CGUIScrollBar*>(gui.addScrollBar(c.horizontal, c.rect, nullptr, 1));
        bar->setMax(c.max);
        bar->setPos(c.max / 2);
        const int32_t start = bar->getPos();
        const int32_t offset = bar->getThumbOffset();
        // Pressed on the thumb, then moved both ways along the bar.
        bar->onEvent(SEngineEvent::makeMouse(LeftDown, c.rect.left + offset + 1,
                                             c.rect.top + offset + 1, 1));
        for (int32_t to : {-1000000, 5, 25, 1000000})
            bar->onEvent(SEngineEvent::makeMouse(MouseMoved, to, to));
        const int32_t track =
            c.horizontal ? bar->getTrackRect().getWidth() : bar->getTrackRect().getHeight();
        if (c.max == 0 || track <= bar->getThumbLength())
            EXPECT_EQ(bar->getPos(), start);
        else
            EXPECT_EQ(bar->getPos(), c.max) << "the last move went to the far end";
        EXPECT_GE(bar->getPos(), 0);
        EXPECT_LE(bar->getPos(), c.max);
        drawFrame();
        bar->remove();
    }
}

TEST_F(ScrollBar, WithoutImagesTheTrackIsFilledAndTheThumbIsARaisedBlock)
{
    CGUIScrollBar* bar = makeBar(140, 70);
    drawFrame();
    const std::vector<SFill> drawn = fills(m_driver->rectangles, skin());
    ASSERT_GE(drawn.size(), 5u);
    EXPECT_EQ(drawn[0], (SFill{15, {10, 10, 210, 30}}));
    // The thumb from x 10 + 90, one thumb long, across the bar.
    EXPECT_EQ(drawn[1], (SFill{0, {100, 10, 120, 30}}));
    EXPECT_EQ(drawn[4], (SFill{2, {101, 11, 118, 28}}));
    // Then the arrows, raised buttons at the ends with their symbols.
    EXPECT_EQ(drawn[5], (SFill{0, {10, 10, 30, 30}}));
    EXPECT_EQ(drawn[9], (SFill{0, {190, 10, 210, 30}}));
    EXPECT_EQ(m_driver->calls.size(), 2u);

    bar->setMax(0);
    drawFrame();
    const std::vector<SFill> empty = fills(m_driver->rectangles, skin());
    ASSERT_GE(empty.size(), 2u);
    EXPECT_EQ(empty[1], (SFill{0, {10, 10, 30, 30}})) << "no thumb without a range";
}

TEST_F(ScrollBar, ASkinPackageGivesTrackThumbAndArrowImages)
{
    zu::video::ISpritePackage* package = useSkinPackage({{"HorScrollBackground", 8, 16},
                                                         {"HorScrollThumbNormal", 16, 16},
                                                         {"HorScrollThumbHighlighted", 16, 16},
                                                         {"HorScrollThumbPressed", 16, 16},
                                                         {"HorScrollThumbDisabled", 16, 16},
                                                         {"HorScrollLeftNormal", 16, 16},
                                                         {"HorScrollRightNormal", 16, 16}});
    auto* bar = static_cast<CGUIScrollBar*>(gui.addScrollBar(true, {10, 10, 210, 40}, nullptr, 4));
    // As high as the arrows, keeping its bottom; the arrows at the ends with
    // no caption; the track between them.
    EXPECT_EQ(bar->getRelativePosition(), (SRecti{10, 24, 210, 40}));
    EXPECT_EQ(bar->getFirstButton()->getRelativePosition(), (SRecti{0, 0, 16, 16}));
    EXPECT_EQ(bar->getSecondButton()->getRelativePosition(), (SRecti{184, 0, 200, 16}));
    EXPECT_TRUE(bar->getFirstButton()->getText().empty());
    EXPECT_EQ(bar->getTrackRect(), (SRecti{16, 0, 184, 16}));
    EXPECT_EQ(bar->getThumbLength(), 16);
    bar->setMax(152);
    bar->setPos(40);

    const SRecti background = sourceOf(package, "HorScrollBackground");
    const struct
    {
        const char* name;
        std::function<void()> act;
        const char* thumb;
    } cases[] = {
        {"normal", [] {}, "HorScrollThumbNormal"},
        {"hovered", [&] { moveTo(10 + 56 + 4, 30); }, "HorScrollThumbHighlighted"},
        {"pressed", [&] { press(10 + 56 + 4, 30); }, "HorScrollThumbPressed"},
        {"disabled", [&] { bar->setEnabled(false); }, "HorScrollThumbDisabled"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        c.act();
        drawFrame();
        // 21 tiles of 8 from x 26 while before 194, cut to the track.
        EXPECT_EQ(drawsOf(m_driver->calls, background), 21);
        for (const SImageCall& call : m_driver->calls)
            if (call.source == background)
            {
                EXPECT_EQ(call.clip, (SRecti{26, 24, 194, 40}));
            }
        const SRecti thumb = sourceOf(package, c.thumb);
        ASSERT_EQ(drawsOf(m_driver->calls, thumb), 1);
        for (const SImageCall& call : m_driver->calls)
            if (call.source == thumb)
            {
                EXPECT_EQ(call.x, 10 + 16 + 40);
                EXPECT_EQ(call.y, 24);
            }
    }
}

TEST_F(ScrollBar, APlainThumbImageStandsInForAMissingNormalOne)
{
    zu::video::ISpritePackage* package = useSkinPackage({{"VerScrollThumb", 14, 10},
                                                         {"VerScrollUpNormal", 14, 14},
                                                         {"VerScrollDownNormal", 14, 14}});
    auto* bar = static_cast<CGUIScrollBar*>(gui.addScrollBar(false, {0, 0, 20, 200}, nullptr, 4));
    EXPECT_EQ(bar->getThumbLength(), 10);
    // As wide as the arrows, keeping its right edge.
    EXPECT_EQ(bar->getRelativePosition().left, 6);
    drawFrame();
    EXPECT_EQ(drawsOf(m_driver->calls, sourceOf(package, "VerScrollThumb")), 1);
}

TEST_F(ScrollBar, ASkinWithoutScrollImagesKeepsTheColouredBar)
{
    useSkinPackage({{"TextButtonNormal", 62, 24}});
    CGUIScrollBar* bar = makeBar();
    // The arrows would otherwise take the text buttons' size.
    EXPECT_EQ(bar->getFirstButton()->getRelativePosition(), (SRecti{0, 0, 20, 20}));
    EXPECT_EQ(bar->getSecondButton()->getRelativePosition(), (SRecti{180, 0, 200, 20}));
    EXPECT_EQ(bar->getFirstButton()->getText().size(), 1u);
    EXPECT_EQ(bar->getTrackRect(), (SRecti{20, 0, 180, 20}));
    EXPECT_EQ(bar->getThumbLength(), 20);
    drawFrame();
    const std::vector<SFill> drawn = fills(m_driver->rectangles, skin());
    ASSERT_GE(drawn.size(), 2u);
    EXPECT_EQ(drawn[1], (SFill{0, {100, 10, 120, 30}}));
}

TEST_F(ScrollBar, ResizingKeepsTheFarArrowAtTheFarEnd)
{
    CGUIScrollBar* bar = makeBar(140, 70);
    bar->setRelativePosition({10, 10, 350, 30});
    EXPECT_EQ(bar->getSecondButton()->getRelativePosition(), (SRecti{320, 0, 340, 20}));
    EXPECT_EQ(bar->getTrackRect(), (SRecti{20, 0, 320, 20}));
    // The thumb is placed again on the longer track: (300 - 20) / 140 * 70 + 20.
    EXPECT_EQ(bar->getThumbOffset(), 160);
}

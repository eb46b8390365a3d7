// The list box on the recording driver: how it lays out its items and its
// bar, choosing items with clicks, drags and hover, the reports and double
// clicks, the wheel, removing and clearing items, the highlight it draws,
// and a list used up by its own owner.
#include "GuiTreeFixture.h"

#include "gui/CGUIListBox.h"
#include "gui/IGUILayout.h"
#include "gui/IGUIScrollBar.h"
#include "gui/IGUIStaticText.h"

using namespace guitest;
using namespace zu::event;
using kelvo::gui::CGUIListBox;
using zu::gui::IGUIElement;
using zu::video::SRecti;

namespace
{

class ListBox : public GuiTree
{
  protected:
    // A list at (50, 50) 200 x 100. Skin size 0 is 14: the item layout is
    // 200 - 14 - 4 = 182 wide and 96 high from y 2, the bar beside it; items
    // are 174 wide and, in the 10-pixel test font, 10 high.
    CGUIListBox* makeList(int items, bool selectable = true)
    {
        auto* list = static_cast<CGUIListBox*>(gui.addListBox({50, 50, 250, 150}, nullptr, 7));
        for (int i = 0; i < items; ++i)
            addTo(list, ("Item " + std::to_string(i)).c_str());
        list->setSelectable(selectable);
        return list;
    }
    // With the defaults of the interface: the skin font, white, scrolled
    // to, wrapped.
    static zu::gui::IGUIStaticText* addTo(zu::gui::IGUIListBox* list, const char* text)
    {
        return list->addItem(text);
    }
    // The middle of an item where it is now.
    zu::video::SPosition2i itemPoint(CGUIListBox* list, int32_t index)
    {
        const SRecti& r = list->getListItem(index)->getAbsolutePosition();
        return {r.left + 10, r.top + r.getHeight() / 2};
    }
    void clickItem(CGUIListBox* list, int32_t index, int32_t clicks = 1)
    {
        const zu::video::SPosition2i p = itemPoint(list, index);
        press(p.x, p.y);
        moveTo(p.x, p.y);
        post(SEngineEvent::makeMouse(LeftUp, p.x, p.y, clicks));
    }
    ListBox()
    {
        // Remember each choice report with the double-click flag it came with.
        m_user.handler = [this](const SEngineEvent& event)
        {
            const int32_t type = event.gui.eventType;
            if (type != GuiListBoxChanged && type != GuiListBoxSelectedAgain) return;
            auto* list = static_cast<CGUIListBox*>(event.gui.caller);
            reports.push_back({type, list->wasDoubleClick(), list->getSelected()});
            if (onChoice) onChoice(list);
        };
    }

    struct SReport
    {
        int32_t type;
        bool doubleClick;
        int32_t selected;
    };
    std::vector<SReport> reports;
    std::function<void(CGUIListBox*)> onChoice;
};

} // namespace

TEST_F(ListBox, TheItemLayoutAndTheBarShareTheBox)
{
    CGUIListBox* list = makeList(0);
    EXPECT_EQ(list->getOuterBox()->getRelativePosition(), (SRecti{0, 0, 200, 100}));
    EXPECT_EQ(list->getItemLayout()->getRelativePosition(), (SRecti{0, 2, 182, 98}));
    EXPECT_EQ(list->getScrollBar()->getRelativePosition(), (SRecti{182, 2, 196, 98}));
    EXPECT_EQ(list->getScrollBar()->getMax(), 0);
    EXPECT_TRUE(list->isNoClip());

    list->setRelativePosition({50, 50, 350, 250});
    EXPECT_EQ(list->getOuterBox()->getRelativePosition(), (SRecti{0, 0, 300, 200}));
    EXPECT_EQ(list->getItemLayout()->getRelativePosition(), (SRecti{0, 2, 282, 198}));
    EXPECT_EQ(list->getScrollBar()->getRelativePosition(), (SRecti{282, 2, 296, 198}));

    auto* framed = static_cast<CGUIListBox*>(gui.addListBox({0, 0, 100, 100}, nullptr, 8, true));
    EXPECT_EQ(framed->getOuterBox()->getType(), zu::gui::EGUIET_WINDOW);
    EXPECT_EQ(list->getOuterBox()->getType(), zu::gui::EGUIET_LAYOUT);
}

TEST_F(ListBox, ItemsStackAndTheBarCoversWhatDoesNotFit)
{
    CGUIListBox* list = makeList(20);
    ASSERT_EQ(list->getItemCount(), 20);
    for (int32_t i : {0, 7, 19})
        EXPECT_EQ(list->getListItem(i)->getRelativePosition(),
                  (SRecti{0, 10 * i, 174, 10 * i + 10}));
    EXPECT_EQ(list->getListItem(20), nullptr);
    // 200 pixels of items in a box of 100 with a 2-pixel margin.
    zu::gui::IGUIScrollBar* bar = list->getScrollBar();
    EXPECT_EQ(bar->getMax(), 102);
    EXPECT_EQ(bar->getSmallStep(), 10);
    EXPECT_EQ(bar->getLargeStep(), 50);
    // Each addition scrolled to the end: the last item sits at the bottom.
    EXPECT_EQ(bar->getPos(), 102);
    EXPECT_EQ(list->getListItem(19)->getAbsolutePosition().bottom, 150);

    list->setItemSpacing(2);
    list->refresh(false);
    EXPECT_EQ(list->getListItem(1)->getRelativePosition().top, 14);
    EXPECT_EQ(bar->getMax(), 242 - 100 + 2);
}

TEST_F(ListBox, AWrappedItemIsAsHighAsItsLines)
{
    CGUIListBox* list = makeList(0);
    // 174 pixels hold 29 characters: 40 break onto a second line.
    auto* item = addTo(list, "word word word word word word word word");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->getRelativePosition().getHeight(), 20);
    ASSERT_EQ(item->getLines().size(), 2u);
    EXPECT_EQ(item->getLines()[1].str().substr(0, 4), "   w");
    EXPECT_EQ(item->getOverrideColor(), 0xFFFFFFFFu);
    auto* plain =
        list->addItem("word word word word word word word word", nullptr, 0xFF00FF00, true, false);
    EXPECT_EQ(plain->getRelativePosition().getHeight(), 10);
    EXPECT_EQ(plain->getOverrideColor(), 0xFF00FF00u);

    skin()->setFont(nullptr);
    EXPECT_EQ(addTo(list, "nothing to draw it with"), nullptr);
    EXPECT_EQ(list->getItemCount(), 2);
    skin()->setFont(m_font);
}

TEST_F(ListBox, ClicksChooseAnItemAndTheSameItemAgainIsReportedAsSuch)
{
    CGUIListBox* list = makeList(5);
    const struct
    {
        int32_t item;
        int32_t clicks;
        int32_t type;
        bool doubleClick;
    } steps[] = {
        {3, 1, GuiListBoxChanged, false},       {3, 2, GuiListBoxSelectedAgain, true},
        {3, 1, GuiListBoxSelectedAgain, false}, {1, 2, GuiListBoxChanged, false},
        {3, 1, GuiListBoxChanged, false},
    };
    for (const auto& s : steps)
    {
        SCOPED_TRACE(s.item);
        reports.clear();
        clickItem(list, s.item, s.clicks);
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_EQ(reports[0].type, s.type);
        EXPECT_EQ(reports[0].doubleClick, s.doubleClick);
        EXPECT_EQ(reports[0].selected, s.item);
        EXPECT_EQ(list->getSelected(), s.item);
        EXPECT_EQ(gui.getFocus(), nullptr) << "the release gives the focus back";
    }
    // The reports come from the list itself.
    for (const SLogged& e : log)
        if (e.type == GuiListBoxChanged)
        {
            EXPECT_EQ(e.caller, list);
        }

    // Another owner hears of the choices instead.
    bool destroyed = false;
    auto* owner = new CLoggedButton(m_env, nullptr, {600, 0, 650, 20}, "owner", &log, &destroyed);
    list->setOwner(owner);
    log.clear();
    clickItem(list, 0);
    EXPECT_NE(std::find(log.begin(), log.end(), SLogged{"owner", list, GuiListBoxChanged}),
              log.end());
    list->setOwner(nullptr);
    owner->drop();
    EXPECT_TRUE(destroyed);
    reports.clear();
    clickItem(list, 2);
    EXPECT_TRUE(reports.empty()) << "without an owner nobody is told";
    EXPECT_EQ(list->getSelected(), 2);
}

TEST_F(ListBox, AListThatIsNotSelectableLetsTheClicksThrough)
{
    CGUIListBox* list = makeList(5, false);
    clickItem(list, 2);
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(list->getSelected(), -1);
    EXPECT_EQ(gui.getFocus(), nullptr);
}

TEST_F(ListBox, ADisabledListIgnoresClicksAndTheWheel)
{
    CGUIListBox* list = makeList(20);
    list->setSelected(4);
    list->setEnabled(false);
    clickItem(list, 15);
    EXPECT_EQ(list->getSelected(), 4);
    EXPECT_TRUE(reports.empty());
    moveTo(100, 100);
    EXPECT_FALSE(wheel(1.f));
    EXPECT_EQ(list->getScrollBar()->getPos(), 102);
}

TEST_F(ListBox, DraggingChoosesQuietlyUntilTheRelease)
{
    CGUIListBox* list = makeList(5);
    const zu::video::SPosition2i from = itemPoint(list, 1), to = itemPoint(list, 4);
    press(from.x, from.y);
    EXPECT_TRUE(list->isDragging());
    moveTo(to.x, to.y - 10);
    EXPECT_EQ(list->getSelected(), 3);
    moveTo(to.x, to.y);
    EXPECT_EQ(list->getSelected(), 4);
    EXPECT_TRUE(reports.empty());
    release(to.x, to.y);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].type, GuiListBoxChanged);
    EXPECT_EQ(reports[0].selected, 4);
    EXPECT_FALSE(list->isDragging());
}

TEST_F(ListBox, ADropDownListChoosesWhatTheMouseIsOver)
{
    auto* list = new CGUIListBox(m_env, m_env, -1, {50, 50, 250, 150}, true, true);
    list->drop();
    for (const char* text : {"Small", "Medium", "Large"})
        list->addItem(text, nullptr, 0xFFFFFFFF, false, false);
    list->refresh(false);
    list->setSelectable(true);
    EXPECT_EQ(list->getSelected(), 0);
    const zu::video::SPosition2i p = itemPoint(list, 2);
    moveTo(p.x, p.y);
    EXPECT_EQ(list->getSelected(), 2);
    EXPECT_TRUE(reports.empty());
    moveTo(400, 400);
    EXPECT_EQ(list->getSelected(), 2) << "leaving keeps the choice";
}

TEST_F(ListBox, ChoosingInCode)
{
    CGUIListBox* list = makeList(5, false);
    const struct
    {
        const char* name;
        std::function<void()> act;
        int32_t selected;
    } steps[] = {
        {"not selectable", [&] { list->setSelected(2); }, -1},
        {"made selectable", [&] { list->setSelectable(true); }, 0},
        {"in range", [&] { list->setSelected(4); }, 4},
        {"stays on", [&] { list->setSelectable(true); }, 4},
        {"past the end", [&] { list->setSelected(5); }, -1},
        {"negative", [&] { list->setSelected(-3); }, -1},
        {"back", [&] { list->setSelected(1); }, 1},
        {"switched off", [&] { list->setSelectable(false); }, -1},
    };
    for (const auto& s : steps)
    {
        SCOPED_TRACE(s.name);
        s.act();
        EXPECT_EQ(list->getSelected(), s.selected);
    }
    EXPECT_TRUE(reports.empty());
}

TEST_F(ListBox, RemovingItemsKeepsTheChoiceOnItsItem)
{
    const struct
    {
        int32_t removed;
        int32_t selected;
        int32_t count;
    } cases[] = {
        {3, -1, 4}, {1, 2, 4}, {4, 3, 4}, {0, 2, 4}, {7, 3, 5}, {-1, 3, 5},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.removed);
        CGUIListBox* list = makeList(5);
        list->setSelected(3);
        list->removeItem(c.removed);
        EXPECT_EQ(list->getItemCount(), c.count);
        EXPECT_EQ(list->getSelected(), c.selected);
        if (c.selected >= 0)
        {
            EXPECT_EQ(list->getListItem(c.selected)->getText().str(), "Item 3");
            EXPECT_EQ(list->getLastSelected(), c.selected) << "clicking it again is a repeat";
        }
        // The rest closed up.
        for (int32_t i = 0; i < list->getItemCount(); ++i)
            EXPECT_EQ(list->getListItem(i)->getRelativePosition().top, 10 * i);
        list->remove();
    }
}

TEST_F(ListBox, ClearingAndRemovingGiveBackTheScrollRange)
{
    CGUIListBox* list = makeList(20);
    list->setSelected(12);
    while (list->getItemCount() > 5)
        list->removeItem(0);
    EXPECT_EQ(list->getScrollBar()->getMax(), 0);
    EXPECT_EQ(list->getItemLayout()->getRelativePosition().getHeight(), 96);
    EXPECT_EQ(list->getSelected(), -1);

    CGUIListBox* other = makeList(20);
    other->setSelected(3);
    other->clear();
    EXPECT_EQ(other->getItemCount(), 0);
    EXPECT_EQ(other->getSelected(), -1);
    EXPECT_EQ(other->getScrollBar()->getMax(), 0);
    EXPECT_EQ(other->getScrollBar()->getPos(), 0);
    EXPECT_EQ(other->getItemLayout()->getAbsolutePosition().top, 52);
}

TEST_F(ListBox, TheWheelScrollsTheListAndIsTakenByIt)
{
    CGUIListBox* list = makeList(20);
    zu::gui::IGUIScrollBar* bar = list->getScrollBar();
    const struct
    {
        const char* name;
        int32_t x, y;
        float wheel;
        int32_t pos;
        bool consumed;
    } cases[] = {
        {"a notch up over an item", 100, 100, 1.f, 92, true},
        {"half a notch", 100, 100, 0.5f, 102, true},
        {"two notches down at the end", 100, 100, -2.f, 102, true},
        {"outside", 400, 300, 1.f, 102, false},
        // The bar moves itself and leaves the event to what is behind it.
        {"over the bar", 240, 100, 3.f, 72, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        bar->setPos(102);
        moveTo(c.x, c.y);
        EXPECT_EQ(wheel(c.wheel), c.consumed);
        EXPECT_EQ(bar->getPos(), c.pos);
        // The items are where the next frame draws them, for the next click.
        EXPECT_EQ(list->getListItem(0)->getAbsolutePosition().top, 52 - c.pos);
    }
    for (const SLogged& e : log)
        EXPECT_NE(e.type, GuiScrollBarMoved) << "the list keeps its bar's reports";
}

TEST_F(ListBox, TheChosenItemIsHighlightedWhereItIsSeen)
{
    CGUIListBox* list = makeList(5);
    list->setSelected(2);
    drawFrame();
    const std::vector<SRectangleCall>& drawn = m_driver->rectangles;
    ASSERT_GE(drawn.size(), 5u);
    const SRecti item = {50, 72, 224, 82};
    const std::vector<SFill> expected = {{18, item},
                                         {19, {50, 72, 52, 82}},
                                         {19, {50, 72, 224, 74}},
                                         {19, {50, 80, 224, 82}},
                                         {19, {222, 72, 224, 82}}};
    const std::vector<SRectangleCall> last(drawn.end() - 5, drawn.end());
    EXPECT_EQ(fills(last, skin()), expected);
    for (const SRectangleCall& call : last)
    {
        EXPECT_TRUE(call.clipped);
        EXPECT_EQ(call.clip, item);
    }

    // Scrolled out of sight, nothing is highlighted.
    CGUIListBox* longer = makeList(20);
    list->remove();
    longer->setSelected(0);
    drawFrame();
    for (const SFill& f : fills(m_driver->rectangles, skin()))
        EXPECT_NE(f.color, 18);
    // Half in sight, the highlight is cut to what shows.
    longer->getScrollBar()->setPos(5);
    drawFrame();
    const SRectangleCall& tint = m_driver->rectangles[m_driver->rectangles.size() - 5];
    EXPECT_EQ(tint.rect, (SRecti{50, 47, 224, 57}));
    EXPECT_EQ(tint.clip, (SRecti{50, 50, 224, 57}));
}

TEST_F(ListBox, EverythingOnAnEmptyList)
{
    CGUIListBox* list = makeList(0);
    EXPECT_EQ(list->getListItem(0), nullptr);
    EXPECT_EQ(list->getListItem(-1), nullptr);
    list->removeItem(0);
    list->removeItem(-1);
    list->setSelected(0);
    list->setSelectable(true);
    EXPECT_EQ(list->getSelected(), -1);
    list->clear();
    list->refresh(true);
    list->refresh(false);
    list->updateScrollBar();
    list->setItemSpacing(5);
    list->setWrapPrefix("");
    EXPECT_FALSE(list->wasDoubleClick());
    click(100, 100);
    moveTo(100, 100);
    wheel(1.f);
    press(100, 100);
    moveTo(120, 140);
    release(120, 140);
    click(240, 60);
    drawFrame();
    EXPECT_TRUE(reports.empty());
    // Sizes with no room at all.
    for (const SRecti& r : {SRecti{0, 0, 0, 0}, SRecti{10, 10, 5, 5}, SRecti{0, 0, 3, 200}})
    {
        list->setRelativePosition(r);
        addTo(list, "x");
        drawFrame();
        list->clear();
    }
}

TEST_F(ListBox, AListClearedOrRemovedByItsOwnHandler)
{
    CGUIListBox* list = makeList(5);
    onChoice = [](CGUIListBox* chosen) { chosen->clear(); };
    clickItem(list, 2);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(list->getItemCount(), 0);
    EXPECT_EQ(list->getSelected(), -1);
    drawFrame();

    CGUIListBox* other = makeList(5);
    onChoice = [](CGUIListBox* chosen) { chosen->remove(); };
    clickItem(other, 1);
    EXPECT_EQ(gui.getRootGUIElement()->getChildren().size(), 1u);
    drawFrame();
}

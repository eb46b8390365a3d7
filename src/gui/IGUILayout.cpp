#include "gui/IGUILayout.h"

#include <algorithm>
#include <vector>

namespace zu::gui
{

namespace
{

bool has(const core::CString& text, const char* keyword)
{
    return text.find(keyword) != core::CString::npos;
}

video::SRecti sized(int32_t x, int32_t y, int32_t w, int32_t h)
{
    return {x, y, x + w, y + h};
}

} // namespace

IGUIElement::ChildList IGUILayout::arrangedChildren() const
{
    ChildList children;
    for (IGUIElement* child : m_children)
        if (!child->isFixed()) children.push_back(child);
    return children;
}

void IGUILayout::finishArrangement(int32_t growWidth, int32_t growHeight)
{
    video::SRecti r = m_relativeRect;
    if (growWidth > 0) r.right += growWidth;
    if (growHeight > 0) r.bottom += growHeight;
    setRelativePosition(r);
    offsetChildrenToContent();
}

void IGUILayout::sortFlow(int32_t spacingX, int32_t spacingY, bool rightToLeft, bool growWidth)
{
    const video::SRecti content = getContentArea();
    const int32_t W = content.getWidth();
    const int32_t H = content.getHeight();
    int32_t y = spacingY, rowHeight = 0, widest = 0;
    bool first = true;
    int32_t x = spacingX;        // left to right
    int32_t edge = W - spacingX; // right to left
    for (IGUIElement* child : arrangedChildren())
    {
        const video::SRecti& r = child->getRelativePosition();
        const int32_t w = r.getWidth(), h = r.getHeight();
        const bool full = rightToLeft ? edge - w < spacingX : x + w >= W - spacingX;
        if (full && !first)
        {
            y += spacingY + rowHeight;
            rowHeight = 0;
            x = spacingX;
            edge = W - spacingX;
        }
        if (rightToLeft)
        {
            child->setRelativePosition(sized(edge - w, y, w, h));
            edge -= w + spacingX;
            widest = std::max(widest, (W - spacingX) - edge);
        }
        else
        {
            child->setRelativePosition(sized(x, y, w, h));
            x += w + spacingX;
            widest = std::max(widest, x);
        }
        rowHeight = std::max(rowHeight, h);
        first = false;
    }
    finishArrangement(growWidth ? widest - W : 0, y + rowHeight + spacingY - H);
}

void IGUILayout::sortVertically(int32_t spacing, bool centre)
{
    const video::SRecti content = getContentArea();
    const int32_t W = content.getWidth();
    int32_t y = spacing;
    for (IGUIElement* child : arrangedChildren())
    {
        const video::SRecti& r = child->getRelativePosition();
        const int32_t w = r.getWidth(), h = r.getHeight();
        child->setRelativePosition(sized(centre ? (W - w) / 2 : 0, y, w, h));
        y += h + spacing;
    }
    finishArrangement(0, y - content.getHeight());
}

void IGUILayout::sortHorizontally(int32_t spacing)
{
    const video::SRecti content = getContentArea();
    const int32_t H = content.getHeight();
    int32_t x = spacing;
    for (IGUIElement* child : arrangedChildren())
    {
        const video::SRecti& r = child->getRelativePosition();
        const int32_t w = r.getWidth(), h = r.getHeight();
        child->setRelativePosition(sized(x, (H - h) / 2, w, h));
        x += w + spacing;
    }
    finishArrangement(x - content.getWidth(), 0);
}

void IGUILayout::sortRiver(bool pack, int32_t spacingX, int32_t spacingY, bool emptyIsTab)
{
    struct SPlaced
    {
        IGUIElement* child;
        video::SRecti rect;
    };
    struct SRow
    {
        std::vector<SPlaced> items;
        std::vector<size_t> tabs; // indexes into items
        int32_t vertical = 0;
        int32_t horizontal = 0;
        int32_t height = 0;
    };

    // Grouping into rows by the keywords.
    std::vector<SRow> rows(1);
    size_t mostTabs = 0;
    for (IGUIElement* child : arrangedChildren())
    {
        core::CString text = child->getRiverText();
        if (text.empty())
        {
            if (!emptyIsTab)
            {
                rows.back().items.push_back({child, {}});
                continue;
            }
            text = "tab";
        }
        if (has(text, "br") && !rows.back().items.empty()) rows.emplace_back();
        SRow& row = rows.back();
        row.items.push_back({child, {}});
        if (has(text, "top"))
            row.vertical = 0;
        else if (has(text, "middle"))
            row.vertical = 1;
        else if (has(text, "bottom"))
            row.vertical = 2;
        if (has(text, "left"))
            row.horizontal = 0;
        else if (has(text, "center"))
            row.horizontal = 1;
        else if (has(text, "right"))
            row.horizontal = 2;
        if (has(text, "tab"))
        {
            row.tabs.push_back(row.items.size() - 1);
            mostTabs = std::max(mostTabs, row.tabs.size());
        }
    }

    // Each row from the left at its preferred sizes.
    int32_t rowY = spacingY;
    for (SRow& row : rows)
    {
        int32_t x = spacingX;
        for (SPlaced& item : row.items)
        {
            const core::SDimension2i size = item.child->getPreferredSize();
            item.rect = sized(x, rowY, size.width, size.height);
            x += size.width + spacingX;
            row.height = std::max(row.height, size.height);
        }
        rowY += row.height + spacingY;
    }

    // Tab stops: the t-th tab of every row goes to the rightmost of them,
    // taking the rest of its row along.
    for (size_t t = 0; t < mostTabs; ++t)
    {
        int32_t stop = INT32_MIN;
        for (const SRow& row : rows)
            if (t < row.tabs.size()) stop = std::max(stop, row.items[row.tabs[t]].rect.left);
        for (SRow& row : rows)
        {
            if (t >= row.tabs.size()) continue;
            const int32_t shift = stop - row.items[row.tabs[t]].rect.left;
            for (size_t i = row.tabs[t]; i < row.items.size() && shift > 0; ++i)
            {
                row.items[i].rect.left += shift;
                row.items[i].rect.right += shift;
            }
        }
    }

    const video::SRecti content = getContentArea();
    int32_t W = content.getWidth();
    int32_t growWidth = 0, growHeight = 0;
    if (pack)
    {
        int32_t right = spacingX, bottom = spacingY;
        for (const SRow& row : rows)
            for (const SPlaced& item : row.items)
            {
                right = std::max(right, item.rect.right);
                bottom = std::max(bottom, item.rect.bottom);
            }
        // Packing may shrink the layout as well as grow it.
        growWidth = right + spacingX - W;
        growHeight = bottom + spacingY - content.getHeight();
        W += growWidth;
    }

    for (SRow& row : rows)
    {
        int32_t rowRight = INT32_MIN;
        for (const SPlaced& item : row.items)
            rowRight = std::max(rowRight, item.rect.right);
        int32_t shift = 0;
        if (row.horizontal != 0)
        {
            shift = W - rowRight - spacingX;
            if (row.horizontal == 1) shift /= 2;
        }
        for (SPlaced& item : row.items)
        {
            int32_t down = 0;
            if (row.vertical != 0)
            {
                down = row.height - item.rect.getHeight();
                if (row.vertical == 1) down /= 2;
            }
            item.child->setRelativePosition({item.rect.left + shift, item.rect.top + down,
                                             item.rect.right + shift, item.rect.bottom + down});
        }
    }

    video::SRecti r = m_relativeRect;
    if (pack)
    {
        r.right += growWidth;
        r.bottom += growHeight;
    }
    setRelativePosition(r);
    offsetChildrenToContent();
}

video::SRecti IGUILayout::getContentArea() const
{
    return {0, 0, m_relativeRect.getWidth(), m_relativeRect.getHeight()};
}

void IGUILayout::offsetChildrenToContent()
{
    const video::SRecti content = getContentArea();
    if (content.left == 0 && content.top == 0) return;
    for (IGUIElement* child : arrangedChildren())
        child->move(content.left, content.top);
}

video::SRecti IGUILayout::getChildClippingRect(bool fixed) const
{
    if (m_noClip && m_parent) return m_parent->getChildClippingRect(fixed);
    if (fixed) return m_clippingRect;
    const video::SRecti content = getContentArea();
    video::SRecti clip = {m_absoluteRect.left + content.left, m_absoluteRect.top + content.top,
                          m_absoluteRect.left + content.right, m_absoluteRect.top + content.bottom};
    if (m_parent) clip = intersect(clip, m_parent->getChildClippingRect(m_fixed));
    return clip;
}

} // namespace zu::gui

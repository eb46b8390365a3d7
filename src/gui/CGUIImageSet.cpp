#include "gui/CGUIImageSet.h"

#include "gui/IGUIElement.h"

#include "video/ISpriteAnimationState.h"
#include "video/ISpritePackage.h"

#include <algorithm>

namespace kelvo::gui
{

CGUIImageSet::CGUIImageSet(std::initializer_list<const char*> suffixes)
    : m_suffixes(suffixes), m_states(suffixes.size(), nullptr)
{
}

CGUIImageSet::~CGUIImageSet()
{
    release();
}

void CGUIImageSet::load(zu::video::ISpritePackage* package, const zu::core::CString& prefix)
{
    release();
    if (!package) return;
    for (size_t i = 0; i < m_suffixes.size(); ++i)
        m_states[i] = package->createState(prefix + m_suffixes[i]);
}

void CGUIImageSet::release()
{
    for (zu::video::ISpriteAnimationState*& state : m_states)
        if (state)
        {
            state->release();
            state = nullptr;
        }
}

zu::core::SDimension2i CGUIImageSet::size(size_t index) const
{
    return m_states[index] ? m_states[index]->getSize(0) : zu::core::SDimension2i{};
}

void CGUIImageSet::draw(size_t index, zu::video::SPosition2i position,
                        const zu::video::SRecti* clip, uint32_t color) const
{
    if (m_states[index]) m_states[index]->drawAt(position, clip, color);
}

void CGUIImageSet::tile(size_t index, const zu::video::SRecti& area, bool horizontal,
                        const zu::video::SRecti* clip, uint32_t color) const
{
    zu::video::ISpriteAnimationState* state = m_states[index];
    if (!state) return;
    const zu::core::SDimension2i size = state->getSize(0);
    const int32_t step = horizontal ? size.width : size.height;
    // An image without extent would never get anywhere.
    if (step <= 0) return;
    const zu::video::SRecti cut = clip ? zu::gui::intersect(area, *clip) : area;
    const int64_t end = horizontal ? area.right : area.bottom;
    for (int64_t at = horizontal ? area.left : area.top; at < end; at += step)
    {
        const zu::video::SPosition2i position =
            horizontal ? zu::video::SPosition2i{int32_t(at), area.top}
                       : zu::video::SPosition2i{area.left, int32_t(at)};
        state->drawAt(position, &cut, color);
    }
}

void CGUIImageSet::tileBoth(size_t index, const zu::video::SRecti& area,
                            const zu::video::SRecti* clip, uint32_t color) const
{
    const int32_t step = size(index).height;
    if (step <= 0) return;
    for (int64_t y = area.top; y < area.bottom; y += step)
    {
        const int32_t bottom = int32_t(std::min<int64_t>(y + step, area.bottom));
        tile(index, {area.left, int32_t(y), area.right, bottom}, true, clip, color);
    }
}

void CGUIImageSet::restart(size_t index) const
{
    if (m_states[index]) m_states[index]->reset();
}

} // namespace kelvo::gui

#include "other/CVideoModeList.h"

#include <algorithm>

namespace kelvo
{

void CVideoModeList::addMode(zu::core::SDimension2i size, int32_t depth)
{
    SMode mode{size.width, size.height, depth};
    auto at = std::lower_bound(m_modes.begin(), m_modes.end(), mode);
    if (at == m_modes.end() || !(*at == mode))
        m_modes.insert(at, mode);
}

zu::core::SDimension2i CVideoModeList::getModeResolution(int32_t index) const
{
    if (index < 0 || index >= getModeCount())
        return {0, 0};
    return {m_modes[index].width, m_modes[index].height};
}

int32_t CVideoModeList::getModeDepth(int32_t index) const
{
    if (index < 0 || index >= getModeCount())
        return 0;
    return m_modes[index].depth;
}

} // namespace kelvo

// CVideoModeList: display modes kept sorted (width, then height, then depth)
// and free of duplicates as they are added.
#pragma once

#include "other/IVideoModeList.h"

#include <vector>

namespace kelvo
{

class CVideoModeList : public zu::IVideoModeList
{
public:
    void addMode(zu::core::SDimension2i size, int32_t depth);
    void setDesktop(zu::core::SDimension2i size, int32_t depth)
    {
        m_desktopSize = size;
        m_desktopDepth = depth;
    }

    int32_t getModeCount() const override { return static_cast<int32_t>(m_modes.size()); }
    zu::core::SDimension2i getModeResolution(int32_t index) const override;
    int32_t getModeDepth(int32_t index) const override;
    zu::core::SDimension2i getDesktopResolution() const override { return m_desktopSize; }
    int32_t getDesktopDepth() const override { return m_desktopDepth; }

private:
    struct SMode
    {
        int32_t width, height, depth;
        bool operator<(const SMode& o) const
        {
            if (width != o.width)
                return width < o.width;
            if (height != o.height)
                return height < o.height;
            return depth < o.depth;
        }
        bool operator==(const SMode& o) const
        {
            return width == o.width && height == o.height && depth == o.depth;
        }
    };
    std::vector<SMode> m_modes;
    zu::core::SDimension2i m_desktopSize;
    int32_t m_desktopDepth = 0;
};

} // namespace kelvo

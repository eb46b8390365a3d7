// A (width, height) pair.
#pragma once

#include <cstdint>

namespace zu::core
{

template <class T> struct SDimension
{
    T width = 0;
    T height = 0;

    bool operator==(const SDimension& o) const { return width == o.width && height == o.height; }
    bool operator!=(const SDimension& o) const { return !(*this == o); }
};

using SDimension2i = SDimension<int32_t>;

} // namespace zu::core

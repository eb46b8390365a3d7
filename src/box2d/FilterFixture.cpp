#include "box2d/FilterFixture.h"

namespace zu::box2d
{

FilterFixture::FilterFixture(const b2Filter& filter) { m_filter = filter; }

bool FilterFixture::shouldCollide(const b2Fixture* other) const
{
    const b2Filter& a = m_filter;
    const b2Filter& b = other->GetFilterData();
    if (a.groupIndex == b.groupIndex && a.groupIndex != 0)
        return a.groupIndex > 0;
    return (a.maskBits & b.categoryBits) != 0 && (a.categoryBits & b.maskBits) != 0;
}

} // namespace zu::box2d

// FilterFixture: a fixture that belongs to no body and only carries filter
// bits (category, mask, group) into a ray cast, so the cast can ask the same
// collision rule the world uses for two fixtures. Private to the physics layer.
#pragma once

#include <box2d/b2_fixture.h>

namespace zu::box2d
{

class FilterFixture : public b2Fixture
{
  public:
    explicit FilterFixture(const b2Filter& filter);

    // The default rule: a shared nonzero group decides by its sign; otherwise
    // each category must meet the other's mask.
    bool shouldCollide(const b2Fixture* other) const;
};

} // namespace zu::box2d

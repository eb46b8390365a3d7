// CNullMaterialRenderer: a built-in material type of the null driver. It sets
// nothing up; it only holds the type's place in the registry so that material
// numbers match every other driver.
#pragma once

#include "video/IMaterialRenderer.h"

namespace kelvo::video
{

class CNullMaterialRenderer : public zu::video::IMaterialRenderer
{
public:
    explicit CNullMaterialRenderer(bool transparent) : m_transparent(transparent) {}

    void bind(const zu::video::MaterialState&, const zu::video::MaterialState&, bool,
              zu::video::IMaterialRendererServices*) override
    {
    }
    bool isTransparent() const override { return m_transparent; }

private:
    bool m_transparent;
};

} // namespace kelvo::video

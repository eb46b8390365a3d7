#include "video/null/CShaderMaterialRenderer.h"

#include "video/IShaderConstantSetCallBack.h"
#include "video/IVideoDriver.h"

namespace kelvo::video
{

CShaderMaterialRenderer::CShaderMaterialRenderer(zu::video::IVideoDriver* driver,
                                                 zu::video::IShaderConstantSetCallBack* callback,
                                                 int32_t baseMaterial, int32_t userData)
    : m_driver(driver), m_callback(callback),
      m_baseRenderer(driver ? driver->getRenderer(baseMaterial) : nullptr), m_userData(userData)
{
    if (m_callback) m_callback->grab();
    if (m_baseRenderer) m_baseRenderer->grab();
}

CShaderMaterialRenderer::~CShaderMaterialRenderer()
{
    zu::dropAndClear(m_callback);
    zu::dropAndClear(m_baseRenderer);
}

bool CShaderMaterialRenderer::isTransparent() const
{
    return m_baseRenderer && m_baseRenderer->isTransparent();
}

void CShaderMaterialRenderer::bindBase(const zu::video::MaterialState& material,
                                       zu::video::IMaterialRendererServices* services)
{
    if (m_baseRenderer) m_baseRenderer->bind(material, material, true, services);
}

void CShaderMaterialRenderer::unbindBase()
{
    if (m_baseRenderer) m_baseRenderer->unbind();
}

void CShaderMaterialRenderer::callConstants(zu::video::IMaterialRendererServices* services,
                                            int32_t userData)
{
    if (m_callback) m_callback->setConstants(services, userData);
}

} // namespace kelvo::video

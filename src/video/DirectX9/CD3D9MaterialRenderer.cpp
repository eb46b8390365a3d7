#include "video/DirectX9/CD3D9MaterialRenderer.h"

#include "core/Output.h"
#include "video/DirectX9/CVideoDirectX9.h"
#include "video/IMaterialRendererServices.h"
#include "video/MaterialState.h"

using namespace zu::video;

namespace kelvo::video
{

void CD3D9MaterialRenderer::stage(DWORD index, D3DTEXTUREOP colorOp, DWORD arg1, DWORD arg2,
                                  D3DTEXTUREOP alphaOp)
{
    m_device->SetTextureStageState(index, D3DTSS_COLOROP, colorOp);
    m_device->SetTextureStageState(index, D3DTSS_COLORARG1, arg1);
    m_device->SetTextureStageState(index, D3DTSS_COLORARG2, arg2);
    m_device->SetTextureStageState(index, D3DTSS_ALPHAOP, alphaOp);
}

void CD3D9MaterialRenderer::blend(bool on, D3DBLEND source, D3DBLEND destination)
{
    m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, on ? TRUE : FALSE);
    if (!on) return;
    m_device->SetRenderState(D3DRS_SRCBLEND, source);
    m_device->SetRenderState(D3DRS_DESTBLEND, destination);
}

void CD3D9MaterialRenderer::sphereMap(DWORD generation)
{
    m_device->SetTransform(D3DTS_TEXTURE0, m_driver->getSphereMapMatrix());
    m_device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
    m_device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, generation);
}

void CD3D9MaterialRenderer::bind(const MaterialState& material, const MaterialState& lastMaterial,
                                 bool resetAll, IMaterialRendererServices* services)
{
    const bool changed = resetAll || material.MaterialType != lastMaterial.MaterialType;
    if (changed)
    {
        // Lit geometry takes its colours from the material, as in the other
        // driver; only the alpha-channel type reads the vertex colour.
        m_device->SetRenderState(D3DRS_COLORVERTEX,
                                 m_kind == TRANSPARENT_ALPHA_CHANNEL ? TRUE : FALSE);
        m_device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
        switch (m_kind)
        {
        case SOLID:
            stage(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_DISABLE);
            break;
        case SOLID_2_LAYER:
            stage(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_DISABLE);
            m_device->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 0);
            stage(1, D3DTOP_BLENDDIFFUSEALPHA, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_DISABLE);
            blend(false);
            break;
        case LIGHTMAP:
        {
            const int32_t type = material.MaterialType;
            stage(0, type >= EMT_LIGHTMAP_LIGHTING ? D3DTOP_MODULATE : D3DTOP_SELECTARG1,
                  D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_DISABLE);
            m_device->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 1);
            D3DTEXTUREOP op = D3DTOP_MODULATE;
            if (type == EMT_LIGHTMAP_ADD)
                op = D3DTOP_ADD;
            else if (type == EMT_LIGHTMAP_M4 || type == EMT_LIGHTMAP_LIGHTING_M4)
                op = D3DTOP_MODULATE4X;
            else if (type == EMT_LIGHTMAP_M2 || type == EMT_LIGHTMAP_LIGHTING_M2)
                op = D3DTOP_MODULATE2X;
            stage(1, op, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_DISABLE);
            blend(false);
            break;
        }
        case SPHERE_MAP:
            stage(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_DISABLE);
            m_device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
            blend(false);
            sphereMap(D3DTSS_TCI_CAMERASPACENORMAL);
            break;
        case REFLECTION_2_LAYER:
            stage(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_DISABLE);
            m_device->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 0);
            stage(1, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_DISABLE);
            sphereMap(D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR);
            blend(false);
            break;
        case TRANSPARENT_ADD_COLOR:
            stage(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_DISABLE);
            m_device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
            blend(true, D3DBLEND_ONE, D3DBLEND_INVSRCCOLOR);
            break;
        case TRANSPARENT_ALPHA_CHANNEL:
            // No alpha test: the blend alone decides, so soft edges stay soft.
            stage(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_SELECTARG1);
            m_device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
            m_device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
            m_device->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
            blend(true);
            break;
        case TRANSPARENT_VERTEX_ALPHA:
            stage(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1);
            m_device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
            m_device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
            blend(true);
            break;
        case TRANSPARENT_REFLECTION_2_LAYER:
            stage(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1);
            m_device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
            m_device->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 0);
            stage(1, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_DISABLE);
            blend(true);
            sphereMap(D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR);
            break;
        }
    }
    if (m_kind == SOLID)
    {
        m_device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
        blend(false);
    }
    if (services) services->setBasicRenderStates(material, lastMaterial, resetAll);
    // These types never write depth, whatever the material says.
    if (m_kind == TRANSPARENT_ADD_COLOR || m_kind == TRANSPARENT_VERTEX_ALPHA ||
        m_kind == TRANSPARENT_REFLECTION_2_LAYER)
        m_device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
}

void CD3D9MaterialRenderer::unbind()
{
    if (m_kind == SPHERE_MAP || m_kind == REFLECTION_2_LAYER ||
        m_kind == TRANSPARENT_REFLECTION_2_LAYER)
    {
        m_device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
        m_device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
        m_device->SetTransform(D3DTS_TEXTURE0, m_driver->getIdentityMatrix());
    }
}

bool CD3D9MaterialRenderer::isTransparent() const
{
    return m_kind >= TRANSPARENT_ADD_COLOR && m_kind <= TRANSPARENT_REFLECTION_2_LAYER;
}

bool CD3D9MaterialRenderer::setVariable(bool, const char*, const float*, int32_t)
{
    zu::core::zuLogText("Invalid material to set variable in.", zu::core::ELL_INFORMATION);
    return false;
}

} // namespace kelvo::video

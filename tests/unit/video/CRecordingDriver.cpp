#include "CRecordingDriver.h"

#include "video/Mesh.h"

#include <cstring>

using namespace zu::video;

namespace videotest
{

namespace
{

class CRecordingRenderer : public IMaterialRenderer
{
public:
    CRecordingRenderer(std::vector<std::string>& events, int type) : m_events(events), m_type(type)
    {
    }
    void bind(const MaterialState& material, const MaterialState&, bool,
              IMaterialRendererServices*) override
    {
        m_events.push_back("bind " + std::to_string(m_type) + " as " +
                           std::to_string(material.MaterialType));
    }
    void unbind() override { m_events.push_back("unbind " + std::to_string(m_type)); }

private:
    std::vector<std::string>& m_events;
    int m_type;
};

template <class T> void read(const Mesh* mesh, uint16_t i, EVertexFeature f, T* out, size_t n)
{
    if (mesh->hasVertexFeature(f))
        memcpy(out, mesh->vertexAttribute(i, f), n);
}

} // namespace

void CRecordingDriver::drawRenderState(RenderState& state)
{
    SRecordedDraw draw;
    const Mesh* mesh = state.mesh;
    draw.primitiveType = mesh->getPrimitiveType();
    draw.stride = mesh->getStride();
    for (uint16_t i = 0; i < mesh->getVertexCount(); ++i)
    {
        SRecordedVertex v;
        if (mesh->hasVertexFeature(FT_POSITION3D))
            read(mesh, i, FT_POSITION3D, &v.x, 12);
        read(mesh, i, FT_POSITION2D, &v.x, 8);
        read(mesh, i, FT_NORMAL, &v.nx, 12);
        read(mesh, i, FT_COLOR, &v.color, 4);
        read(mesh, i, FT_TEXCOORD0, &v.u, 8);
        draw.vertices.push_back(v);
    }
    draw.indices.assign(mesh->getIndices(), mesh->getIndices() + mesh->getIndexCount());
    for (int s = 0; s < 2; ++s)
    {
        draw.textures[s] = state.stages[s].texture;
        draw.filters[s] = state.stages[s].filter;
    }
    draw.mode = m_mode;
    draw.alphaChannel = m_alphaChannel;
    draw.filter2D = m_filter;
    draw.boundMaterial = getLastMaterial().MaterialType;
    draws.push_back(draw);
}

void CRecordingDriver::prepare2DStates(bool, bool, bool alphaChannel, bool filter)
{
    m_mode = 1;
    m_alphaChannel = alphaChannel;
    m_filter = filter;
}

void CRecordingDriver::prepare3DStates()
{
    m_mode = 2;
    switchMaterialRenderer(true);
}

void CRecordingDriver::installRecordingRenderers()
{
    removeAllMaterialRenderers();
    for (int type = 0; type < EMT_BUILT_IN_COUNT; ++type)
    {
        IMaterialRenderer* renderer = new CRecordingRenderer(events, type);
        addRenderer(renderer);
        renderer->drop();
    }
}

} // namespace videotest

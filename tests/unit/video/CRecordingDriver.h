// CRecordingDriver: a null driver that writes down every draw it is handed,
// with the vertices decoded from the mesh layout, the indices, the textures
// and sampling of both stages, the 2D states set for it and the material type
// bound at the time. Drawing is checked exactly without a GPU.
#pragma once

#include "video/IMaterialRenderer.h"
#include "video/null/CVideoNull.h"

#include <string>
#include <vector>

namespace videotest
{

struct SRecordedVertex
{
    float x = 0, y = 0, z = 0;
    float nx = 0, ny = 0, nz = 0;
    uint32_t color = 0;
    float u = 0, v = 0;
};

struct SRecordedDraw
{
    zu::video::EPrimitiveType primitiveType = zu::video::PT_TRIANGLE_LIST;
    int32_t stride = 0;
    std::vector<SRecordedVertex> vertices;
    std::vector<uint16_t> indices;
    zu::video::ITexture* textures[2] = {nullptr, nullptr};
    bool filters[2] = {true, true};
    // The last state setup before the draw: 0 none, 1 2D, 2 3D.
    int mode = 0;
    bool alphaChannel = false; // of the 2D setup
    bool filter2D = false;     // of the 2D setup
    int32_t boundMaterial = -1;
};

class CRecordingDriver : public kelvo::video::CVideoNull
{
public:
    CRecordingDriver(zu::io::IFileSystem* fileSystem, zu::core::SDimension2i size)
        : CVideoNull(fileSystem, size)
    {
    }

    void drawRenderState(zu::video::RenderState& state) override;
    void prepare2DStates(bool alpha, bool texture, bool alphaChannel, bool filter) override;
    void prepare3DStates() override;

    // Puts renderers that write "bind <type>" and "unbind <type>" into `events`
    // in place of the placeholders.
    void installRecordingRenderers();

    std::vector<SRecordedDraw> draws;
    std::vector<std::string> events;

private:
    int m_mode = 0;
    bool m_alphaChannel = false;
    bool m_filter = false;
};

} // namespace videotest

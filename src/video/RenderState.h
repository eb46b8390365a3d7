// RenderState: how to draw one mesh: the textures of the two stages and their
// sampling. Neither the mesh nor the textures are owned.
#pragma once

#include "video/MaterialState.h"

namespace zu::video
{

class Mesh;
class ITexture;

struct SRenderStage
{
    ITexture* texture = nullptr;
    bool filter = true; // linear filtering; off is point sampling
    bool mirrorU = false;
    bool mirrorV = false;
};

class RenderState
{
public:
    virtual ~RenderState() = default;

    Mesh* mesh = nullptr;
    SRenderStage stages[MATERIAL_MAX_TEXTURES];
};

} // namespace zu::video

// MaterialState: the material a draw is made with. MaterialType indexes the
// driver's material renderers; a type without a renderer (a failed shader
// creation hands out -1) draws with the solid material.
#pragma once

#include <cstdint>

namespace zu::video
{

class ITexture;

// Texture stages of a material and of a render state.
constexpr int MATERIAL_MAX_TEXTURES = 2;

enum EMaterialType
{
    EMT_SOLID = 0,
    EMT_SOLID_2_LAYER = 1,
    EMT_LIGHTMAP = 2,
    EMT_LIGHTMAP_ADD = 3,
    EMT_LIGHTMAP_M2 = 4,
    EMT_LIGHTMAP_M4 = 5,
    EMT_LIGHTMAP_LIGHTING = 6,
    EMT_LIGHTMAP_LIGHTING_M2 = 7,
    EMT_LIGHTMAP_LIGHTING_M4 = 8,
    EMT_SPHERE_MAP = 9,
    EMT_REFLECTION_2_LAYER = 10,
    EMT_TRANSPARENT_ADD_COLOR = 11,
    EMT_TRANSPARENT_ALPHA_CHANNEL = 12,
    EMT_TRANSPARENT_VERTEX_ALPHA = 13,
    EMT_TRANSPARENT_REFLECTION_2_LAYER = 14,
    // How many fixed-function types every driver registers.
    EMT_BUILT_IN_COUNT = 15
};

struct MaterialState
{
    int32_t MaterialType = EMT_SOLID;
    uint32_t AmbientColor = 0xFFFFFFFF;
    uint32_t DiffuseColor = 0xFFFFFFFF;
    uint32_t EmissiveColor = 0;
    uint32_t SpecularColor = 0;
    float Shininess = 0.f;
    ITexture* Textures[MATERIAL_MAX_TEXTURES] = {nullptr, nullptr};
    bool Wireframe = false;
    bool SmoothShading = true;
    bool Lighting = true;
    bool ZBuffer = true; // depth test
    bool ZWriteEnable = true;
    bool BackfaceCulling = true;
    bool FrontfaceClockwise = false;
    bool BilinearFilter = true;
    bool TrilinearFilter = false;
    bool FogEnable = false;
    bool MirrorU = false;
    bool MirrorV = false;
};

} // namespace zu::video

// The scenes both drawing drivers are held to: the OpenGL driver draws them
// on Linux and the Direct3D 9 driver under Wine, and each frame of one is
// compared with the same frame of the other. Every scene is drawn on a
// 160 x 120 screen between beginScene and the read-back; the draw function
// only draws.
#pragma once

#include "core/CMatrix4.h"
#include "video/IMaterialRendererServices.h"
#include "video/IShaderConstantSetCallBack.h"
#include "video/IVideoDriver.h"
#include "video/ITexture.h"
#include "video/Mesh.h"
#include "video/RenderState.h"
#include "video/SLight.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace scenes
{

using namespace zu::video;

constexpr int WIDTH = 160;
constexpr int HEIGHT = 120;

// A pixel whose colour both drivers must give exactly.
struct SProbe
{
    int x, y;
    uint8_t r, g, b;
};

struct SScene
{
    const char* name;
    uint32_t clearColor;
    void (*draw)(IVideoDriver* driver);
    SProbe probes[6];
    int probeCount;
};

inline ITexture* makeTexture(IVideoDriver* driver, const char* name, const uint32_t* pixels, int w,
                             int h)
{
    if (ITexture* existing = driver->findTexture(name)) return existing;
    uint8_t* data = new uint8_t[size_t(w) * size_t(h) * 4];
    memcpy(data, pixels, size_t(w) * size_t(h) * 4);
    IImage* image = driver->wrapImageData(ECF_A8R8G8B8, {w, h}, data);
    ITexture* texture = driver->addTexture(image, name);
    image->drop();
    return texture;
}

// A 2 x 2 texture: red, green / blue, white.
inline ITexture* checker(IVideoDriver* driver)
{
    const uint32_t pixels[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
    return makeTexture(driver, "checker", pixels, 2, 2);
}

inline void drawShapes(IVideoDriver* driver)
{
    ITexture* texture = checker(driver);
    driver->drawRectangle(0xFFFF0000, {10, 10, 50, 30}, nullptr);
    driver->drawRectangle(0xFF0000FF, {60, 10, 100, 30}, nullptr);
    driver->drawRectangle(0x8000FF00, {10, 20, 50, 40}, nullptr);
    const uint32_t white[4] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
    driver->drawImageQuad(texture, {110, 10}, {150, 10}, {110, 50}, {150, 50}, {0, 0, 2, 2}, white,
                          false, false);
    const float c = std::cos(0.5236f) * 20.f, s = std::sin(0.5236f) * 20.f;
    driver->drawImageQuad(texture, {50 - c + s, 85 - s - c}, {50 + c + s, 85 + s - c},
                          {50 - c - s, 85 - s + c}, {50 + c - s, 85 + s + c}, {0, 0, 2, 2}, white,
                          false, false);
    driver->drawLine({90, 70}, {150, 70}, 0xFFFFFF00);
    driver->drawLine({90, 110}, {150, 80}, 0xFF00FFFF);
}

inline void drawRenderTarget(IVideoDriver* driver)
{
    ITexture* target = driver->findTexture("target");
    if (!target) target = driver->addTexture({64, 64}, "target", ECF_A8R8G8B8, true);
    if (!target || !driver->setRenderTarget(target)) return;
    driver->clearScreen(false, 0xFF00FF00);
    driver->drawRectangle(0xFFFF0000, {0, 0, 64, 16}, nullptr);
    driver->setRenderTarget(nullptr);
    driver->drawImage(target, {10, 20});
}

inline void drawScissor(IVideoDriver* driver)
{
    SRecti box{0, 0, 100, 50};
    driver->setScissor(&box);
    driver->drawRectangle(0xFFFFFFFF, {0, 0, WIDTH, HEIGHT}, nullptr);
    driver->setScissor(nullptr);
}

// Two quads of a triangle list in clip space (identity transforms), facing
// the viewer with the given normal.
inline Mesh* quadMesh(IVideoDriver* driver, float left, float top, float right, float bottom,
                      const float normal[3], uint32_t color, const float uv[4])
{
    Mesh* mesh = driver->createMesh(PT_TRIANGLE_LIST, FORMAT_TRIANGLES, 4);
    const float corners[4][4] = {{left, top, uv[0], uv[1]},
                                 {right, top, uv[2], uv[1]},
                                 {left, bottom, uv[0], uv[3]},
                                 {right, bottom, uv[2], uv[3]}};
    for (const auto& corner : corners)
    {
        S3DVertex v;
        v.x = corner[0];
        v.y = corner[1];
        v.z = 0.5f;
        v.nx = normal[0];
        v.ny = normal[1];
        v.nz = normal[2];
        v.color = color;
        v.u = corner[2];
        v.v = corner[3];
        mesh->addVertex(v);
    }
    mesh->addTriangle(0, 1, 2);
    mesh->addTriangle(1, 3, 2);
    mesh->upload(true);
    return mesh;
}

inline void identityTransforms(IVideoDriver* driver)
{
    driver->setTransform(ETS_PROJECTION, zu::core::CMatrix4());
    driver->setTransform(ETS_VIEW, zu::core::CMatrix4());
    driver->setTransform(ETS_WORLD, zu::core::CMatrix4());
}

inline void drawMesh(IVideoDriver* driver, Mesh* mesh)
{
    driver->prepare3DStates();
    RenderState state;
    state.mesh = mesh;
    driver->drawRenderState(state);
}

// A directional light straight on the left quad and at 0.8 on the right one.
inline void drawLitMesh(IVideoDriver* driver)
{
    identityTransforms(driver);
    driver->clearLights();
    SLight light;
    light.directional = true;
    light.position[0] = 0.f;
    light.position[1] = 0.f;
    light.position[2] = -1.f;
    light.specular[0] = light.specular[1] = light.specular[2] = 0.f;
    driver->addLight(light);
    driver->setAmbientColor(0);
    MaterialState material;
    material.Lighting = true;
    material.BackfaceCulling = false;
    material.DiffuseColor = 0xFFFF8040;
    material.AmbientColor = 0xFF000000;
    material.SpecularColor = 0;
    driver->setMaterial(material);
    const float facing[3] = {0.f, 0.f, 1.f};
    const float tilted[3] = {0.f, 0.6f, 0.8f};
    const float uv[4] = {0.f, 0.f, 1.f, 1.f};
    Mesh* left = quadMesh(driver, -0.9f, 0.5f, -0.1f, -0.5f, facing, 0xFF00FF00, uv);
    Mesh* right = quadMesh(driver, 0.1f, 0.5f, 0.9f, -0.5f, tilted, 0xFF00FF00, uv);
    drawMesh(driver, left);
    drawMesh(driver, right);
    left->drop();
    right->drop();
    driver->clearLights();
    // 2D after 3D: on top and untouched by the light.
    driver->drawRectangle(0xFF0000FF, {0, 0, 10, 10}, nullptr);
}

// A texture whose alpha falls from opaque to clear, blended by its alpha
// channel onto the clear colour.
inline void drawAlphaChannel(IVideoDriver* driver)
{
    identityTransforms(driver);
    const bool deep = driver->getTextureFlag(ETCF_ALWAYS_32_BIT);
    driver->setTextureFlag(ETCF_ALWAYS_32_BIT, true);
    const uint32_t pixels[4] = {0xFFFF0000, 0x80FF0000, 0x40FF0000, 0x00FF0000};
    ITexture* texture = makeTexture(driver, "fade", pixels, 4, 1);
    driver->setTextureFlag(ETCF_ALWAYS_32_BIT, deep);
    MaterialState material;
    material.MaterialType = EMT_TRANSPARENT_ALPHA_CHANNEL;
    material.Lighting = false;
    material.BackfaceCulling = false;
    material.Textures[0] = texture;
    driver->setMaterial(material);
    const float facing[3] = {0.f, 0.f, 1.f};
    const float uv[4] = {0.f, 0.f, 1.f, 1.f};
    Mesh* mesh = quadMesh(driver, -1.f, 0.5f, 1.f, -0.5f, facing, 0xFFFFFFFF, uv);
    drawMesh(driver, mesh);
    mesh->drop();
    MaterialState plain;
    driver->setMaterial(plain);
}

// The shader scenes: the same program for both drivers, in each driver's
// language. The high-level one moves a green quad right by its vertex
// constant "offset" and draws the complement of its colour tinted by the
// pixel constant "tint"; the assembly one draws the complement of the
// checker texture tinted by register c0 (c1 holds ones).
namespace shaders
{
// OpenGL: GLSL and ARB programs.
const char* const GLSL_VERTEX = "uniform vec4 offset;\n"
                                "void main() { gl_Position = gl_Vertex + offset;\n"
                                "    gl_FrontColor = gl_Color; }\n";
const char* const GLSL_PIXEL = "uniform vec4 tint;\n"
                               "void main() {\n"
                               "    gl_FragColor = vec4((1.0 - gl_Color.rgb) * tint.rgb, 1.0); }\n";
const char* const ARB_VERTEX = "!!ARBvp1.0\n"
                               "MOV result.position, vertex.position;\n"
                               "MOV result.texcoord[0], vertex.texcoord[0];\n"
                               "END\n";
const char* const ARB_PIXEL = "!!ARBfp1.0\n"
                              "TEMP c;\n"
                              "TEX c, fragment.texcoord[0], texture[0], 2D;\n"
                              "SUB c, program.local[1], c;\n"
                              "MUL result.color, c, program.local[0];\n"
                              "END\n";
// Direct3D 9: HLSL and assembly.
const char* const HLSL_VERTEX =
    "float4 offset;\n"
    "struct SOut { float4 position : POSITION; float4 color : COLOR0; };\n"
    "SOut main(float4 position : POSITION, float4 color : COLOR0) {\n"
    "    SOut o; o.position = position + offset; o.color = color;\n"
    "    return o; }\n";
const char* const HLSL_PIXEL = "float4 tint;\n"
                               "float4 main(float4 color : COLOR0) : COLOR {\n"
                               "    return float4((1 - color.rgb) * tint.rgb, 1); }\n";
const char* const ASM_VERTEX = "vs_1_1\n"
                               "dcl_position v0\n"
                               "dcl_texcoord v1\n"
                               "mov oPos, v0\n"
                               "mov oT0, v1\n";
const char* const ASM_PIXEL = "ps_2_0\n"
                              "dcl t0.xy\n"
                              "dcl_2d s0\n"
                              "texld r0, t0, s0\n"
                              "add r0, c1, -r0\n"
                              "mul r0, r0, c0\n"
                              "mov oC0, r0\n";
} // namespace shaders

// The scenes' constants: by name for user data 0, in registers otherwise.
class CSceneConstants : public IShaderConstantSetCallBack
{
  public:
    void setConstants(IMaterialRendererServices* services, int32_t userData) override
    {
        if (userData == 0)
        {
            const float offset[4] = {0.25f, 0.f, 0.f, 0.f};
            const float tint[4] = {1.f, 1.f, 0.25f, 1.f};
            namedSet = services->setVertexShaderConstant("offset", offset, 4) &&
                       services->setPixelShaderConstant("tint", tint, 4);
            return;
        }
        const float registers[8] = {1.f, 0.25f, 1.f, 1.f, 1.f, 1.f, 1.f, 1.f};
        services->setPixelShaderConstant(registers, 0, 2);
    }
    bool namedSet = false;
};

// The shader material types of the scenes, made by each driver's program
// before the scenes are drawn (-1: not made, and the scene stays empty).
struct SShaderTypes
{
    int32_t highLevel = -1;
    int32_t assembly = -1;
};

inline SShaderTypes& shaderTypes()
{
    static SShaderTypes types;
    return types;
}

inline void drawShaderMesh(IVideoDriver* driver, int32_t type, ITexture* texture, float left,
                           float top, float right, float bottom, uint32_t color)
{
    if (type < 0) return;
    identityTransforms(driver);
    MaterialState material;
    material.MaterialType = type;
    material.Lighting = false;
    material.BackfaceCulling = false;
    material.BilinearFilter = false;
    material.TrilinearFilter = false;
    material.Textures[0] = texture;
    driver->setMaterial(material);
    const float facing[3] = {0.f, 0.f, 1.f};
    const float uv[4] = {0.f, 0.f, 1.f, 1.f};
    Mesh* mesh = quadMesh(driver, left, top, right, bottom, facing, color, uv);
    driver->prepare3DStates();
    // Point sampling, for the driver that takes it from the material and
    // for the one that takes it from the render state.
    RenderState state;
    state.mesh = mesh;
    state.stages[0].filter = false;
    driver->drawRenderState(state);
    mesh->drop();
    driver->setMaterial(MaterialState());
}

inline void drawHighLevelShader(IVideoDriver* driver)
{
    drawShaderMesh(driver, shaderTypes().highLevel, nullptr, -0.5f, 0.5f, 0.5f, -0.5f, 0xFF00FF00);
}

inline void drawAssemblyShader(IVideoDriver* driver)
{
    // 32-bit texels, so that the shader sees whole channels; each colour
    // is 2 x 2 texels, so that a filtering driver gives the same colours
    // inside each quarter.
    const bool deep = driver->getTextureFlag(ETCF_ALWAYS_32_BIT);
    driver->setTextureFlag(ETCF_ALWAYS_32_BIT, true);
    const uint32_t R = 0xFFFF0000, G = 0xFF00FF00, B = 0xFF0000FF, W = 0xFFFFFFFF;
    const uint32_t pixels[16] = {R, R, G, G, R, R, G, G, B, B, W, W, B, B, W, W};
    ITexture* texture = makeTexture(driver, "deepChecker", pixels, 4, 4);
    driver->setTextureFlag(ETCF_ALWAYS_32_BIT, deep);
    // The texel edges sit three quarters into a pixel, where both drivers'
    // pixel centres fall on the same side of them.
    const float dx = 0.75f * 2.f / float(WIDTH), dy = 0.75f * 2.f / float(HEIGHT);
    drawShaderMesh(driver, shaderTypes().assembly, texture, -1.f + dx, 1.f - dy, 1.f + dx,
                   -1.f - dy, 0xFFFFFFFF);
}

inline const SScene* all(int& count)
{
    static const SScene list[] = {
        {"shapes",
         0xFF202040,
         drawShapes,
         {{15, 12, 255, 0, 0},
          {95, 12, 0, 0, 255},
          {5, 5, 0x20, 0x20, 0x40},
          {115, 15, 255, 0, 0},
          {145, 45, 255, 255, 255},
          {120, 70, 255, 255, 0}},
         6},
        {"render_target",
         0xFF000000,
         drawRenderTarget,
         {{12, 22, 255, 0, 0},
          {12, 70, 0, 255, 0},
          {5, 5, 0, 0, 0},
          {73, 83, 0, 255, 0},
          {74, 84, 0, 0, 0}},
         5},
        {"scissor",
         0xFF000000,
         drawScissor,
         {{0, 0, 255, 255, 255},
          {99, 49, 255, 255, 255},
          {100, 49, 0, 0, 0},
          {99, 50, 0, 0, 0},
          {159, 119, 0, 0, 0}},
         5},
        {"lit_mesh",
         0xFF000000,
         drawLitMesh,
         {{40, 60, 255, 128, 64},
          {120, 60, 204, 102, 51},
          {5, 5, 0, 0, 255},
          {80, 60, 0, 0, 0},
          {40, 110, 0, 0, 0}},
         5},
        {"alpha_channel",
         0xFF0000FF,
         drawAlphaChannel,
         {{80, 10, 0, 0, 255}, {80, 110, 0, 0, 255}},
         2},
        {"shader_high_level",
         0xFF000000,
         drawHighLevelShader,
         {{100, 60, 255, 0, 64}, {130, 60, 255, 0, 64}, {45, 60, 0, 0, 0}, {100, 20, 0, 0, 0}},
         4},
        {"shader_assembly",
         0xFF000000,
         drawAssemblyShader,
         {{40, 30, 0, 64, 255}, {120, 30, 255, 0, 255}, {40, 90, 255, 64, 0}, {120, 90, 0, 0, 0}},
         4},
    };
    count = int(sizeof list / sizeof list[0]);
    return list;
}

} // namespace scenes

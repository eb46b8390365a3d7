// The material and 3D side of the `video` table: the driver's current
// material, shader materials and their named constants, full-screen and
// sprite-shaped passes through a shader material (post-processing), 3D
// triangles, lines and triangle lists, script meshes for renderMesh, and the
// camera, mesh and light nodes of the 3D scene. The rules of the 2D side
// hold here too: arguments by position with the plain conversions, only the
// counts stated are checked, nothing raises.
#include "lua/CLuaVideoLibrary.h"

#include "core/Output.h"
#include "lua/CLuaShaderConstants.h"
#include "other/IKelvoDevice.h"
#include "scene/ICameraSceneNode.h"
#include "scene/ILightSceneNode.h"
#include "scene/ISceneManager.h"
#include "video/IGPUProgrammingServices.h"
#include "video/ISpriteAnimationState.h"
#include "video/ITexture.h"
#include "video/IVideoDriver.h"
#include "video/Mesh.h"

#include <cmath>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace zu::lua
{
namespace
{

using core::CString;
using video::ITexture;
using video::IVideoDriver;
using video::MaterialState;
using video::SRecti;
using video::SVector3f;

constexpr const char* kMeshMetatable = "zu.video.mesh";
// The default base of a script's shader materials: blended by alpha and
// drawn with the transparent nodes.
constexpr int32_t kDefaultShaderBase = video::EMT_TRANSPARENT_ALPHA_CHANNEL;
// Triangle lists: the driver's 16-bit counts.
constexpr int64_t kMaxListVertices = 65535;
constexpr int64_t kMaxListTriangles = 65535 / 3;

CLuaVideoLibrary* library()
{
    return CLuaVideoLibrary::get();
}
IVideoDriver* driver()
{
    return library() ? library()->getDriver() : nullptr;
}
scene::ISceneManager* sceneManager()
{
    return library() ? library()->getSceneManager() : nullptr;
}
scene::ICameraSceneNode* camera()
{
    return library() ? library()->getCamera() : nullptr;
}

CLuaArgs arguments(lua_State* L)
{
    return CLuaArgs(L, EAR_PLAIN);
}

// A whole pixel from a float, NaN as 0, pinned far beyond any screen.
int32_t pixel(float value)
{
    if (!(value == value)) return 0;
    constexpr float limit = float(1 << 24);
    return int32_t(value < -limit ? -limit : value > limit ? limit : value);
}

// A program file named by argument n, relative to the calling script; empty
// (no program for that stage) for an empty name or a value that is no name.
CString programPath(const CLuaArgs& a, int n)
{
    if (!(a.isText(n) || a.isNumber(n)) || a.text(n).empty()) return CString();
    return getScriptRelativePath(a, n, library()->getPathOverrides());
}

SVector3f vector3(const CLuaArgs& a, int first)
{
    return {a.toFloat(first), a.toFloat(first + 1), a.toFloat(first + 2)};
}

// ---------------------------------------------------------------- constants and materials

// Reads the constants table at argument n: each string key with a number,
// or with a table whose first (up to four) entries are the values.
void readConstants(const CLuaArgs& a, int n)
{
    lua_State* L = a.state();
    const int table = a.index(n);
    std::vector<CLuaShaderConstants::SConstant> constants;
    lua_pushnil(L);
    while (lua_next(L, table) != 0)
    {
        // Only string keys name constants; the key is not converted, so the
        // traversal stays valid.
        if (lua_type(L, -2) == LUA_TSTRING)
        {
            CLuaShaderConstants::SConstant constant;
            constant.name = toCString(L, -2);
            if (lua_type(L, -1) == LUA_TNUMBER)
            {
                constant.values[0] = toFloat(lua_tonumber(L, -1));
                constants.push_back(constant);
            }
            else if (lua_type(L, -1) == LUA_TTABLE)
            {
                int count = 0;
                lua_pushnil(L);
                while (count < 4 && lua_next(L, -2) != 0)
                {
                    constant.values[count++] = toFloat(lua_tonumber(L, -1));
                    lua_pop(L, 1);
                }
                if (count == 4) lua_pop(L, 1); // the key the traversal stopped at
                if (count > 0)
                {
                    constant.count = count;
                    constants.push_back(constant);
                }
            }
        }
        lua_pop(L, 1);
    }
    library()->getShaderConstants()->replace(std::move(constants));
}

// The low 8 bits of the value at the top of the stack into one channel.
void setChannel(lua_State* L, uint32_t& colour, int shift)
{
    const uint32_t channel = uint32_t(toInt32(lua_tonumber(L, -1))) & 0xFF;
    colour = (colour & ~(0xFFu << shift)) | channel << shift;
}

// One key of a material table; unknown keys (and the old "texture") are
// ignored.
void applyMaterialKey(lua_State* L, const std::string& key, MaterialState& m)
{
    const bool truth = lua_toboolean(L, -1) != 0;
    if (key == "lighting")
        m.Lighting = truth;
    else if (key == "zbuffer")
        m.ZBuffer = truth;
    else if (key == "zwrite")
        m.ZWriteEnable = truth;
    else if (key == "materialType")
        m.MaterialType = toInt32(lua_tonumber(L, -1));
    else if (key == "clockwiseCull")
        m.FrontfaceClockwise = truth;
    else if (key == "mirrorU")
        m.MirrorU = truth;
    else if (key == "mirrorV")
        m.MirrorV = truth;
    else if (key == "shininess")
        m.Shininess = toFloat(lua_tonumber(L, -1));
    else if (key.size() == 2)
    {
        uint32_t* colour = key[0] == 'a'   ? &m.AmbientColor
                           : key[0] == 'd' ? &m.DiffuseColor
                           : key[0] == 's' ? &m.SpecularColor
                           : key[0] == 'e' ? &m.EmissiveColor
                                           : nullptr;
        const char* channels = "argb";
        const char* at = strchr(channels, key[1]);
        if (colour && at && key[1]) setChannel(L, *colour, 24 - 8 * int(at - channels));
    }
}

// video.setMaterial(material [, constants] [, texture1 [, texture2]]) -> nothing
// The material of the 3D drawing that follows (and of 2D drawing while
// setUseMaterialFor2d is on): a material type number (lighting and the
// depth buffer off), or a table of keys: lighting, zbuffer, zwrite,
// materialType, clockwiseCull, mirrorU, mirrorV, shininess and one channel
// of a colour each (aa, ar, ag, ab ambient; da.. diffuse; sa.. specular;
// ea.. emissive). A table of shader constants may come second; then up to
// two texture names for stages 0 and 1.
int v_setMaterial(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 1 || !driver()) return 0;
    MaterialState material;
    if (a.isNumber(1))
    {
        material.MaterialType = a.int32(1);
        material.Lighting = false;
        material.ZBuffer = false;
        material.ZWriteEnable = false;
    }
    else if (a.isTable(1))
    {
        const int table = a.index(1);
        lua_pushnil(L);
        while (lua_next(L, table) != 0)
        {
            if (lua_type(L, -2) == LUA_TSTRING)
            {
                size_t length = 0;
                const char* key = lua_tolstring(L, -2, &length);
                applyMaterialKey(L, std::string(key, length), material);
            }
            lua_pop(L, 1);
        }
    }
    else
        return 0;
    int texture = 2;
    if (a.count() >= 2 && a.isTable(2))
    {
        readConstants(a, 2);
        texture = 3;
    }
    for (int stage = 0; stage < video::MATERIAL_MAX_TEXTURES && a.given(texture + stage); ++stage)
        material.Textures[stage] = driver()->getTexture(a.text(texture + stage));
    driver()->setMaterial(material);
    return 0;
}

// video.createFileMaterial(programPath) -> materialType
// A material drawn with an ARB fragment program from the file (relative to
// the calling script), fixed-function vertices, over the solid material. -1
// when the program does not build (the reason is in the log).
int v_createFileMaterial(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 1 || !driver()) return 0;
    video::IGPUProgrammingServices* services = driver()->getShaderServices();
    const CString path = programPath(a, 1);
    const int32_t type =
        services ? services->createProgramMaterialFromFiles("0", path, nullptr, 0, 0) : -1;
    lua_pushinteger(L, type);
    return 1;
}

// video.createCgShader(vertexPath, pixelPath [, baseMaterial [, vertexEntry [, pixelEntry]]]) -> materialType
// A material drawn with Cg programs from the files (relative to the calling
// script; "" leaves a stage fixed-function), over baseMaterial (12, alpha
// blended, by default). The shader constants reach the pixel program before
// every draw. -1 when the programs do not build, and always where the Cg
// runtime is not installed: use createGlslShader there.
int v_createCgShader(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 2 || !driver()) return 0;
    video::IGPUProgrammingServices* services = driver()->getShaderServices();
    const CString vertex = programPath(a, 1), pixel = programPath(a, 2);
    const int32_t base = a.int32(3, kDefaultShaderBase);
    const CString vertexEntry = a.text(4, "main"), pixelEntry = a.text(5, "main");
    const int32_t type =
        services
            ? services->createCgMaterialFromFiles(vertex, vertexEntry, pixel, pixelEntry,
                                                  library()->getShaderConstants(), base, false, 0)
            : -1;
    lua_pushinteger(L, type);
    return 1;
}

// video.createGlslShader(vertexPath, pixelPath [, baseMaterial]) -> materialType
// A material drawn with a GLSL program from the files (relative to the
// calling script; "" leaves that stage fixed-function), over baseMaterial
// (12, alpha blended, by default). The shader constants given to setMaterial,
// renderFullscreenShader and renderSpriteStateShader reach its uniforms by
// name before every draw (an array by its bare name). -1 when the program
// does not compile or link (the compiler's log is in the log file).
int v_createGlslShader(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 2 || !driver()) return 0;
    video::IGPUProgrammingServices* services = driver()->getShaderServices();
    const CString vertex = programPath(a, 1), pixel = programPath(a, 2);
    const int32_t base = a.int32(3, kDefaultShaderBase);
    const int32_t type =
        services
            ? services->createHighLevelMaterialFromFiles(vertex, "main", "", pixel, "main", "",
                                                         library()->getShaderConstants(), base, 0)
            : -1;
    lua_pushinteger(L, type);
    return 1;
}

// video.setUseMaterialFor2d(on) -> nothing
// While on, 2D drawing uses the material of setMaterial.
int v_setUseMaterialFor2d(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() >= 1 && driver()) driver()->setUseMaterialFor2D(a.flag(1));
    return 0;
}

// video.renderFullscreenShader(materialType, constants, textureName [, texture2Name]) -> nothing
// Draws the texture (typically a render target holding the frame) over the
// whole screen through the shader material: the post-processing pass. A
// second texture comes in on stage 1. Pass anything but a table as
// constants to keep the last ones.
int v_renderFullscreenShader(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 1 || !driver()) return 0;
    const int32_t type = a.int32(1);
    if (a.count() >= 2 && a.isTable(2)) readConstants(a, 2);
    if (a.count() < 3) return 0;
    ITexture* first = driver()->getTexture(a.text(3));
    ITexture* second = a.count() >= 4 ? driver()->getTexture(a.text(4)) : nullptr;
    if (!first) return 0;
    driver()->setTexture(0, first);
    driver()->setTexture(1, second);
    const core::SDimension2i size = driver()->getRenderSize();
    const SRecti whole{0, 0, size.width, size.height};
    driver()->drawShaderRect(type, whole, nullptr, &whole, second ? 1 : 0);
    return 0;
}

// video.renderSpriteStateShader(materialType, slot, x, y [, scale [, constants]], textureName) -> nothing
// Draws the sprite state's first frame as a pass through the shader
// material: the named texture (a captured frame) is sampled under the
// sprite's screen rectangle on stage 0, the sprite's own pixels come in on
// stage 1. The rectangle is clipped to the screen.
int v_renderSpriteStateShader(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 4 || !driver() || !library()) return 0;
    const int32_t type = a.int32(1);
    int textureArg = 6;
    if (a.count() > 5 && a.isTable(6))
    {
        readConstants(a, 6);
        textureArg = 7;
    }
    ITexture* named = driver()->getTexture(a.text(textureArg));
    video::ISpriteAnimationState* s = a.isNumber(2) ? library()->getState(a.integer(2)) : nullptr;
    if (!named || !s || !s->getTexture(0)) return 0;
    const float x = a.toFloat(3), y = a.toFloat(4), scale = a.toFloat(5, 1.f);
    // A zero or negative scale has no rectangle to draw.
    if (!(scale > 0.f) || !std::isfinite(scale)) return 0;
    const video::SPosition2i offset = s->getOffset(0);
    const core::SDimension2i size = s->getSize(0);
    SRecti source = s->getSourceRect(0);
    const float left = float(offset.x) * scale + x, top = float(offset.y) * scale + y;
    SRecti dest{pixel(left), pixel(top), pixel(float(size.width) * scale + left),
                pixel(float(size.height) * scale + top)};
    const core::SDimension2i render = driver()->getRenderSize();
    if (dest.right <= 0 || dest.bottom <= 0 || dest.left >= render.width ||
        dest.top >= render.height)
        return 0;
    if (dest.left < 0)
    {
        source.left -= pixel(float(dest.left) / scale);
        dest.left = 0;
    }
    if (dest.right > render.width)
    {
        source.right -= pixel(float(dest.right - render.width) / scale);
        dest.right = render.width;
    }
    if (dest.top < 0)
    {
        source.top -= pixel(float(dest.top) / scale);
        dest.top = 0;
    }
    if (dest.bottom > render.height)
    {
        source.bottom -= pixel(float(dest.bottom - render.height) / scale);
        dest.bottom = render.height;
    }
    driver()->setTexture(0, named);
    driver()->setTexture(1, s->getTexture(0));
    driver()->drawShaderRect(type, dest, nullptr, &source, 1);
    return 0;
}

// video.setFileMaterial(...) -> nothing
// video.setScreenBufferMaterial(...) -> nothing
// video.setScreenBufferMaterial_2(...) -> nothing
// video.enablePostProcessing(...) -> nothing
// video.captureScreenBuffer(...) -> nothing
// video.renderFullscreenPP(...) -> nothing
// video.renderSpriteStatePP(...) -> nothing
// Deprecated: these do nothing (the log says so once each). Draw into a
// render target and use renderFullscreenShader or renderSpriteStateShader.
int v_deprecated(lua_State* L)
{
    static std::set<std::string> reported;
    const char* name = CLuaArgs::functionName(L);
    if (reported.insert(name).second)
        core::zuLog(core::ELL_WARNING, "video.%s is deprecated and does nothing", name);
    return 0;
}

// ---------------------------------------------------------------- 3D drawing

// video.render3dScene() -> nothing
// Draws every mesh node of the scene, lit by its lights, as the camera sees
// it; afterwards the world transform is the identity again.
int v_render3dScene(lua_State*)
{
    if (!driver()) return 0;
    if (scene::ISceneManager* scene = sceneManager()) scene->drawAll();
    driver()->setTransform(video::ETS_WORLD, core::CMatrix4());
    return 0;
}

// video.render3dTriangle(x1, y1, z1, x2, y2, z2, x3, y3, z3) -> nothing
// The outline of a triangle in the 3D scene, in green.
int v_render3dTriangle(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 9 || !driver()) return 0;
    driver()->drawTriangle3D({vector3(a, 1), vector3(a, 4), vector3(a, 7)}, 0xFF00FF00);
    return 0;
}

// video.render3dLine(x1, y1, z1, x2, y2, z2 [, a, r, g, b]) -> nothing
// A line in the 3D scene, white unless all four channels are given.
int v_render3dLine(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 6 || !driver()) return 0;
    driver()->drawLine3D(vector3(a, 1), vector3(a, 4), a.count() >= 10 ? a.argb(7) : 0xFFFFFFFF);
    return 0;
}

// Where a triangle list's tables are, in argument positions.
struct SListLayout
{
    int normals; // first of nxs, nys, nzs; 0 when the list has none
    int us;      // us, then vs
    int colours; // as, rs, gs, bs
};

// Reads `count` numbers of the table at argument n into the vertices
// (entry k into vertex k - 1); nil entries are left alone.
template <class Apply> void readVertexTable(const CLuaArgs& a, int n, int32_t count, Apply apply)
{
    if (!a.isTable(n)) return;
    lua_State* L = a.state();
    const int table = a.index(n);
    for (int32_t k = 1; k <= count; ++k)
    {
        lua_rawgeti(L, table, k);
        if (!lua_isnil(L, -1)) apply(k - 1, lua_tonumber(L, -1));
        lua_pop(L, 1);
    }
}

// The alpha, red, green and blue tables from argument `first` on, each
// replacing one channel of the vertices' colours.
void readColourTables(const CLuaArgs& a, int first, std::vector<video::S3DVertex>& v)
{
    for (int c = 0; c < 4; ++c)
    {
        const int shift = 24 - 8 * c;
        readVertexTable(a, first + c, int32_t(v.size()),
                        [&](int32_t i, lua_Number n)
                        {
                            uint32_t& colour = v[size_t(i)].color;
                            colour = (colour & ~(0xFFu << shift)) | (uint32_t(toInt32(n)) & 0xFF)
                                                                        << shift;
                        });
    }
}

// The lists of renderTriangleList and renderTriangleListWithNormals: counts
// checked against the tables given, triangles naming a vertex that is not
// there left out.
void drawTriangleList(const CLuaArgs& a, const SListLayout& layout, bool resetWorld)
{
    const int last = layout.us + 1;
    for (int n = 3; n <= last; ++n)
        if (!a.isTable(n)) return;
    const int64_t vertexCount = a.integer(1), triangleCount = a.integer(2);
    if (vertexCount <= 0 || triangleCount <= 0) return;
    if (vertexCount > kMaxListVertices || triangleCount > kMaxListTriangles)
    {
        core::zuLog(core::ELL_WARNING,
                    "Triangle list refused: %lld vertices and %lld triangles, at most %lld and "
                    "%lld",
                    static_cast<long long>(vertexCount), static_cast<long long>(triangleCount),
                    static_cast<long long>(kMaxListVertices),
                    static_cast<long long>(kMaxListTriangles));
        return;
    }
    lua_State* L = a.state();
    // Triangles the index table does not hold are not drawn.
    const int64_t held = int64_t(lua_objlen(L, a.index(3))) / 3;
    const int32_t triangles = int32_t(triangleCount < held ? triangleCount : held);
    const int32_t vertices = int32_t(vertexCount);
    if (triangles <= 0) return;

    // Zero positions, normals and coordinates, white.
    std::vector<video::S3DVertex> v(static_cast<size_t>(vertices));
    std::vector<uint16_t> raw(size_t(triangles) * 3, 0);
    readVertexTable(a, 3, triangles * 3,
                    [&](int32_t i, lua_Number n) { raw[size_t(i)] = uint16_t(toInteger(n)); });
    readVertexTable(a, 4, vertices,
                    [&](int32_t i, lua_Number n)
                    {
                        v[size_t(i)].x = toFloat(n);
                        v[size_t(i)].color = 0xFFFFFFFF;
                    });
    readVertexTable(a, 5, vertices, [&](int32_t i, lua_Number n) { v[size_t(i)].y = toFloat(n); });
    readVertexTable(a, 6, vertices, [&](int32_t i, lua_Number n) { v[size_t(i)].z = toFloat(n); });
    if (layout.normals)
    {
        readVertexTable(a, layout.normals, vertices,
                        [&](int32_t i, lua_Number n) { v[size_t(i)].nx = toFloat(n); });
        readVertexTable(a, layout.normals + 1, vertices,
                        [&](int32_t i, lua_Number n) { v[size_t(i)].ny = toFloat(n); });
        readVertexTable(a, layout.normals + 2, vertices,
                        [&](int32_t i, lua_Number n) { v[size_t(i)].nz = toFloat(n); });
    }
    readVertexTable(a, layout.us, vertices,
                    [&](int32_t i, lua_Number n) { v[size_t(i)].u = toFloat(n); });
    readVertexTable(a, layout.us + 1, vertices,
                    [&](int32_t i, lua_Number n) { v[size_t(i)].v = toFloat(n); });
    readColourTables(a, layout.colours, v);

    std::vector<uint16_t> indices;
    indices.reserve(raw.size());
    for (size_t t = 0; t < raw.size(); t += 3)
        if (raw[t] < vertices && raw[t + 1] < vertices && raw[t + 2] < vertices)
            indices.insert(indices.end(), raw.begin() + long(t), raw.begin() + long(t + 3));
    if (indices.empty()) return;
    if (resetWorld) driver()->setTransform(video::ETS_WORLD, core::CMatrix4());
    driver()->drawTriangleList(v.data(), vertices, indices.data(), int32_t(indices.size() / 3));
}

// video.renderTriangleList(vertexCount, triangleCount, indices, xs, ys, zs, us, vs [, as [, rs [, gs [, bs]]]]) -> nothing
// Indexed triangles in the 3D scene with the current material, in world
// coordinates. Tables count from 1; indices name vertices from 0. Vertices
// are white unless the colour tables change a channel. Triangles naming a
// vertex past vertexCount are left out; at most 65535 vertices and 21845
// triangles.
int v_renderTriangleList(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 8 || !driver()) return 0;
    drawTriangleList(a, {0, 7, 9}, true);
    return 0;
}

// video.renderTriangleListWithNormals(vertexCount, triangleCount, indices, xs, ys, zs, nxs, nys, nzs, us, vs [, as [, rs [, gs [, bs]]]]) -> nothing
// renderTriangleList with a normal per vertex (for lighting), drawn with the
// current world transform.
int v_renderTriangleListWithNormals(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 11 || !driver()) return 0;
    drawTriangleList(a, {7, 10, 12}, false);
    return 0;
}

// ---------------------------------------------------------------- script meshes

int meshCollect(lua_State* L)
{
    if (video::Mesh** data = static_cast<video::Mesh**>(lua_touserdata(L, 1)))
        zu::dropAndClear(*data);
    return 0;
}

// The mesh of createMesh's arguments on the stack, or false with nothing pushed.
bool makeMesh(const CLuaArgs& a)
{
    lua_State* L = a.state();
    if (a.count() < 3 || !a.isTable(1) || !a.isTable(2) || !a.isTable(3) || !driver()) return false;
    const int64_t vertexCount = int64_t(lua_objlen(L, a.index(2)));
    const int64_t indexCount = int64_t(lua_objlen(L, a.index(1))) / 3 * 3;
    if (vertexCount <= 0 || vertexCount > kMaxListVertices || indexCount <= 0 ||
        indexCount > kMaxListVertices)
        return false;
    const int32_t vertices = int32_t(vertexCount);
    std::vector<video::S3DVertex> v(static_cast<size_t>(vertices));
    readVertexTable(a, 2, vertices, [&](int32_t i, lua_Number n) { v[size_t(i)].x = toFloat(n); });
    readVertexTable(a, 3, vertices, [&](int32_t i, lua_Number n) { v[size_t(i)].y = toFloat(n); });
    readVertexTable(a, 4, vertices, [&](int32_t i, lua_Number n) { v[size_t(i)].u = toFloat(n); });
    readVertexTable(a, 5, vertices, [&](int32_t i, lua_Number n) { v[size_t(i)].v = toFloat(n); });
    readColourTables(a, 6, v);
    std::vector<int64_t> raw(size_t(indexCount), 0);
    readVertexTable(a, 1, int32_t(indexCount),
                    [&](int32_t i, lua_Number n) { raw[size_t(i)] = toInteger(n); });
    video::Mesh* mesh =
        driver()->createMesh(video::PT_TRIANGLE_LIST, video::FORMAT_2D_BATCH, uint16_t(vertices));
    if (!mesh) return false;
    for (const video::S3DVertex& vertex : v)
        mesh->addVertex(vertex);
    for (size_t t = 0; t < raw.size(); t += 3)
        if (raw[t] >= 0 && raw[t] < vertices && raw[t + 1] >= 0 && raw[t + 1] < vertices &&
            raw[t + 2] >= 0 && raw[t + 2] < vertices)
            mesh->addTriangle(uint16_t(raw[t]), uint16_t(raw[t + 1]), uint16_t(raw[t + 2]));
    if (mesh->getIndexCount() == 0)
    {
        mesh->drop();
        return false;
    }
    auto** data = static_cast<video::Mesh**>(lua_newuserdata(L, sizeof(video::Mesh*)));
    *data = mesh;
    luaL_getmetatable(L, kMeshMetatable);
    lua_setmetatable(L, -2);
    return true;
}

// video.createMesh(indices, xs, ys [, us, vs [, as, rs, gs, bs]]) -> mesh | nil
// A mesh of triangles for renderMesh: vertex positions in pixels (one per
// entry of xs), indices from 0, three per triangle, texture coordinates from
// 0 to 1, colour channels from 0 to 255 (white by default). Triangles naming
// a vertex that is not there are left out; nil when none is left.
int v_createMesh(lua_State* L)
{
    if (!makeMesh(arguments(L))) lua_pushnil(L);
    return 1;
}

// ---------------------------------------------------------------- camera

// video.setCameraPosition(x, y, z) -> nothing
int v_setCameraPosition(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() >= 3 && camera()) camera()->setPosition(vector3(a, 1));
    return 0;
}

// video.setCameraViewPosition(x, y, z) -> nothing
// The point the camera looks at.
int v_setCameraViewPosition(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() >= 3 && camera()) camera()->setTarget(vector3(a, 1));
    return 0;
}

// video.setCameraUpVector(x, y, z) -> nothing
// The direction that is up on the screen; (0, 1, 0) by default.
int v_setCameraUpVector(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() >= 3 && camera()) camera()->setUpVector(vector3(a, 1));
    return 0;
}

// video.setCameraFOV(fov) -> nothing
// The vertical field of view in radians; pi / 2.5 by default.
int v_setCameraFOV(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() >= 1 && camera()) camera()->setFOV(a.toFloat(1));
    return 0;
}

// video.setCameraNearClip([near]) -> nothing
// Nothing nearer to the camera is drawn; 1.0 without an argument.
int v_setCameraNearClip(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (camera()) camera()->setNearValue(a.toFloat(1, 1.f));
    return 0;
}

// video.setCameraFarClip([far]) -> nothing
// Nothing farther from the camera is drawn; 3000.0 without an argument.
int v_setCameraFarClip(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (camera()) camera()->setFarValue(a.toFloat(1, 3000.f));
    return 0;
}

// video.getCameraRay(x, y) -> sx, sy, sz, ex, ey, ez
// The line from the camera through the screen point (x, y) to the far
// plane, for picking things in the scene with the mouse.
int v_getCameraRay(lua_State* L)
{
    CLuaArgs a = arguments(L);
    scene::ISceneManager* scene = sceneManager();
    SVector3f start, end;
    if (a.count() < 2 || !scene ||
        !scene->getRayFromScreenCoordinates(a.toFloat(1), a.toFloat(2), start, end))
        return 0;
    for (float value : {start.x, start.y, start.z, end.x, end.y, end.z})
        lua_pushnumber(L, value);
    return 6;
}

// ---------------------------------------------------------------- scene nodes

// video.createSceneNode(meshPath, texturePath [, x, y, z [, rx, ry, rz [, sx, sy, sz]]]) -> node
// Places a model (OBJ, 3DS, X, glTF..., relative to the calling script) in
// the scene with the texture (relative too), at x, y, z, turned by rx, ry,
// rz degrees and scaled. -1 when the model or the texture cannot be loaded.
int v_createSceneNode(lua_State* L)
{
    CLuaArgs a = arguments(L);
    scene::ISceneManager* scene = sceneManager();
    if (a.count() < 2 || !scene || !driver())
    {
        lua_pushinteger(L, -1);
        return 1;
    }
    const CString meshPath = programPath(a, 1), texturePath = programPath(a, 2);
    const SVector3f position = a.count() > 4 ? vector3(a, 3) : SVector3f{};
    const SVector3f rotation = a.count() > 7 ? vector3(a, 6) : SVector3f{};
    const SVector3f scale = a.count() > 10 ? vector3(a, 9) : SVector3f{1.f, 1.f, 1.f};
    scene::IMesh* mesh = meshPath.empty() ? nullptr : scene->getMesh(meshPath);
    ITexture* texture = texturePath.empty() ? nullptr : driver()->getTexture(texturePath);
    scene::ISceneNode* node =
        mesh && texture ? scene->addMeshSceneNode(mesh, position, rotation, scale, -1) : nullptr;
    if (!node)
    {
        lua_pushinteger(L, -1);
        return 1;
    }
    node->setMaterialTexture(0, texture);
    for (int32_t i = 0; i < node->getMaterialCount(); ++i)
    {
        node->getMaterial(i).MaterialType = video::EMT_SOLID;
        node->getMaterial(i).SmoothShading = false;
    }
    lua_pushinteger(L, library()->addSceneNode(node));
    return 1;
}

// video.createLightSceneNode(x, y, z [, radius [, a, r, g, b]]) -> node
// A light at x, y, z, white unless a, r, g, b are all given; its light
// fades over about radius units (1 by default). A radius of 0 or less makes
// a light from far away shining in the direction x, y, z.
int v_createLightSceneNode(lua_State* L)
{
    CLuaArgs a = arguments(L);
    scene::ISceneManager* scene = sceneManager();
    if (a.count() < 3 || !scene)
    {
        lua_pushinteger(L, -1);
        return 1;
    }
    SVector3f position = vector3(a, 1);
    float radius = a.toFloat(4, 1.f);
    const bool directional = !(radius > 0.f);
    if (directional)
    {
        radius = 1.f;
        const float length =
            std::sqrt(position.x * position.x + position.y * position.y + position.z * position.z);
        if (length > 0.f)
            position = {position.x / length, position.y / length, position.z / length};
    }
    const uint32_t c = a.count() >= 8 ? a.argb(5) : 0xFFFFFFFF;
    const float k = 0.003921569f;
    const float colour[4] = {float((c >> 16) & 0xFF) * k, float((c >> 8) & 0xFF) * k,
                             float(c & 0xFF) * k, float(c >> 24) * k};
    scene::ILightSceneNode* light = scene->addLightSceneNode(position, colour, radius, -1);
    if (!light)
    {
        lua_pushinteger(L, -1);
        return 1;
    }
    light->getLightData().directional = directional;
    lua_pushinteger(L, library()->addSceneNode(light));
    return 1;
}

scene::ISceneNode* node(const CLuaArgs& a)
{
    return a.count() >= 4 && library() ? library()->getSceneNode(a.integer(1)) : nullptr;
}

// video.setSceneNodePosition(node, x, y, z) -> nothing
int v_setSceneNodePosition(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (scene::ISceneNode* n = node(a)) n->setPosition(vector3(a, 2));
    return 0;
}

// video.setSceneNodeRotation(node, x, y, z) -> nothing
// Degrees about the x, then the y, then the z axis.
int v_setSceneNodeRotation(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (scene::ISceneNode* n = node(a)) n->setRotation(vector3(a, 2));
    return 0;
}

// video.setSceneNodeScale(node, x, y, z) -> nothing
int v_setSceneNodeScale(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (scene::ISceneNode* n = node(a)) n->setScale(vector3(a, 2));
    return 0;
}

const luaL_Reg kFunctions3D[] = {
    {"setMaterial", v_setMaterial},
    {"createFileMaterial", v_createFileMaterial},
    {"createCgShader", v_createCgShader},
    {"createGlslShader", v_createGlslShader},
    {"setUseMaterialFor2d", v_setUseMaterialFor2d},
    {"renderFullscreenShader", v_renderFullscreenShader},
    {"renderSpriteStateShader", v_renderSpriteStateShader},
    {"setFileMaterial", v_deprecated},
    {"setScreenBufferMaterial", v_deprecated},
    {"setScreenBufferMaterial_2", v_deprecated},
    {"enablePostProcessing", v_deprecated},
    {"captureScreenBuffer", v_deprecated},
    {"renderFullscreenPP", v_deprecated},
    {"renderSpriteStatePP", v_deprecated},
    {"render3dScene", v_render3dScene},
    {"render3dTriangle", v_render3dTriangle},
    {"render3dLine", v_render3dLine},
    {"renderTriangleList", v_renderTriangleList},
    {"renderTriangleListWithNormals", v_renderTriangleListWithNormals},
    {"createMesh", v_createMesh},
    {"setCameraPosition", v_setCameraPosition},
    {"setCameraViewPosition", v_setCameraViewPosition},
    {"setCameraUpVector", v_setCameraUpVector},
    {"setCameraFOV", v_setCameraFOV},
    {"setCameraNearClip", v_setCameraNearClip},
    {"setCameraFarClip", v_setCameraFarClip},
    {"getCameraRay", v_getCameraRay},
    {"createSceneNode", v_createSceneNode},
    {"createLightSceneNode", v_createLightSceneNode},
    {"setSceneNodePosition", v_setSceneNodePosition},
    {"setSceneNodeRotation", v_setSceneNodeRotation},
    {"setSceneNodeScale", v_setSceneNodeScale},
    {nullptr, nullptr},
};

} // namespace

void CLuaVideoLibrary::init3D(IKelvoDevice* device)
{
    m_shaderConstants = new CLuaShaderConstants();
    setSceneManager(device ? device->getSceneManager() : nullptr);
}

void CLuaVideoLibrary::release3D()
{
    for (scene::ISceneNode* n : m_sceneNodes)
        n->drop();
    m_sceneNodes.clear();
    zu::dropAndClear(m_camera);
    // Materials of this script may outlive it; they find no constants then.
    m_shaderConstants->clear();
    zu::dropAndClear(m_shaderConstants);
}

void CLuaVideoLibrary::install3D(lua_State* L)
{
    installTable(L, "video", kFunctions3D);
    luaL_newmetatable(L, kMeshMetatable);
    lua_pushcfunction(L, meshCollect);
    lua_setfield(L, -2, "__gc");
    lua_pop(L, 1);
}

void CLuaVideoLibrary::setSceneManager(scene::ISceneManager* scene)
{
    zu::dropAndClear(m_camera);
    m_scene = scene;
    if (!m_scene) return;
    m_camera = m_scene->addCameraSceneNode({0.f, 0.f, 0.f}, {0.f, 0.f, 100.f}, -1);
    m_camera->grab();
    m_scene->setActiveCamera(m_camera);
}

int32_t CLuaVideoLibrary::addSceneNode(scene::ISceneNode* node)
{
    // The library's own reference: a handle never outlives its node.
    node->grab();
    m_sceneNodes.push_back(node);
    return int32_t(m_sceneNodes.size()) - 1;
}

scene::ISceneNode* CLuaVideoLibrary::getSceneNode(int64_t index) const
{
    if (index < 0 || index >= int64_t(m_sceneNodes.size())) return nullptr;
    return m_sceneNodes[size_t(index)];
}

} // namespace zu::lua

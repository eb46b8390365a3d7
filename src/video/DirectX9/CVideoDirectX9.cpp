#include "video/DirectX9/CVideoDirectX9.h"

#include "core/Output.h"
#include "video/DirectX9/CD3D9CGMaterialRenderer.h"
#include "video/DirectX9/CD3D9HLSLMaterialRenderer.h"
#include "video/DirectX9/CD3D9MaterialRenderer.h"
#include "video/DirectX9/CDirectX9Mesh.h"
#include "video/DirectX9/CDirectX9Texture.h"
#include "video/ITexture.h"
#include "video/null/CCgRuntime.h"

#include <cfloat>
#include <cstring>
#include <string>

using zu::core::CMatrix4;
using zu::core::ELL_ERROR;
using zu::core::ELL_INFORMATION;
using zu::core::ELL_WARNING;
using zu::core::SDimension2i;
using zu::core::zuLog;
using zu::core::zuLogText;
using namespace zu::video;

namespace kelvo::video
{
namespace
{

using CreateFunction = IDirect3D9*(WINAPI*)(UINT);
using FilterFunction = HRESULT(WINAPI*)(IDirect3DBaseTexture9*, const PALETTEENTRY*, UINT, DWORD);
// D3DX_DEFAULT: the library picks the filter.
constexpr DWORD kDefaultFilter = 0xFFFFFFFF;

D3DMATRIX toD3D(const CMatrix4& matrix)
{
    D3DMATRIX out;
    memcpy(&out, matrix.m, sizeof out);
    return out;
}

D3DCOLORVALUE colorValue(uint32_t argb)
{
    return {float((argb >> 16) & 0xFF) / 255.f, float((argb >> 8) & 0xFF) / 255.f,
            float(argb & 0xFF) / 255.f, float(argb >> 24) / 255.f};
}

D3DCOLORVALUE colorValue(const float c[4])
{
    return {c[0], c[1], c[2], c[3]};
}

DWORD floatBits(float value)
{
    DWORD bits;
    memcpy(&bits, &value, sizeof bits);
    return bits;
}

// 2D geometry is moved up and left by a little less than half a pixel
// (1 / (2 x 1.07563) of one): enough to put pixel centres where the other
// driver has them, not so much that a line on a pixel edge changes rows.
constexpr float kPixelShift = 1.07563f;

CVideoDirectX9::Direct3DHook g_direct3DHook = nullptr;

CDirectX9Texture* asDirectX9(ITexture* texture)
{
    if (!texture || texture->getDriverType() != zu::EDT_DIRECT3D9) return nullptr;
    return static_cast<CDirectX9Texture*>(texture);
}

struct SDeclarationElement
{
    BYTE type;
    BYTE usage;
    BYTE usageIndex;
};

bool elementFor(EVertexFeature feature, SDeclarationElement& out)
{
    switch (feature)
    {
    case FT_POSITION3D:
        out = {D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_POSITION, 0};
        return true;
    case FT_POSITION2D:
        out = {D3DDECLTYPE_FLOAT2, D3DDECLUSAGE_POSITION, 0};
        return true;
    case FT_NORMAL:
        out = {D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_NORMAL, 0};
        return true;
    case FT_TEXCOORD0:
        out = {D3DDECLTYPE_FLOAT2, D3DDECLUSAGE_TEXCOORD, 0};
        return true;
    case FT_TEXCOORD1:
        out = {D3DDECLTYPE_FLOAT2, D3DDECLUSAGE_TEXCOORD, 1};
        return true;
    case FT_COLOR:
        out = {D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 0};
        return true;
    default:
        return false;
    }
}

} // namespace

CVideoDirectX9::CVideoDirectX9(zu::io::IFileSystem* fileSystem, HWND window,
                               SDimension2i screenSize, bool fullscreen, bool stencil, bool vsync)
    : CVideoNull(fileSystem, screenSize), m_window(window), m_vsync(vsync), m_stencil(stencil)
{
    m_name = "Direct3D9";
    m_fullscreen = fullscreen;
    zuLogText("DirectX9 Renderer", ELL_INFORMATION);
    const float sphere[16] = {0.5f, 0, 0, 0, 0, -0.5f, 0, 0, 0, 0, 1, 0, 0.5f, 0.5f, 0, 1};
    memcpy(&m_sphereMap, sphere, sizeof m_sphereMap);
    memcpy(&m_identity, CMatrix4().m, sizeof m_identity);

    m_library = LoadLibraryA("d3d9.dll");
    if (!m_library)
    {
        zuLogText("Error, could not load d3d9.dll.", ELL_ERROR);
        return;
    }
    auto create = reinterpret_cast<CreateFunction>(
        reinterpret_cast<void*>(GetProcAddress(m_library, "Direct3DCreate9")));
    if (!create)
    {
        zuLogText("Error, could not get proc adress of Direct3DCreate9.", ELL_ERROR);
        return;
    }
    m_d3d = create(D3D_SDK_VERSION);
    if (!m_d3d)
    {
        zuLogText("Error initializing D3D.", ELL_ERROR);
        return;
    }
    if (g_direct3DHook) m_d3d = g_direct3DHook(m_d3d);
    D3DADAPTER_IDENTIFIER9 identifier;
    if (SUCCEEDED(m_d3d->GetAdapterIdentifier(D3DADAPTER_DEFAULT, 0, &identifier)))
    {
        const LARGE_INTEGER version = identifier.DriverVersion;
        zuLog(ELL_INFORMATION, "%s %s %d.%d.%d.%d", identifier.Description, identifier.Driver,
              int(HIWORD(version.HighPart)), int(LOWORD(version.HighPart)),
              int(HIWORD(version.LowPart)), int(LOWORD(version.LowPart)));
    }
    if (!fillPresentParameters(fullscreen, screenSize) || !createDevice(window)) return;

    m_device->GetDeviceCaps(&m_caps);
    zu::core::zuPrint("Direct3D9 Max Primitive Count: %d\n", int(m_caps.MaxPrimitiveCount));
    const DWORD needed = D3DSTENCILCAPS_KEEP | D3DSTENCILCAPS_INCR | D3DSTENCILCAPS_DECR;
    if (m_stencil && (m_caps.StencilCaps & needed) != needed)
    {
        zuLogText("Device not able to use stencil buffer, disabling stencil buffer.", ELL_WARNING);
        m_stencil = false;
    }
    m_nativeHandles.handles[0] = m_d3d;
    m_nativeHandles.handles[1] = m_device;
    m_nativeHandles.handles[2] = window;
    setInitialStates();
    registerRenderers();
    m_resetRenderStates = true;
    prepare3DStates();
    setFog(m_fogColor, m_fogLinear, m_fogStart, m_fogEnd, m_fogDensity, m_pixelFog, m_rangeFog);
    // Without a Cg runtime (reported once by the loader) Cg materials are
    // refused later.
    handDeviceToCg(CCgRuntime::get());
}

CVideoDirectX9* CVideoDirectX9::create(zu::io::IFileSystem* fileSystem, HWND window,
                                       SDimension2i screenSize, bool fullscreen, bool stencil,
                                       bool vsync)
{
    auto* driver = new CVideoDirectX9(fileSystem, window, screenSize, fullscreen, stencil, vsync);
    if (driver->isValid()) return driver;
    driver->drop();
    zuLogText("Could not create a Direct3D 9 device on the window. The graphics driver may not "
              "support Direct3D 9.",
              ELL_ERROR);
    return nullptr;
}

void CVideoDirectX9::setDirect3DHook(Direct3DHook hook)
{
    g_direct3DHook = hook;
}

bool CVideoDirectX9::handDeviceToCg(const SCgFunctions* cg)
{
    if (!m_device || !cg || !cg->hasDirect3D9()) return false;
    if (m_cgRuntime == cg) return true;
    if (FAILED(cg->d3d9SetDevice(m_device)))
    {
        zuLogText("Error setting D3D device in CG context", ELL_WARNING);
        return false;
    }
    m_cgRuntime = cg;
    return true;
}

CVideoDirectX9::~CVideoDirectX9()
{
    if (m_device)
    {
        releaseBatch();
        removeAllResources();
        removeAllMaterialRenderers();
    }
    if (m_cgRuntime) m_cgRuntime->d3d9SetDevice(nullptr);
    m_cgRuntime = nullptr;
    releaseDeclarations();
    if (m_backBuffer) m_backBuffer->Release();
    if (m_device) m_device->Release();
    if (m_d3d) m_d3d->Release();
    m_device = nullptr;
    m_d3d = nullptr;
    // The library stays loaded: the runtime may keep threads of its own.
}

void CVideoDirectX9::replaceDevice(IDirect3DDevice9* device)
{
    if (!device) return;
    if (m_device) m_device->Release();
    m_device = device;
    m_nativeHandles.handles[1] = device;
    for (int32_t i = 0; i < getRendererCount(); ++i)
    {
        IMaterialRenderer* renderer = getRenderer(i);
        if (auto* fixed = dynamic_cast<CD3D9MaterialRenderer*>(renderer))
            fixed->setDevice(device);
        else if (auto* shader = dynamic_cast<CD3D9ShaderMaterialRenderer*>(renderer))
            shader->setDevice(device);
        else if (auto* cg = dynamic_cast<CD3D9CGMaterialRenderer*>(renderer))
            cg->setDevice(device);
    }
    if (m_cgRuntime)
    {
        const SCgFunctions* cg = m_cgRuntime;
        m_cgRuntime = nullptr;
        handDeviceToCg(cg);
    }
}

bool CVideoDirectX9::fillPresentParameters(bool fullscreen, SDimension2i size)
{
    D3DPRESENT_PARAMETERS& p = m_present;
    p = {};
    p.BackBufferWidth = UINT(size.width);
    p.BackBufferHeight = UINT(size.height);
    p.BackBufferFormat = D3DFMT_X8R8G8B8;
    p.BackBufferCount = 1;
    p.MultiSampleType = D3DMULTISAMPLE_NONE;
    p.SwapEffect = D3DSWAPEFFECT_DISCARD;
    p.hDeviceWindow = nullptr;
    p.Windowed = fullscreen ? FALSE : TRUE;
    p.EnableAutoDepthStencil = TRUE;
    p.Flags = 0;
    p.FullScreen_RefreshRateInHz = 0;
    p.PresentationInterval = m_vsync ? D3DPRESENT_INTERVAL_ONE : D3DPRESENT_INTERVAL_IMMEDIATE;
    if (!fullscreen)
    {
        D3DDISPLAYMODE mode;
        if (FAILED(m_d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode)))
        {
            zuLogText("Error: Could not get Adapter Display mode.", ELL_ERROR);
            return false;
        }
    }
    p.AutoDepthStencilFormat = D3DFMT_D16;
    if (m_stencil)
    {
        if (FAILED(m_d3d->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8,
                                            D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, D3DFMT_D24S8)))
        {
            zuLogText("Device does not support stencilbuffer, disabling stencil buffer.",
                      ELL_WARNING);
            m_stencil = false;
        }
        else if (FAILED(m_d3d->CheckDepthStencilMatch(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL,
                                                      D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8,
                                                      D3DFMT_D24S8)))
        {
            zuLogText("Depth-stencil format is not compatible with display format, disabling "
                      "stencil buffer.",
                      ELL_WARNING);
            m_stencil = false;
        }
        else
            p.AutoDepthStencilFormat = D3DFMT_D24S8;
    }
    return true;
}

bool CVideoDirectX9::createDevice(HWND window)
{
    const DWORD processing[] = {D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                D3DCREATE_MIXED_VERTEXPROCESSING,
                                D3DCREATE_SOFTWARE_VERTEXPROCESSING};
    for (DWORD flags : processing)
        if (SUCCEEDED(m_d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                          flags | D3DCREATE_FPU_PRESERVE, &m_present, &m_device)))
            return true;
    m_device = nullptr;
    zuLogText("Was not able to create Direct3D9 device.", ELL_ERROR);
    return false;
}

void CVideoDirectX9::setInitialStates()
{
    for (ITexture*& texture : m_currentTextures)
        texture = nullptr;
    m_device->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    m_device->SetRenderState(D3DRS_AMBIENT, 0);
    // Scaled meshes keep unit normals, so scaling does not dim their lighting.
    m_device->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
    m_device->SetRenderState(D3DRS_COLORVERTEX, FALSE);
    m_device->SetRenderState(D3DRS_SPECULARMATERIALSOURCE, D3DMCS_MATERIAL);
    m_device->SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1);
    m_device->SetRenderState(D3DRS_AMBIENTMATERIALSOURCE, D3DMCS_MATERIAL);
    m_device->SetRenderState(D3DRS_EMISSIVEMATERIALSOURCE, D3DMCS_MATERIAL);
    m_renderMode = 0;
}

void CVideoDirectX9::registerRenderers()
{
    using Kind = CD3D9MaterialRenderer;
    removeAllMaterialRenderers();
    const Kind::EKind order[] = {Kind::SOLID,
                                 Kind::SOLID_2_LAYER,
                                 Kind::LIGHTMAP,
                                 Kind::SPHERE_MAP,
                                 Kind::REFLECTION_2_LAYER,
                                 Kind::TRANSPARENT_ADD_COLOR,
                                 Kind::TRANSPARENT_ALPHA_CHANNEL,
                                 Kind::TRANSPARENT_VERTEX_ALPHA,
                                 Kind::TRANSPARENT_REFLECTION_2_LAYER};
    for (Kind::EKind kind : order)
    {
        auto* renderer = new CD3D9MaterialRenderer(m_device, this, kind);
        const int copies = kind == Kind::LIGHTMAP ? 7 : 1;
        for (int i = 0; i < copies; ++i)
            addRenderer(renderer);
        renderer->drop();
    }
}

// ---------------------------------------------------------------- frame

bool CVideoDirectX9::beginScene(bool backBuffer, bool zBuffer, uint32_t color, bool clear)
{
    CVideoNull::beginScene(backBuffer, zBuffer, color, clear);
    if (!m_device) return false;
    // A lost device draws nothing until a reset works: no scene is begun
    // that endScene would not end.
    if (m_deviceLost && !resetDevice()) return false;
    if (clear)
    {
        DWORD flags = 0;
        if (backBuffer) flags |= D3DCLEAR_TARGET;
        if (zBuffer) flags |= D3DCLEAR_ZBUFFER;
        if (m_stencil) flags |= D3DCLEAR_STENCIL;
        if (flags && FAILED(m_device->Clear(0, nullptr, flags, color, 1.f, 0)))
            zuLogText("DirectX9 clear failed.", ELL_WARNING);
    }
    const HRESULT hr = m_device->BeginScene();
    if (FAILED(hr))
    {
        if (hr == D3DERR_DEVICELOST) m_deviceLost = true;
        zuLogText("DirectX9 begin scene failed.", ELL_WARNING);
        return false;
    }
    return true;
}

void CVideoDirectX9::clearScreen(bool zBuffer, uint32_t color)
{
    if (!m_device) return;
    // What was drawn before the clear must not land on top of it.
    flush2D();
    DWORD flags = D3DCLEAR_TARGET;
    if (zBuffer) flags |= D3DCLEAR_ZBUFFER;
    if (m_stencil) flags |= D3DCLEAR_STENCIL;
    m_device->Clear(0, nullptr, flags, color, 1.f, 0);
}

bool CVideoDirectX9::endScene()
{
    if (m_deviceLost || !m_device) return false;
    CVideoNull::endScene();
    // A target still active is shown over the whole back buffer, and stays
    // the target of the next frame.
    CDirectX9Texture* target = asDirectX9(m_renderTarget);
    if (target && target->getDX9Texture())
    {
        IDirect3DSurface9* surface = nullptr;
        if (m_backBuffer && SUCCEEDED(target->getDX9Texture()->GetSurfaceLevel(0, &surface)))
        {
            m_device->SetRenderTarget(0, m_backBuffer);
            m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.f, 0);
            m_device->StretchRect(surface, nullptr, m_backBuffer, nullptr, D3DTEXF_NONE);
            m_device->SetRenderTarget(0, surface);
            surface->Release();
        }
    }
    if (FAILED(m_device->EndScene())) zuLogText("DirectX9 end scene failed.", ELL_WARNING);
    const HRESULT hr = m_device->Present(nullptr, nullptr, nullptr, nullptr);
    if (hr == D3DERR_DEVICELOST)
    {
        m_deviceLost = true;
        zuLogText("DirectX9 device lost.", ELL_WARNING);
    }
    else if (FAILED(hr) && hr != D3DERR_INVALIDCALL)
    {
        zuLogText("DirectX9 present failed.", ELL_WARNING);
        return false;
    }
    return true;
}

bool CVideoDirectX9::resetDevice()
{
    if (!m_device || m_device->TestCooperativeLevel() == D3DERR_DEVICELOST) return false;
    flush2D();
    for (DWORD stage = 0; stage < MATERIAL_MAX_TEXTURES; ++stage)
        m_device->SetTexture(stage, nullptr);
    for (ITexture*& texture : m_currentTextures)
        texture = nullptr;
    setRenderTarget(nullptr);
    // Default-pool objects must all be gone before a reset can succeed.
    std::vector<CDirectX9Texture*> targets;
    for (const auto& entry : getTextureCache())
        if (CDirectX9Texture* texture = asDirectX9(entry.second))
            if (texture->isRenderTarget())
            {
                texture->releaseTarget();
                targets.push_back(texture);
            }
    if (m_backBuffer)
    {
        m_backBuffer->Release();
        m_backBuffer = nullptr;
    }
    m_device->SetStreamSource(0, nullptr, 0, 0);
    m_device->SetIndices(nullptr);
    zuLogText("Resetting D3D9 device.", ELL_INFORMATION);
    const HRESULT hr = m_device->Reset(&m_present);
    if (FAILED(hr))
    {
        std::string reason;
        if (hr == D3DERR_OUTOFVIDEOMEMORY)
            reason = "Out of video memory";
        else if (hr == D3DERR_DRIVERINTERNALERROR)
            reason = "Driver internal error";
        else if (hr == D3DERR_DEVICELOST)
            reason = "Device lost";
        else
            reason = "D3DPOOL_DEFAULT contains unreleased resources, " + std::to_string(long(hr));
        zuLog(ELL_WARNING, "Resetting failed. Error code \"%s\"", reason.c_str());
        // The targets come back as far as the device allows, so a later
        // reset has them to release again.
        for (CDirectX9Texture* texture : targets)
            texture->recreateTarget(m_device);
        return false;
    }
    m_deviceLost = false;
    m_lastDeclaration = nullptr;
    m_lastMaterial.MaterialType = 0;
    m_resetRenderStates = true;
    setInitialStates();
    // The lights went with the states.
    const std::vector<SLight> lights = m_lights;
    clearLights();
    for (const SLight& light : lights)
        addLight(light);
    prepare3DStates();
    setFog(m_fogColor, m_fogLinear, m_fogStart, m_fogEnd, m_fogDensity, m_pixelFog, m_rangeFog);
    for (CDirectX9Texture* texture : targets)
        texture->recreateTarget(m_device);
    return true;
}

bool CVideoDirectX9::hasFeature(int feature) const
{
    if (!m_device) return false;
    switch (feature)
    {
    case 0:
    case 3:
        return true;
    case 1:
        return (m_caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) != 0;
    case 4:
        return (m_caps.TextureCaps & D3DPTEXTURECAPS_MIPMAP) != 0;
    case 6:
        return m_stencil && m_caps.StencilCaps != 0;
    case 7:
        return m_caps.VertexShaderVersion >= D3DVS_VERSION(1, 1);
    case 8:
        return m_caps.VertexShaderVersion >= D3DVS_VERSION(2, 0);
    case 9:
        return m_caps.VertexShaderVersion >= D3DVS_VERSION(3, 0);
    case 10:
        return m_caps.PixelShaderVersion >= D3DPS_VERSION(1, 1);
    case 11:
        return m_caps.PixelShaderVersion >= D3DPS_VERSION(1, 2);
    case 12:
        return m_caps.PixelShaderVersion >= D3DPS_VERSION(1, 3);
    case 13:
        return m_caps.PixelShaderVersion >= D3DPS_VERSION(1, 4);
    case 14:
        return m_caps.PixelShaderVersion >= D3DPS_VERSION(2, 0);
    case 15:
        return m_caps.PixelShaderVersion >= D3DPS_VERSION(3, 0);
    default:
        return false;
    }
}

void CVideoDirectX9::setTextureFlag(uint32_t flag, bool on)
{
    if (flag == ETCF_CREATE_MIP_MAPS && on && !hasFeature(4)) on = false;
    CVideoNull::setTextureFlag(flag, on);
}

bool CVideoDirectX9::canAutoGenerateMipMaps() const
{
    return m_device && (m_caps.Caps2 & D3DCAPS2_CANAUTOGENMIPMAP) != 0;
}

bool CVideoDirectX9::filterTexture(IDirect3DTexture9* texture)
{
    static FilterFunction filter = nullptr;
    static bool tried = false;
    if (!tried)
    {
        tried = true;
        if (HMODULE library = LoadLibraryA("d3dx9_43.dll"))
            filter = reinterpret_cast<FilterFunction>(
                reinterpret_cast<void*>(GetProcAddress(library, "D3DXFilterTexture")));
    }
    return filter && SUCCEEDED(filter(texture, nullptr, 0, kDefaultFilter));
}

// ---------------------------------------------------------------- states

void CVideoDirectX9::setTransform(ETransformState state, const CMatrix4& matrix)
{
    CVideoNull::setTransform(state, matrix);
    m_transformChanged = true;
}

void CVideoDirectX9::prepare3DStates()
{
    if (!m_device) return;
    // Pending 2D drawing goes first, in the order it was made.
    flush2D();
    if (m_renderMode != 2 || m_transformChanged)
    {
        const D3DMATRIX view = toD3D(m_matrices[ETS_VIEW]);
        const D3DMATRIX world = toD3D(m_matrices[ETS_WORLD]);
        const D3DMATRIX projection = toD3D(m_matrices[ETS_PROJECTION]);
        m_device->SetTransform(D3DTS_VIEW, &view);
        m_device->SetTransform(D3DTS_WORLD, &world);
        m_device->SetTransform(D3DTS_PROJECTION, &projection);
        m_transformChanged = false;
    }
    if (m_renderMode != 2)
    {
        m_device->SetRenderState(D3DRS_STENCILENABLE, FALSE);
        m_resetRenderStates = true;
    }
    if (m_resetRenderStates)
        m_device->SetRenderState(D3DRS_CULLMODE,
                                 m_material.FrontfaceClockwise ? D3DCULL_CW : D3DCULL_CCW);
    const bool reset = m_resetRenderStates;
    switchMaterialRenderer(reset);
    m_resetRenderStates = false;
    if (IMaterialRenderer* renderer = getRenderer(m_lastMaterial.MaterialType))
        renderer->beforeDraw(this, 0);
    m_renderMode = 2;
}

void CVideoDirectX9::prepare2DStates(bool alpha, bool texture, bool alphaChannel, bool filter)
{
    if (!m_device) return;
    // Plain 2D drawing after 3D leaves the 3D material behind: a shader
    // or generated coordinates must not reach sprites and text.
    if (!m_useMaterialFor2D && m_lastMaterial.MaterialType >= 0)
    {
        if (IMaterialRenderer* renderer = getRenderer(m_lastMaterial.MaterialType))
            renderer->unbind();
        m_lastMaterial.MaterialType = -1;
        m_device->SetVertexShader(nullptr);
        m_device->SetPixelShader(nullptr);
    }
    m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    m_device->SetRenderState(D3DRS_ZENABLE, FALSE);
    m_device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    // The base maps 2D to clip space over the render size. A target smaller
    // than that takes the same pixels one to one (as the other driver does),
    // so clip space is scaled from the render size to the target's; and all
    // is moved by nearly half a pixel (kPixelShift).
    SDimension2i size = m_renderTarget ? m_renderTarget->getSize() : m_renderSize;
    if (size.width <= 0 || size.height <= 0) size = {1, 1};
    const float sx = float(m_renderSize.width) / float(size.width);
    const float sy = float(m_renderSize.height) / float(size.height);
    CMatrix4 projection;
    projection(0, 0) = sx;
    projection(1, 1) = sy;
    projection(3, 0) = sx - 1.f - 1.f / (float(size.width) * kPixelShift);
    projection(3, 1) = 1.f - sy + 1.f / (float(size.height) * kPixelShift);
    const D3DMATRIX p = toD3D(projection);
    m_device->SetTransform(D3DTS_WORLD, &m_identity);
    m_device->SetTransform(D3DTS_VIEW, &m_identity);
    m_device->SetTransform(D3DTS_PROJECTION, &p);
    m_transformChanged = true;
    if (!m_useMaterialFor2D)
    {
        m_device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
        m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
        m_device->SetRenderState(D3DRS_FOGENABLE, FALSE);
        m_device->SetRenderState(D3DRS_STENCILENABLE, FALSE);
        m_device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
        m_device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
        m_device->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
        m_device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
        m_device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
        m_device->SetTransform(D3DTS_TEXTURE0, &m_identity);
        const D3DTEXTUREFILTERTYPE sampling =
            filter && !m_forcePointSampling ? D3DTEXF_LINEAR : D3DTEXF_POINT;
        m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
        m_device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        m_device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        if (texture)
        {
            m_device->SetSamplerState(0, D3DSAMP_MINFILTER, sampling);
            m_device->SetSamplerState(0, D3DSAMP_MAGFILTER, sampling);
            m_device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_NONE);
        }
        if (texture && alphaChannel)
        {
            m_device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
            m_device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
            m_device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
        }
        else if (alpha)
        {
            m_device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
            m_device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
        }
        else
            m_device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
        const bool blend = alpha || (texture && alphaChannel);
        m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, blend ? TRUE : FALSE);
        if (blend)
        {
            m_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
            m_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        }
    }
    m_renderMode = 1;
}

void CVideoDirectX9::setBasicRenderStates(const MaterialState& material, const MaterialState& last,
                                          bool resetAll)
{
    if (!m_device) return;
    if (resetAll || material.AmbientColor != last.AmbientColor ||
        material.DiffuseColor != last.DiffuseColor ||
        material.SpecularColor != last.SpecularColor ||
        material.EmissiveColor != last.EmissiveColor || material.Shininess != last.Shininess)
    {
        D3DMATERIAL9 m;
        m.Ambient = colorValue(material.AmbientColor);
        m.Diffuse = colorValue(material.DiffuseColor);
        m.Specular = colorValue(material.SpecularColor);
        m.Emissive = colorValue(material.EmissiveColor);
        m.Power = material.Shininess;
        m_device->SetMaterial(&m);
    }
    if (resetAll || material.BilinearFilter != last.BilinearFilter ||
        material.TrilinearFilter != last.TrilinearFilter)
    {
        const bool filtered = material.BilinearFilter || material.TrilinearFilter;
        for (DWORD stage = 0; stage < MATERIAL_MAX_TEXTURES; ++stage)
        {
            D3DTEXTUREFILTERTYPE mip = material.TrilinearFilter ? D3DTEXF_LINEAR : D3DTEXF_POINT;
            CDirectX9Texture* current = asDirectX9(m_currentTextures[stage]);
            if (resetAll && material.Textures[stage] && !(current && current->hasMipMaps()))
                mip = D3DTEXF_NONE;
            m_device->SetSamplerState(stage, D3DSAMP_MINFILTER,
                                      filtered ? D3DTEXF_LINEAR : D3DTEXF_POINT);
            m_device->SetSamplerState(stage, D3DSAMP_MAGFILTER,
                                      filtered ? D3DTEXF_LINEAR : D3DTEXF_POINT);
            m_device->SetSamplerState(stage, D3DSAMP_MIPFILTER, filtered ? mip : D3DTEXF_NONE);
        }
    }
    if (resetAll || m_forceWireframe || material.Wireframe != last.Wireframe)
        m_device->SetRenderState(D3DRS_FILLMODE, (material.Wireframe || m_forceWireframe)
                                                     ? D3DFILL_WIREFRAME
                                                     : D3DFILL_SOLID);
    if (resetAll || material.SmoothShading != last.SmoothShading)
        m_device->SetRenderState(D3DRS_SHADEMODE,
                                 material.SmoothShading ? D3DSHADE_GOURAUD : D3DSHADE_FLAT);
    if (resetAll || material.Lighting != last.Lighting)
    {
        m_device->SetRenderState(D3DRS_LIGHTING, material.Lighting ? TRUE : FALSE);
        m_device->SetRenderState(D3DRS_SPECULARENABLE, material.Lighting ? TRUE : FALSE);
    }
    if (resetAll || material.ZBuffer != last.ZBuffer)
        m_device->SetRenderState(D3DRS_ZENABLE, material.ZBuffer ? D3DZB_TRUE : D3DZB_FALSE);
    if (resetAll || material.ZWriteEnable != last.ZWriteEnable)
        m_device->SetRenderState(D3DRS_ZWRITEENABLE, material.ZWriteEnable ? TRUE : FALSE);
    if (resetAll || material.BackfaceCulling != last.BackfaceCulling ||
        material.FrontfaceClockwise != last.FrontfaceClockwise)
    {
        D3DCULL cull = D3DCULL_NONE;
        if (material.BackfaceCulling) cull = material.FrontfaceClockwise ? D3DCULL_CW : D3DCULL_CCW;
        m_device->SetRenderState(D3DRS_CULLMODE, cull);
    }
    if (resetAll || material.FogEnable != last.FogEnable)
        m_device->SetRenderState(D3DRS_FOGENABLE, material.FogEnable ? TRUE : FALSE);
    if (resetAll || material.MirrorU != last.MirrorU || material.MirrorV != last.MirrorV)
    {
        m_device->SetSamplerState(0, D3DSAMP_ADDRESSU,
                                  material.MirrorU ? D3DTADDRESS_MIRROR : D3DTADDRESS_WRAP);
        m_device->SetSamplerState(0, D3DSAMP_ADDRESSV,
                                  material.MirrorV ? D3DTADDRESS_MIRROR : D3DTADDRESS_WRAP);
    }
}

// ---------------------------------------------------------------- shader constants

void CVideoDirectX9::setVertexShaderConstant(const float* data, int32_t startRegister,
                                             int32_t count)
{
    if (m_device && data && count > 0)
        m_device->SetVertexShaderConstantF(UINT(startRegister), data, UINT(count));
}

void CVideoDirectX9::setPixelShaderConstant(const float* data, int32_t startRegister, int32_t count)
{
    if (m_device && data && count > 0)
        m_device->SetPixelShaderConstantF(UINT(startRegister), data, UINT(count));
}

// A callback hands its named constants to the services it is given, which
// for an HLSL material are the driver's: they reach the material's constant
// tables through here.
bool CVideoDirectX9::setVertexShaderConstant(const char* name, const float* floats, int32_t count)
{
    return !hasNamedConstants() || setNamedVertexConstant(name, floats, count);
}

bool CVideoDirectX9::setPixelShaderConstant(const char* name, const float* floats, int32_t count)
{
    return !hasNamedConstants() || setNamedPixelConstant(name, floats, count);
}

bool CVideoDirectX9::hasNamedConstants() const
{
    IMaterialRenderer* renderer = getRenderer(m_material.MaterialType);
    return dynamic_cast<CD3D9ShaderMaterialRenderer*>(renderer) ||
           dynamic_cast<CCGMaterialRenderer*>(renderer);
}

bool CVideoDirectX9::setNamedVertexConstant(const char* name, const float* floats, int32_t count)
{
    return setNamedConstant(true, name, floats, count);
}

bool CVideoDirectX9::setNamedPixelConstant(const char* name, const float* floats, int32_t count)
{
    return setNamedConstant(false, name, floats, count);
}

bool CVideoDirectX9::setNamedConstant(bool vertex, const char* name, const float* floats,
                                      int32_t count)
{
    IMaterialRenderer* renderer = getRenderer(m_material.MaterialType);
    if (auto* shader = dynamic_cast<CD3D9ShaderMaterialRenderer*>(renderer))
        return shader->setVariable(vertex, name, floats, count);
    if (auto* cg = dynamic_cast<CCGMaterialRenderer*>(renderer))
        return vertex ? cg->setVertexShaderConstant(name, floats, count)
                      : cg->setPixelShaderConstant(name, floats, count);
    auto* fixed = dynamic_cast<CD3D9MaterialRenderer*>(renderer);
    return fixed && fixed->setVariable(vertex, name, floats, count);
}

// ---------------------------------------------------------------- geometry

Mesh* CVideoDirectX9::createMesh(EPrimitiveType type, const EVertexFeature* format,
                                 uint16_t vertexCapacity)
{
    return new CDirectX9Mesh(this, type, format, vertexCapacity);
}

IDirect3DVertexDeclaration9* CVideoDirectX9::declarationFor(const EVertexFeature* format)
{
    std::vector<int32_t> key;
    for (const EVertexFeature* f = format; f && *f != FT_END; ++f)
        key.push_back(*f);
    auto found = m_declarations.find(key);
    if (found != m_declarations.end()) return found->second;
    std::vector<D3DVERTEXELEMENT9> elements;
    WORD offset = 0;
    for (int32_t feature : key)
    {
        SDeclarationElement e;
        if (!elementFor(EVertexFeature(feature), e)) continue;
        elements.push_back({0, offset, e.type, D3DDECLMETHOD_DEFAULT, e.usage, e.usageIndex});
        offset = WORD(offset + (e.type == D3DDECLTYPE_FLOAT3   ? 12
                                : e.type == D3DDECLTYPE_FLOAT2 ? 8
                                                               : 4));
    }
    elements.push_back(D3DDECL_END());
    IDirect3DVertexDeclaration9* declaration = nullptr;
    if (FAILED(m_device->CreateVertexDeclaration(elements.data(), &declaration)))
        declaration = nullptr;
    m_declarations[key] = declaration;
    return declaration;
}

void CVideoDirectX9::releaseDeclarations()
{
    for (auto& entry : m_declarations)
        if (entry.second) entry.second->Release();
    m_declarations.clear();
    m_lastDeclaration = nullptr;
}

void CVideoDirectX9::drawRenderState(RenderState& renderState)
{
    if (!ZU_CHECK_MSG(renderState.mesh, "rs") || !m_device || m_deviceLost) return;
    const bool materialStates = m_renderMode == 2 || m_useMaterialFor2D;
    for (int stage = 0; stage < MATERIAL_MAX_TEXTURES; ++stage)
    {
        const SRenderStage& s = renderState.stages[stage];
        ITexture* texture = s.texture;
        if (!texture && materialStates) texture = m_currentTextures[stage];
        CDirectX9Texture* dx = asDirectX9(texture);
        m_device->SetTexture(DWORD(stage), dx ? dx->getDX9Texture() : nullptr);
        if (dx && !materialStates)
        {
            m_device->SetSamplerState(DWORD(stage), D3DSAMP_ADDRESSU,
                                      s.mirrorU ? D3DTADDRESS_MIRROR : D3DTADDRESS_WRAP);
            m_device->SetSamplerState(DWORD(stage), D3DSAMP_ADDRESSV,
                                      s.mirrorV ? D3DTADDRESS_MIRROR : D3DTADDRESS_WRAP);
        }
    }
    Mesh* mesh = renderState.mesh;
    // The mesh layout decides the declaration; offsets follow the table order
    // the mesh itself uses.
    IDirect3DVertexDeclaration9* declaration = declarationFor(mesh->getFormat());
    if (declaration != m_lastDeclaration)
    {
        m_device->SetVertexDeclaration(declaration);
        m_lastDeclaration = declaration;
    }
    mesh->draw();
}

// ---------------------------------------------------------------- targets, viewport, scissor

bool CVideoDirectX9::setRenderTarget(ITexture* texture)
{
    flush2D();
    CDirectX9Texture* target = asDirectX9(texture);
    // Scripts name targets, so a texture that is not one is refused, not a
    // programming error.
    if (texture && !(target && target->isRenderTarget() && target->getDX9Texture()))
    {
        zuLog(ELL_ERROR, "Not a render target: %s", texture->getName().c_str());
        return false;
    }
    setTarget(target);
    return true;
}

void CVideoDirectX9::setTarget(CDirectX9Texture* target)
{
    m_renderTarget = target;
    if (!m_device) return;
    if (!m_backBuffer) m_device->GetRenderTarget(0, &m_backBuffer);
    IDirect3DSurface9* surface = nullptr;
    if (target && SUCCEEDED(target->getDX9Texture()->GetSurfaceLevel(0, &surface)))
    {
        m_device->SetRenderTarget(0, surface);
        surface->Release();
    }
    else
    {
        m_renderTarget = nullptr;
        if (m_backBuffer) m_device->SetRenderTarget(0, m_backBuffer);
    }
    // Setting a target resets the viewport to the whole target.
    m_renderMode = 0;
}

void CVideoDirectX9::setViewPort(const SRecti& rect)
{
    const SRecti r = rect.clippedTo(m_renderSize.width, m_renderSize.height);
    flush2D();
    D3DVIEWPORT9 view{DWORD(r.left),        DWORD(r.top), DWORD(r.getWidth()),
                      DWORD(r.getHeight()), 0.f,          1.f};
    if (r.getWidth() <= 0 || r.getHeight() <= 0 || !m_device ||
        FAILED(m_device->SetViewport(&view)))
        zuLogText("Failed setting setting the viewport.", ELL_WARNING);
    m_viewPort = r;
}

void CVideoDirectX9::setScissor(const SRecti* rect)
{
    flush2D();
    if (!m_device) return;
    if (!rect)
    {
        m_device->SetRenderState(D3DRS_SCISSORTESTENABLE, FALSE);
        return;
    }
    // A script may give any numbers: the rectangle is first cut to the screen.
    const SRecti r = rect->clippedTo(m_screenSize.width, m_screenSize.height);
    RECT box{LONG(r.left), LONG(r.top), LONG(r.right), LONG(r.bottom)};
    m_device->SetScissorRect(&box);
    m_device->SetRenderState(D3DRS_SCISSORTESTENABLE, TRUE);
}

// ---------------------------------------------------------------- fog and lights

void CVideoDirectX9::setFog(uint32_t color, bool linear, float start, float end, float density,
                            bool pixelFog, bool rangeFog)
{
    CVideoNull::setFog(color, linear, start, end, density, pixelFog, rangeFog);
    if (!m_device) return;
    m_device->SetRenderState(D3DRS_FOGCOLOR, color);
    const D3DFOGMODE mode = linear ? D3DFOG_LINEAR : D3DFOG_EXP;
    m_device->SetRenderState(pixelFog ? D3DRS_FOGTABLEMODE : D3DRS_FOGVERTEXMODE, mode);
    m_device->SetRenderState(pixelFog ? D3DRS_FOGVERTEXMODE : D3DRS_FOGTABLEMODE, D3DFOG_NONE);
    if (linear)
    {
        m_device->SetRenderState(D3DRS_FOGSTART, floatBits(start));
        m_device->SetRenderState(D3DRS_FOGEND, floatBits(end));
    }
    else
        m_device->SetRenderState(D3DRS_FOGDENSITY, floatBits(density));
    if (!pixelFog) m_device->SetRenderState(D3DRS_RANGEFOGENABLE, rangeFog ? TRUE : FALSE);
}

void CVideoDirectX9::clearLights()
{
    if (m_device)
        for (int32_t i = 0; i <= m_lastLightIndex; ++i)
            m_device->LightEnable(DWORD(i), FALSE);
    m_lastLightIndex = -1;
    CVideoNull::clearLights();
}

void CVideoDirectX9::addLight(const SLight& light)
{
    // A light past the device's maximum is ignored and takes no slot.
    if (!m_device || m_lastLightIndex + 1 >= int32_t(m_caps.MaxActiveLights)) return;
    CVideoNull::addLight(light);
    ++m_lastLightIndex;
    D3DLIGHT9 l = {};
    l.Type = light.directional ? D3DLIGHT_DIRECTIONAL : D3DLIGHT_POINT;
    l.Diffuse = colorValue(light.diffuse);
    l.Specular = colorValue(light.specular);
    l.Ambient = colorValue(light.ambient);
    l.Position = {light.position[0], light.position[1], light.position[2]};
    l.Direction = l.Position;
    l.Range = FLT_MAX;
    l.Attenuation0 = 0.f;
    l.Attenuation1 = light.radius > 0.f ? 1.f / light.radius : 0.f;
    l.Attenuation2 = 0.f;
    m_device->SetLight(DWORD(m_lastLightIndex), &l);
    m_device->LightEnable(DWORD(m_lastLightIndex), TRUE);
}

void CVideoDirectX9::setAmbientColor(uint32_t color)
{
    if (m_device) m_device->SetRenderState(D3DRS_AMBIENT, color);
}

// ---------------------------------------------------------------- sizes

void CVideoDirectX9::onResize(SDimension2i size)
{
    if (!ZU_CHECK_MSG(size.width > 0 && size.height > 0, "size.m_width > 0 && size.m_height > 0"))
        return;
    CVideoNull::onResize(size);
    if (!m_device) return;
    m_present.BackBufferWidth = UINT(size.width);
    m_present.BackBufferHeight = UINT(size.height);
    resetDevice();
}

bool CVideoDirectX9::switchFullscreen(bool on, SDimension2i size)
{
    if (!m_device) return false;
    const bool filled = fillPresentParameters(on, size);
    m_fullscreen = on;
    resetDevice();
    CVideoNull::onResize(size);
    zu::core::zuPrintLn("ScreenSize %dx%d", size.width, size.height);
    zu::core::zuPrintLn("Physical Size %dx%d", size.width, size.height);
    return filled;
}

// ---------------------------------------------------------------- textures, screenshots

ITexture* CVideoDirectX9::createApiTexture(const CString& name, IImage* image)
{
    if (!image || name.empty() || !m_device) return nullptr;
    auto* texture =
        new CDirectX9Texture(name, image, this, m_device, getTextureFlag(ETCF_CREATE_MIP_MAPS));
    if (!texture->isValid())
    {
        texture->drop();
        return nullptr;
    }
    return texture;
}

ITexture* CVideoDirectX9::createTargetTexture(const CString& name, SDimension2i size,
                                              ECOLOR_FORMAT format)
{
    if (!m_device || size.width <= 0 || size.height <= 0) return nullptr;
    auto* texture = new CDirectX9Texture(name, size, format, m_device);
    if (!texture->isValid())
    {
        texture->drop();
        return nullptr;
    }
    return texture;
}

bool CVideoDirectX9::readPixels(ITexture* texture, std::vector<uint8_t>& rgbRows,
                                SDimension2i& size)
{
    if (!m_device) return false;
    IDirect3DSurface9* surface = nullptr;
    if (texture)
    {
        CDirectX9Texture* dx = asDirectX9(texture);
        if (!dx) return CVideoNull::readPixels(texture, rgbRows, size);
        if (!dx->getDX9Texture() || FAILED(dx->getDX9Texture()->GetSurfaceLevel(0, &surface)))
            return false;
    }
    else
    {
        flush2D();
        if (FAILED(m_device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &surface))) return false;
    }
    const bool read = readSurface(surface, rgbRows, size);
    surface->Release();
    return read;
}

bool CVideoDirectX9::readSurface(IDirect3DSurface9* surface, std::vector<uint8_t>& rgbRows,
                                 SDimension2i& size)
{
    D3DSURFACE_DESC desc;
    if (FAILED(surface->GetDesc(&desc))) return false;
    if (!ZU_CHECK_MSG(desc.MultiSampleType == D3DMULTISAMPLE_NONE,
                      "rtDesc.MultiSampleType == D3DMULTISAMPLE_NONE"))
        return false;
    IDirect3DSurface9* source = surface;
    IDirect3DSurface9* copy = nullptr;
    // Video memory is read through a system-memory copy.
    if (desc.Pool == D3DPOOL_DEFAULT)
    {
        if (FAILED(m_device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format,
                                                         D3DPOOL_SYSTEMMEM, &copy, nullptr)))
            return false;
        if (FAILED(m_device->GetRenderTargetData(surface, copy)))
        {
            copy->Release();
            return false;
        }
        source = copy;
    }
    D3DLOCKED_RECT locked;
    if (FAILED(source->LockRect(&locked, nullptr, D3DLOCK_READONLY)))
    {
        if (copy) copy->Release();
        return false;
    }
    size = {int32_t(desc.Width), int32_t(desc.Height)};
    rgbRows.assign(size_t(desc.Width) * size_t(desc.Height) * 3, 0);
    const bool bit32 = desc.Format == D3DFMT_A8R8G8B8 || desc.Format == D3DFMT_X8R8G8B8;
    const bool r5g6b5 = desc.Format == D3DFMT_R5G6B5;
    for (UINT y = 0; y < desc.Height; ++y)
    {
        const uint8_t* row = static_cast<const uint8_t*>(locked.pBits) + size_t(y) * locked.Pitch;
        uint8_t* out = &rgbRows[size_t(y) * desc.Width * 3];
        for (UINT x = 0; x < desc.Width; ++x, out += 3)
        {
            if (bit32)
            {
                out[0] = row[x * 4 + 2];
                out[1] = row[x * 4 + 1];
                out[2] = row[x * 4 + 0];
                continue;
            }
            uint16_t p;
            memcpy(&p, row + x * 2, 2);
            if (r5g6b5)
            {
                out[0] = uint8_t((p >> 8) & 0xF8);
                out[1] = uint8_t((p >> 3) & 0xFC);
            }
            else
            {
                out[0] = uint8_t((p >> 7) & 0xF8);
                out[1] = uint8_t((p >> 2) & 0xF8);
            }
            out[2] = uint8_t((p << 3) & 0xF8);
        }
    }
    source->UnlockRect();
    if (copy) copy->Release();
    return true;
}

// ---------------------------------------------------------------- shader materials

int32_t CVideoDirectX9::createHLSLMaterial(const CString& vertexText, const CString& vertexEntry,
                                           const CString& vertexTarget, const CString& pixelText,
                                           const CString& pixelEntry, const CString& pixelTarget,
                                           IShaderConstantSetCallBack* callback,
                                           int32_t baseMaterial, int32_t userData)
{
    if (!m_device || !hasProgramText(!vertexText.empty(), !pixelText.empty())) return -1;
    auto* renderer =
        new CD3D9HLSLMaterialRenderer(m_device, this, callback, baseMaterial, userData);
    return registerShaderRenderer(renderer, renderer->build(vertexText, vertexEntry, vertexTarget,
                                                            pixelText, pixelEntry, pixelTarget));
}

int32_t CVideoDirectX9::createAssemblyMaterial(const CString& vertexText, const CString& pixelText,
                                               IShaderConstantSetCallBack* callback,
                                               int32_t baseMaterial, int32_t userData)
{
    if (!m_device || !hasProgramText(!vertexText.empty(), !pixelText.empty())) return -1;
    auto* renderer =
        new CD3D9ShaderMaterialRenderer(m_device, this, callback, baseMaterial, userData);
    return registerShaderRenderer(renderer, renderer->build(vertexText, pixelText));
}

int32_t CVideoDirectX9::createCgMaterial(const char* vertexText, const CString& vertexEntry,
                                         const char* pixelText, const CString& pixelEntry,
                                         IShaderConstantSetCallBack* callback, int32_t baseMaterial,
                                         bool compiled, int32_t userData)
{
    // Without the runtime (reported once when it was looked for) there is
    // nothing to build with.
    const SCgFunctions* cg = CCgRuntime::get();
    if (!handDeviceToCg(cg)) return -1;
    if (!hasProgramText(vertexText != nullptr, pixelText != nullptr)) return -1;
    CGcontext context = getCgContext(cg);
    if (!context) return -1;
    auto* renderer = new CD3D9CGMaterialRenderer(m_device, this, this, cg, context, callback,
                                                 baseMaterial, userData);
    return registerShaderRenderer(
        renderer,
        renderer->build(vertexText, vertexEntry.c_str(), pixelText, pixelEntry.c_str(), compiled));
}

} // namespace kelvo::video

// The Direct3D 9 driver on a Win32 window of its own, run under Wine.
//   pellora-d3d9-frames frames FOLDER  draws the shared scenes and writes each
//                                      frame as FOLDER/<scene>.ppm
//   pellora-d3d9-frames checks         device loss and reset, lights, the
//                                      alpha-channel material, target read-back,
//                                      shader materials and their refusals, a
//                                      device that cannot be made
// Prints one line per failed check and exits with 1 when any failed.
#include "CDeviceWrapper9.h"
#include "CDirect3DWrapper9.h"
#include "DriverScenes.h"
#include "core/Output.h"
#include "io/CFileSystem.h"
#include "video/DirectX9/CD3DXLibrary.h"
#include "video/DirectX9/CDirectX9Texture.h"
#include "video/DirectX9/CVideoDirectX9.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

using namespace zu::video;
using kelvo::video::CVideoDirectX9;

namespace
{

int g_failures = 0;
std::vector<std::string> g_log;

#define CHECK(condition)                                                                           \
    do                                                                                             \
    {                                                                                              \
        if (!(condition))                                                                          \
        {                                                                                          \
            printf("FAILED %s:%d: %s\n", __FILE__, __LINE__, #condition);                          \
            ++g_failures;                                                                          \
        }                                                                                          \
    } while (0)

bool logged(const char* text)
{
    for (const std::string& line : g_log)
        if (line.find(text) != std::string::npos) return true;
    return false;
}

// The driver with its frame read-back in reach.
class CFrameDriver : public CVideoDirectX9
{
  public:
    using CVideoDirectX9::CVideoDirectX9;
    bool read(ITexture* texture, std::vector<uint8_t>& rgb, zu::core::SDimension2i& size)
    {
        return readPixels(texture, rgb, size);
    }
};

// Reports the device lost at one Present, then answers the cooperative-level
// test from a script of results.
class CLossyDevice : public CDeviceWrapper9
{
  public:
    using CDeviceWrapper9::CDeviceWrapper9;
    HRESULT STDMETHODCALLTYPE Present(const RECT* a, const RECT* b, HWND c,
                                      const RGNDATA* d) override
    {
        const HRESULT real = m_real->Present(a, b, c, d);
        if (!loseAtPresent) return real;
        loseAtPresent = false;
        return D3DERR_DEVICELOST;
    }
    HRESULT STDMETHODCALLTYPE TestCooperativeLevel() override
    {
        if (levels.empty()) return m_real->TestCooperativeLevel();
        const HRESULT next = levels.front();
        levels.erase(levels.begin());
        return next;
    }
    HRESULT STDMETHODCALLTYPE Reset(D3DPRESENT_PARAMETERS* parameters) override
    {
        ++resets;
        return m_real->Reset(parameters);
    }
    bool loseAtPresent = false;
    std::vector<HRESULT> levels;
    int resets = 0;
};

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM w, LPARAM l)
{
    return DefWindowProcW(window, message, w, l);
}

HWND makeWindow()
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"PelloraD3D9Test";
    RegisterClassW(&windowClass);
    RECT rect{0, 0, scenes::WIDTH, scenes::HEIGHT};
    AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE);
    HWND window = CreateWindowExW(0, L"PelloraD3D9Test", L"Pellora Direct3D 9", WS_OVERLAPPEDWINDOW,
                                  0, 0, rect.right - rect.left, rect.bottom - rect.top, nullptr,
                                  nullptr, windowClass.hInstance, nullptr);
    ShowWindow(window, SW_SHOW);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
    return window;
}

void writePpm(const std::vector<uint8_t>& rgb, zu::core::SDimension2i size, const std::string& path)
{
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << size.width << " " << size.height << "\n255\n";
    out.write(reinterpret_cast<const char*>(rgb.data()), std::streamsize(rgb.size()));
}

const uint8_t* pixel(const std::vector<uint8_t>& rgb, zu::core::SDimension2i size, int x, int y)
{
    return &rgb[(size_t(y) * size_t(size.width) + size_t(x)) * 3];
}

bool is(const uint8_t* p, int r, int g, int b)
{
    return std::abs(p[0] - r) <= 1 && std::abs(p[1] - g) <= 1 && std::abs(p[2] - b) <= 1;
}

// The shader scenes' materials, made as the OpenGL program makes its own.
void makeShaderMaterials(CFrameDriver* driver)
{
    auto* constants = new scenes::CSceneConstants();
    scenes::shaderTypes().highLevel = driver->createHLSLMaterial(
        scenes::shaders::HLSL_VERTEX, "main", "vs_2_0", scenes::shaders::HLSL_PIXEL, "main",
        "ps_2_0", constants, EMT_SOLID, 0);
    scenes::shaderTypes().assembly = driver->createAssemblyMaterial(
        scenes::shaders::ASM_VERTEX, scenes::shaders::ASM_PIXEL, constants, EMT_SOLID, 1);
    CHECK(scenes::shaderTypes().highLevel >= 0);
    CHECK(scenes::shaderTypes().assembly >= 0);
    constants->drop();
}

int drawFrames(CFrameDriver* driver, const std::string& folder)
{
    makeShaderMaterials(driver);
    int count = 0;
    const scenes::SScene* list = scenes::all(count);
    for (int i = 0; i < count; ++i)
    {
        driver->beginScene(true, true, list[i].clearColor);
        list[i].draw(driver);
        std::vector<uint8_t> rgb;
        zu::core::SDimension2i size;
        CHECK(driver->read(nullptr, rgb, size));
        if (!rgb.empty()) writePpm(rgb, size, folder + "/" + list[i].name + ".ppm");
        driver->endScene();
    }
    return 0;
}

void checkDeviceLoss(CFrameDriver* driver)
{
    IDirect3DDevice9* real = driver->getDevice();
    real->AddRef();
    auto* lossy = new CLossyDevice(real);
    driver->replaceDevice(lossy);

    ITexture* texture = scenes::checker(driver);
    ITexture* target = driver->addTexture({64, 64}, "lossTarget", ECF_A8R8G8B8, true);
    scenes::identityTransforms(driver);
    const float facing[3] = {0.f, 0.f, 1.f};
    const float uv[4] = {0.f, 0.f, 1.f, 1.f};
    Mesh* mesh = scenes::quadMesh(driver, 0.f, 1.f, 1.f, 0.f, facing, 0xFF00FF00, uv);
    CHECK(texture && target && mesh);
    if (!texture || !target || !mesh) return;

    CHECK(driver->beginScene(true, true, 0xFF000000));
    lossy->loseAtPresent = true;
    CHECK(driver->endScene()); // the frame that found the loss still counts
    CHECK(driver->isDeviceLost());
    CHECK(logged("DirectX9 device lost."));

    lossy->levels = {D3DERR_DEVICELOST, D3DERR_DEVICENOTRESET};
    CHECK(!driver->beginScene(true, true, 0xFF000000)); // still lost: no reset tried
    CHECK(!driver->endScene());
    CHECK(lossy->resets == 0);
    g_log.clear();
    CHECK(driver->beginScene(true, true, 0xFF000000)); // not reset: reset now
    CHECK(lossy->resets == 1);
    CHECK(!driver->isDeviceLost());
    CHECK(logged("Resetting D3D9 device."));
    CHECK(!logged("Resetting failed"));

    // Everything made before the loss still draws.
    CHECK(driver->setRenderTarget(target));
    driver->clearScreen(false, 0xFFFF0000);
    driver->setRenderTarget(nullptr);
    driver->drawImage(target, {0, 0});
    const uint32_t white[4] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
    driver->drawImageQuad(texture, {0, 80}, {40, 80}, {0, 120}, {40, 120}, {0, 0, 2, 2}, white,
                          false, false);
    MaterialState material;
    material.Lighting = false;
    material.BackfaceCulling = false;
    driver->setMaterial(material);
    scenes::drawMesh(driver, mesh);
    std::vector<uint8_t> rgb;
    zu::core::SDimension2i size;
    CHECK(driver->read(nullptr, rgb, size));
    if (size.width == scenes::WIDTH && size.height == scenes::HEIGHT)
    {
        CHECK(is(pixel(rgb, size, 10, 10), 255, 0, 0)); // the target
        CHECK(is(pixel(rgb, size, 5, 85), 255, 0, 0));  // the texture's red texel
        CHECK(is(pixel(rgb, size, 35, 115), 255, 255, 255));
        CHECK(is(pixel(rgb, size, 120, 30), 0, 255, 0)); // the mesh
    }
    CHECK(driver->endScene());
    mesh->drop();
    driver->removeTexture(target);
}

void checkLights(CFrameDriver* driver)
{
    const int32_t maximum = driver->getMaxLightCount();
    CHECK(maximum == 8);
    driver->clearLights();
    for (int i = 0; i < 9; ++i)
        driver->addLight(SLight());
    CHECK(driver->getLightCount() == 8);
    IDirect3DDevice9* device = driver->getDevice();
    BOOL on = FALSE;
    CHECK(SUCCEEDED(device->GetLightEnable(7, &on)) && on);
    on = FALSE;
    // The ninth was never set up.
    CHECK(FAILED(device->GetLightEnable(8, &on)) || !on);
    driver->clearLights();
    on = TRUE;
    CHECK(SUCCEEDED(device->GetLightEnable(0, &on)) && !on);
}

void checkAlphaChannel(CFrameDriver* driver)
{
    driver->beginScene(true, true, 0xFF0000FF);
    scenes::drawAlphaChannel(driver);
    IDirect3DDevice9* device = driver->getDevice();
    DWORD test = TRUE, blend = FALSE;
    // drawAlphaChannel leaves the solid material set; bind the alpha one again.
    MaterialState material;
    material.MaterialType = EMT_TRANSPARENT_ALPHA_CHANNEL;
    driver->setMaterial(material);
    driver->prepare3DStates();
    device->GetRenderState(D3DRS_ALPHATESTENABLE, &test);
    device->GetRenderState(D3DRS_ALPHABLENDENABLE, &blend);
    CHECK(test == FALSE);
    CHECK(blend == TRUE);
    driver->setMaterial(MaterialState());
    driver->endScene();
}

void checkTargetScreenshot(CFrameDriver* driver)
{
    ITexture* target = driver->addTexture({64, 32}, "shotTarget", ECF_A8R8G8B8, true);
    CHECK(target);
    if (!target) return;
    driver->beginScene(true, true, 0xFF000000);
    driver->setRenderTarget(target);
    driver->clearScreen(false, 0xFF0000FF);
    driver->drawRectangle(0xFFFFFF00, {0, 0, 64, 8}, nullptr);
    driver->setRenderTarget(nullptr);
    std::vector<uint8_t> rgb;
    zu::core::SDimension2i size;
    CHECK(driver->read(target, rgb, size));
    CHECK(size.width == 64 && size.height == 32);
    if (size.width == 64 && size.height == 32)
    {
        CHECK(is(pixel(rgb, size, 3, 3), 255, 255, 0)); // top rows first
        CHECK(is(pixel(rgb, size, 60, 30), 0, 0, 255));
    }
    // This build has no JPEG writer: the screenshot fails and says so.
    g_log.clear();
    CHECK(!driver->writeScreenshot("", "target-", target));
    CHECK(logged("JPEG writing is not supported by this build"));
    driver->endScene();

    // Texture formats: 16-bit by default, 32-bit for deep images with quality.
    const uint32_t pixels[1] = {0xFF102030};
    ITexture* plain = scenes::makeTexture(driver, "formatPlain", pixels, 1, 1);
    CHECK(plain && plain->getColorFormat() == ECF_A1R5G5B5);
    driver->setTextureFlag(ETCF_OPTIMIZED_FOR_QUALITY, true);
    ITexture* deep = scenes::makeTexture(driver, "formatDeep", pixels, 1, 1);
    CHECK(deep && deep->getColorFormat() == ECF_A8R8G8B8);
    driver->setTextureFlag(ETCF_OPTIMIZED_FOR_QUALITY, false);
}

int loggedCount(const char* text)
{
    int n = 0;
    for (const std::string& line : g_log)
        n += line.find(text) != std::string::npos ? 1 : 0;
    return n;
}

// The tokens D3DX assembles from a text, as the bytes of a text string.
zu::core::CString assembled(const char* text)
{
    kelvo::video::CD3DXLibrary::AssembleFunction assemble =
        kelvo::video::CD3DXLibrary::assembleShader();
    ID3DXBuffer* code = nullptr;
    if (!assemble ||
        FAILED(assemble(text, UINT(strlen(text)), nullptr, nullptr, 0, &code, nullptr)) || !code)
        return "";
    zu::core::CString tokens(static_cast<const char*>(code->GetBufferPointer()),
                             code->GetBufferSize());
    code->Release();
    return tokens;
}

void checkShaders(CFrameDriver* driver)
{
    using kelvo::video::CD3DXLibrary;
    auto* constants = new scenes::CSceneConstants();
    // Constants by name reach the HLSL programs through the callback, and a
    // missing name is reported with the table's constants.
    const int32_t hlsl = driver->createHLSLMaterial(scenes::shaders::HLSL_VERTEX, "main", "1",
                                                    scenes::shaders::HLSL_PIXEL, "main", "ps_2_0",
                                                    constants, EMT_SOLID, 0);
    CHECK(hlsl >= 0);
    driver->beginScene(true, true, 0xFF000000);
    scenes::shaderTypes().highLevel = hlsl;
    scenes::drawHighLevelShader(driver);
    CHECK(constants->namedSet);
    MaterialState material;
    material.MaterialType = hlsl;
    driver->setMaterial(material);
    const float tint[4] = {1.f, 1.f, 1.f, 1.f};
    CHECK(driver->setNamedPixelConstant("tint", tint, 4));
    g_log.clear();
    CHECK(!driver->setNamedPixelConstant("nothing", tint, 4));
    CHECK(logged("HLSL Variable to set not found: 'nothing'. Available variables are:"));
    CHECK(logged("  'tint' Registers:[begin:"));
    // A fixed-function material has no named constants; the services say
    // nothing was refused.
    driver->setMaterial(MaterialState());
    g_log.clear();
    CHECK(!driver->setNamedPixelConstant("tint", tint, 4));
    CHECK(logged("Invalid material to set variable in."));
    CHECK(driver->setPixelShaderConstant("tint", tint, 4));
    driver->endScene();

    // Compile failures and bad targets fail with the compiler's reason.
    g_log.clear();
    CHECK(driver->createHLSLMaterial("", "", "", "float4 main( : COLOR {", "main", "ps_2_0",
                                     constants, EMT_SOLID, 0) == -1);
    CHECK(logged("HLSL pixel shader compilation failed:"));
    CHECK(g_log.size() >= 2);
    g_log.clear();
    CHECK(driver->createHLSLMaterial(scenes::shaders::HLSL_VERTEX, "main", "vs_9_9", "", "", "",
                                     constants, EMT_SOLID, 0) == -1);
    CHECK(logged("Invalid HLSL vertex shader compilation target"));
    g_log.clear();
    CHECK(driver->createAssemblyMaterial("vs_1_1\nmov oPos, v9000\n", "", constants, EMT_SOLID,
                                         1) == -1);
    CHECK(logged("Vertex shader assembly failed:"));
    CHECK(driver->createAssemblyMaterial("", "", constants, EMT_SOLID, 1) == -1);

    // Without the D3DX library HLSL and assembly texts are refused, each
    // function reported once; precompiled tokens still make shaders.
    const zu::core::CString vertexTokens = assembled(scenes::shaders::ASM_VERTEX);
    const zu::core::CString pixelTokens = assembled(scenes::shaders::ASM_PIXEL);
    CHECK(!vertexTokens.empty() && !pixelTokens.empty());
    CD3DXLibrary::setLibraryName("pellora_no_such_d3dx.dll");
    g_log.clear();
    CHECK(driver->createHLSLMaterial(scenes::shaders::HLSL_VERTEX, "main", "vs_2_0",
                                     scenes::shaders::HLSL_PIXEL, "main", "ps_2_0", constants,
                                     EMT_SOLID, 0) == -1);
    CHECK(logged("Could not load shader function D3DXCompileShader from dll, shaders disabled: "
                 "pellora_no_such_d3dx.dll"));
    CHECK(driver->createHLSLMaterial("", "", "", scenes::shaders::HLSL_PIXEL, "main", "ps_2_0",
                                     constants, EMT_SOLID, 0) == -1);
    CHECK(loggedCount("D3DXCompileShader") == 1);
    CHECK(driver->createAssemblyMaterial(scenes::shaders::ASM_VERTEX, "", constants, EMT_SOLID,
                                         1) == -1);
    CHECK(logged("Could not load shader function D3DXAssembleShader from dll"));
    const int32_t tokens =
        driver->createAssemblyMaterial(vertexTokens, pixelTokens, constants, EMT_SOLID, 1);
    CHECK(tokens >= 0);
    CD3DXLibrary::setLibraryName(nullptr);
    if (tokens >= 0)
    {
        driver->beginScene(true, true, 0xFF000000);
        scenes::shaderTypes().assembly = tokens;
        scenes::drawAssemblyShader(driver);
        std::vector<uint8_t> rgb;
        zu::core::SDimension2i size;
        CHECK(driver->read(nullptr, rgb, size));
        if (size.width == scenes::WIDTH && size.height == scenes::HEIGHT)
        {
            CHECK(is(pixel(rgb, size, 40, 30), 0, 64, 255));
            CHECK(is(pixel(rgb, size, 120, 90), 0, 0, 0));
        }
        driver->endScene();
    }
    scenes::shaderTypes() = scenes::SShaderTypes();
    constants->drop();
}

// Without a Cg runtime the driver said so once, at start-up; Cg materials
// are refused without another word.
void checkCgRefusal(CFrameDriver* driver)
{
    CHECK(loggedCount("Cg runtime") == 1);
    CHECK(logged("Cg runtime not found (cg.dll)"));
    g_log.clear();
    CHECK(driver->createCgMaterial("float4 main() : COLOR { return 1; }", "main", nullptr, "",
                                   nullptr, EMT_SOLID, false, 0) == -1);
    CHECK(driver->createCgMaterialFromFiles("", "", "", "", nullptr, EMT_SOLID, false, 0) == -1);
    CHECK(g_log.empty());
}

// The Direct3D object refuses every device.
class CNoDeviceDirect3D : public CDirect3DWrapper9
{
  public:
    using CDirect3DWrapper9::CDirect3DWrapper9;
    HRESULT STDMETHODCALLTYPE CreateDevice(UINT, D3DDEVTYPE, HWND, DWORD, D3DPRESENT_PARAMETERS*,
                                           IDirect3DDevice9** device) override
    {
        ++attempts;
        if (device) *device = nullptr;
        return D3DERR_NOTAVAILABLE;
    }
    static int attempts;
};

int CNoDeviceDirect3D::attempts = 0;

IDirect3D9* refuseDevices(IDirect3D9* real)
{
    return new CNoDeviceDirect3D(real);
}

// A driver that cannot make its device is not handed out: start-up stops
// with the reason in the log.
void checkNoDevice(zu::io::IFileSystem* fileSystem, HWND window)
{
    CVideoDirectX9::setDirect3DHook(refuseDevices);
    g_log.clear();
    CVideoDirectX9* driver = CVideoDirectX9::create(
        fileSystem, window, {scenes::WIDTH, scenes::HEIGHT}, false, false, false);
    CVideoDirectX9::setDirect3DHook(nullptr);
    CHECK(driver == nullptr);
    CHECK(CNoDeviceDirect3D::attempts == 3); // hardware, mixed, software processing
    CHECK(logged("Was not able to create Direct3D9 device."));
    CHECK(logged("Could not create a Direct3D 9 device on the window."));
    if (driver) driver->drop();
}

} // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (!(mode == "frames" && argc == 3) && mode != "checks")
    {
        fprintf(stderr, "usage: %s frames FOLDER | checks\n", argv[0]);
        return 2;
    }
    zu::core::setLogSink(
        [](const char* text, int)
        {
            g_log.emplace_back(text);
            printf("%s\n", text);
        });
    auto* fileSystem = new kelvo::io::CFileSystem();
    HWND window = makeWindow();
    auto* driver =
        new CFrameDriver(fileSystem, window, {scenes::WIDTH, scenes::HEIGHT}, false, false, false);
    if (!driver->isValid())
    {
        printf("FAILED: no Direct3D 9 device\n");
        driver->drop();
        fileSystem->drop();
        return 1;
    }
    if (mode == "frames")
        drawFrames(driver, argv[2]);
    else
    {
        checkCgRefusal(driver);
        checkShaders(driver);
        checkLights(driver);
        checkAlphaChannel(driver);
        checkTargetScreenshot(driver);
        checkDeviceLoss(driver);
    }
    driver->drop();
    if (mode == "checks") checkNoDevice(fileSystem, window);
    fileSystem->drop();
    printf("%s: %d failed checks\n", mode.c_str(), g_failures);
    return g_failures == 0 ? 0 : 1;
}

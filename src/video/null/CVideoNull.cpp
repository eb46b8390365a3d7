#include "video/null/CVideoNull.h"

#include "core/Output.h"
#include "io/IFileSystem.h"
#include "io/IReadFile.h"
#include "io/IWriteFile.h"
#include "video/IImageLoader.h"
#include "video/IMaterialRenderer.h"
#include "video/IParticlePackage.h"
#include "video/ISpritePackage.h"
#include "video/ITexture.h"
#include "video/null/CImage.h"
#include "video/null/CImageLoaderBmp.h"
#include "video/null/CImageLoaderJPG.h"
#include "video/null/CImageLoaderPCX.h"
#include "video/null/CImageLoaderPSD.h"
#include "video/null/CImageLoaderTGA.h"
#include "video/null/CImageWriterJPG.h"
#include "video/null/CNullMaterialRenderer.h"
#include "video/null/CNullMesh.h"
#include "video/null/CNullTexture.h"
#include "video/null/CSpritePackage.h"

#include <chrono>
#include <cmath>
#include <cstring>
#include <ctime>

using zu::core::CString;
using zu::core::ELL_ERROR;
using zu::core::ELL_INFORMATION;
using zu::core::SDimension2i;
using zu::core::zuLog;
using namespace zu::video;

namespace kelvo::video
{

namespace
{

uint32_t steadyMilliseconds()
{
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

int64_t unixSeconds() { return int64_t(time(nullptr)); }

// Curve points become whole pixels; values no pixel can have are pinned.
int32_t toPixel(float value)
{
    if (!(value == value))
        return 0;
    if (value >= 2147483520.f)
        return 2147483520;
    if (value <= -2147483520.f)
        return -2147483520;
    return int32_t(value);
}

} // namespace

CVideoNull::CVideoNull(zu::io::IFileSystem* fileSystem, SDimension2i screenSize,
                       zu::IKelvoDevice* device)
    : m_device(device), m_fileSystem(fileSystem), m_renderSize(screenSize),
      m_screenSize(screenSize), m_millisecondClock(steadyMilliseconds),
      m_secondClock(unixSeconds)
{
    if (m_fileSystem)
        m_fileSystem->grab();
    m_viewPort = {0, 0, screenSize.width, screenSize.height};
    compute2DMapping();
    setTextureFlag(ETCF_OPTIMIZED_FOR_SPEED, true);
    setTextureFlag(ETCF_CREATE_MIP_MAPS, false);

    IImageLoader* loaders[] = {new CImageLoaderBmp(), new CImageLoaderJPG(),
                               new CImageLoaderTGA(), new CImageLoaderPSD(),
                               new CImageLoaderPCX()};
    for (IImageLoader* loader : loaders)
    {
        addImageLoader(loader);
        loader->drop();
    }

    // Placeholders for the built-in types, one lightmap object for its seven
    // variants, so material numbers are the same on every driver.
    IMaterialRenderer* solid = new CNullMaterialRenderer(false);
    IMaterialRenderer* lightmap = new CNullMaterialRenderer(false);
    IMaterialRenderer* transparent = new CNullMaterialRenderer(true);
    for (int type = 0; type < EMT_BUILT_IN_COUNT; ++type)
    {
        if (type >= EMT_LIGHTMAP && type <= EMT_LIGHTMAP_LIGHTING_M4)
            addRenderer(lightmap);
        else if (type >= EMT_TRANSPARENT_ADD_COLOR)
            addRenderer(transparent);
        else
            addRenderer(solid);
    }
    solid->drop();
    lightmap->drop();
    transparent->drop();

    m_lastMaterial.MaterialType = -1;
    m_lastFpsTime = m_millisecondClock();
}

CVideoNull::~CVideoNull()
{
    releaseBatch();
    removeAllResources();
    if (m_fileSystem)
        m_fileSystem->drop();
}

void CVideoNull::releaseBatch()
{
    setBatchTexture(nullptr);
    zu::dropAndClear(m_batchMesh);
    m_batchState.mesh = nullptr;
}

void CVideoNull::setClocks(MillisecondClock milliseconds, SecondClock seconds)
{
    m_millisecondClock = milliseconds ? milliseconds : steadyMilliseconds;
    m_secondClock = seconds ? seconds : unixSeconds;
    m_lastFpsTime = m_millisecondClock();
}

// ---------------------------------------------------------------- frame

bool CVideoNull::beginScene(bool, bool, uint32_t, bool)
{
    batchMesh();
    m_primitivesDrawn = 0;
    return true;
}

bool CVideoNull::endScene()
{
    ++m_framesCounted;
    uint32_t now = m_millisecondClock();
    uint32_t elapsed = now - m_lastFpsTime;
    if (elapsed > 2000)
    {
        m_fps = int(double(m_framesCounted) / (double(elapsed) * 0.001));
        m_lastFpsTime = now;
        m_framesCounted = 0;
    }
    flush2D();
    return true;
}

void CVideoNull::flush2D()
{
    if (m_batchMesh)
        flushBatch(m_batchState.stages[0].texture, m_batchAlphaChannel,
                   m_batchState.stages[0].filter);
}

// ---------------------------------------------------------------- states

void CVideoNull::setTransform(ETransformState state, const zu::core::CMatrix4& matrix)
{
    if (state >= 0 && state < ETS_COUNT)
    {
        m_matrices[state] = matrix;
        m_transformChanged = true;
    }
}

const zu::core::CMatrix4& CVideoNull::getTransform(ETransformState state) const
{
    return m_matrices[(state >= 0 && state < ETS_COUNT) ? state : 0];
}

void CVideoNull::setTexture(int stage, ITexture* texture)
{
    if (!ZU_CHECK(stage >= 0) || !ZU_CHECK(stage < zu::video::MATERIAL_MAX_TEXTURES))
        return;
    m_currentTextures[stage] = texture;
}

void CVideoNull::setMaterial(const MaterialState& material)
{
    // A type without a renderer is kept as given; drawing resolves it.
    m_material = material;
    for (int i = 0; i < MATERIAL_MAX_TEXTURES; ++i)
        setTexture(i, material.Textures[i]);
}

void CVideoNull::setUseMaterialFor2D(bool on)
{
    if (on == m_useMaterialFor2D)
        return;
    flush2D();
    m_useMaterialFor2D = on;
    m_materialDirty2D = true;
}

void CVideoNull::setForcePointSampling(bool on)
{
    if (on == m_forcePointSampling)
        return;
    flush2D();
    m_forcePointSampling = on;
    m_texelInset = on ? 0.f : 0.5f;
}

int32_t CVideoNull::resolveMaterialType(int32_t type)
{
    if (type >= 0 && type < int32_t(m_materialRenderers.size()))
        return type;
    int32_t fallback = m_materialRenderers.empty() ? -1 : int32_t(EMT_SOLID);
    if (m_reportedMaterialTypes.insert(type).second)
        zuLog(ELL_ERROR, "Material type %d has no renderer; %s", type,
              fallback < 0 ? "nothing is bound" : "drawing with the solid material");
    return fallback;
}

void CVideoNull::switchMaterialRenderer(bool resetAllRenderStates)
{
    int32_t type = resolveMaterialType(m_material.MaterialType);
    int32_t last = m_lastMaterial.MaterialType;
    if (type != last && last >= 0 && last < int32_t(m_materialRenderers.size()))
        m_materialRenderers[size_t(last)]->unbind();
    if (type >= 0)
    {
        MaterialState material = m_material;
        material.MaterialType = type;
        m_materialRenderers[size_t(type)]->bind(material, m_lastMaterial, resetAllRenderStates,
                                                this);
        m_lastMaterial = material;
    }
    m_resetRenderStates = false;
}

int32_t CVideoNull::addRenderer(IMaterialRenderer* renderer)
{
    if (!ZU_CHECK(renderer))
        return -1;
    renderer->grab();
    m_materialRenderers.push_back(renderer);
    return int32_t(m_materialRenderers.size()) - 1;
}

IMaterialRenderer* CVideoNull::getRenderer(int32_t index) const
{
    if (index < 0 || index >= int32_t(m_materialRenderers.size()))
        return nullptr;
    return m_materialRenderers[size_t(index)];
}

void CVideoNull::removeAllMaterialRenderers()
{
    // One reference per registry entry, so a renderer registered for several
    // types is released as often as it was added.
    for (IMaterialRenderer* renderer : m_materialRenderers)
        renderer->drop();
    m_materialRenderers.clear();
    m_lastMaterial.MaterialType = -1;
}

// ---------------------------------------------------------------- textures

ITexture* CVideoNull::createApiTexture(const CString& name, IImage* image)
{
    if (!image || name.empty())
        return nullptr;
    return new CNullTexture(name, image);
}

ITexture* CVideoNull::createTargetTexture(const CString& name, SDimension2i size, ECOLOR_FORMAT)
{
    if (name.empty())
        return nullptr;
    return new CNullTexture(name, size);
}

ITexture* CVideoNull::findTexture(const CString& name) const
{
    return name.empty() ? nullptr : zu::findEntry(m_textures, name);
}

bool CVideoNull::addToCache(const CString& name, ITexture* texture)
{
    if (!texture || name.empty() || findTexture(name))
        return false;
    texture->grab();
    m_textures[name] = texture;
    return true;
}

ITexture* CVideoNull::getTexture(zu::io::IReadFile* file)
{
    if (!file)
        return nullptr;
    const CString name = file->getFileName();
    if (name.empty())
        return nullptr;
    if (ITexture* cached = findTexture(name))
        return cached;
    ITexture* texture = nullptr;
    if (IImage* image = createImage(file))
    {
        texture = createApiTexture(name, image);
        zuLog(ELL_INFORMATION, "Loaded texture: %s", name.c_str());
        image->drop();
    }
    if (!texture)
    {
        zuLog(ELL_ERROR, "Could not load texture: %s", name.c_str());
        return nullptr;
    }
    addToCache(name, texture);
    texture->drop();
    return texture;
}

ITexture* CVideoNull::getTexture(const CString& name)
{
    if (name.empty())
        return nullptr;
    if (ITexture* cached = findTexture(name))
        return cached;
    // A texture is cached under its file's name; a name that reached the same
    // file another way ("$GAME_RESOURCES$/..." or a relative path) finds it
    // again without opening the file on every call.
    auto alias = m_textureAliases.find(name);
    if (alias != m_textureAliases.end())
    {
        if (ITexture* cached = findTexture(alias->second))
            return cached;
        m_textureAliases.erase(alias);
    }
    if (!m_fileSystem)
        return nullptr;
    zu::io::IReadFile* file = m_fileSystem->createAndOpenFile(name);
    if (!file)
        return nullptr;
    ITexture* texture = getTexture(file);
    if (texture && file->getFileName() != name)
        m_textureAliases[name] = file->getFileName();
    file->drop();
    return texture;
}

ITexture* CVideoNull::addTexture(IImage* image, const CString& name)
{
    if (!image || name.empty())
        return nullptr;
    if (findTexture(name))
    {
        zuLog(ELL_ERROR, "A texture of that name exists already: %s", name.c_str());
        return nullptr;
    }
    ITexture* texture = createApiTexture(name, image);
    if (!texture)
        return nullptr;
    addToCache(name, texture);
    texture->drop();
    return texture;
}

ITexture* CVideoNull::addTexture(SDimension2i size, const CString& name, ECOLOR_FORMAT format,
                                 bool renderTarget)
{
    if (name.empty())
        return nullptr;
    if (findTexture(name))
    {
        zuLog(ELL_ERROR, "A texture of that name exists already: %s", name.c_str());
        return nullptr;
    }
    if (size.width <= 0 || size.height <= 0 || CImage::bitsPerPixelOf(format) == 0 ||
        !CImage::isSizeAcceptable(size.width, size.height, 4))
    {
        zuLog(ELL_ERROR, "Could not create a texture of %dx%d: %s", size.width, size.height,
              name.c_str());
        return nullptr;
    }
    ITexture* texture = nullptr;
    if (renderTarget)
    {
        texture = createTargetTexture(name, size, format);
    }
    else
    {
        CImage* image = new CImage(format, size);
        image->clear();
        texture = createApiTexture(name, image);
        image->drop();
    }
    if (!texture)
        return nullptr;
    addToCache(name, texture);
    texture->drop();
    return texture;
}

void CVideoNull::forgetTexture(ITexture* texture)
{
    for (int i = 0; i < MATERIAL_MAX_TEXTURES; ++i)
    {
        if (m_currentTextures[i] == texture)
            m_currentTextures[i] = nullptr;
        if (m_material.Textures[i] == texture)
            m_material.Textures[i] = nullptr;
        if (m_lastMaterial.Textures[i] == texture)
            m_lastMaterial.Textures[i] = nullptr;
    }
    if (m_renderTarget == texture)
        setRenderTarget(nullptr);
}

void CVideoNull::removeTexture(const CString& name)
{
    auto it = m_textures.find(name);
    if (it == m_textures.end())
        return;
    ITexture* texture = it->second;
    m_textures.erase(it);
    forgetTexture(texture);
    texture->drop();
}

void CVideoNull::removeTexture(ITexture* texture)
{
    for (auto it = m_textures.begin(); it != m_textures.end(); ++it)
        if (it->second == texture)
        {
            m_textures.erase(it);
            forgetTexture(texture);
            texture->drop();
            return;
        }
}

void CVideoNull::removeAllTextures()
{
    std::map<CString, ITexture*> textures;
    textures.swap(m_textures);
    for (auto& entry : textures)
    {
        forgetTexture(entry.second);
        entry.second->drop();
    }
}

void CVideoNull::setTextureFlag(uint32_t flag, bool on)
{
    const uint32_t depthGroup = ETCF_ALWAYS_16_BIT | ETCF_ALWAYS_32_BIT |
                                ETCF_OPTIMIZED_FOR_QUALITY | ETCF_OPTIMIZED_FOR_SPEED;
    if (on && (flag == ETCF_ALWAYS_16_BIT || flag == ETCF_ALWAYS_32_BIT ||
               flag == ETCF_OPTIMIZED_FOR_QUALITY || flag == ETCF_OPTIMIZED_FOR_SPEED))
        m_textureFlags &= ~depthGroup;
    if (on)
        m_textureFlags |= flag;
    else
        m_textureFlags &= ~flag;
}

void CVideoNull::applyColorKey(ITexture* texture, zu::video::SPosition2i pixel)
{
    if (!texture)
        return;
    ECOLOR_FORMAT format = texture->getColorFormat();
    if (format != ECF_A1R5G5B5 && format != ECF_A8R8G8B8)
    {
        zuLog(ELL_ERROR, "Error: Unsupported texture color format for making color key channel.");
        return;
    }
    SDimension2i size = texture->getSize();
    if (pixel.x < 0 || pixel.y < 0 || pixel.x >= size.width || pixel.y >= size.height)
    {
        zuLog(ELL_ERROR, "Color key position %d, %d is outside the texture %s", pixel.x, pixel.y,
              texture->getName().c_str());
        return;
    }
    const uint8_t* p = static_cast<const uint8_t*>(texture->lock());
    if (!p)
    {
        zuLog(ELL_ERROR, "Could not lock texture for making color key channel.");
        return;
    }
    size_t at = size_t(pixel.y) * size_t(size.width) + size_t(pixel.x);
    uint32_t key;
    if (format == ECF_A8R8G8B8)
    {
        memcpy(&key, p + at * 4, 4);
        texture->unlock();
        applyColorKey(texture, key);
        return;
    }
    uint16_t key16;
    memcpy(&key16, p + at * 2, 2);
    texture->unlock();
    // Expand the 15 bits so the colour variant reduces them to the same key.
    key = uint32_t((key16 >> 10) & 0x1F) << 19 | uint32_t((key16 >> 5) & 0x1F) << 11 |
          uint32_t(key16 & 0x1F) << 3;
    applyColorKey(texture, key);
}

void CVideoNull::applyColorKey(ITexture* texture, uint32_t color)
{
    if (!texture)
        return;
    ECOLOR_FORMAT format = texture->getColorFormat();
    if (format != ECF_A1R5G5B5 && format != ECF_A8R8G8B8)
    {
        zuLog(ELL_ERROR, "Error: Unsupported texture color format for making color key channel.");
        return;
    }
    uint8_t* p = static_cast<uint8_t*>(texture->lock());
    if (!p)
    {
        zuLog(ELL_ERROR, "Could not lock texture for making color key channel.");
        return;
    }
    const size_t bytes = format == ECF_A8R8G8B8 ? 4 : 2;
    const int32_t pitch = texture->getPitch();
    const int32_t height = texture->getSize().height;
    const size_t count = pitch > 0 && height > 0 ? size_t(pitch) / bytes * size_t(height) : 0;
    if (format == ECF_A8R8G8B8)
    {
        const uint32_t key = color & 0x00FFFFFF;
        for (size_t i = 0; i < count; ++i)
        {
            uint32_t v;
            memcpy(&v, p + i * 4, 4);
            v = (v & 0x00FFFFFF) == key ? 0 : (v | 0xFF000000u);
            memcpy(p + i * 4, &v, 4);
        }
    }
    else
    {
        const uint16_t key = uint16_t(((color >> 19) & 0x1F) << 10 | ((color >> 11) & 0x1F) << 5 |
                                      ((color >> 3) & 0x1F));
        for (size_t i = 0; i < count; ++i)
        {
            uint16_t v;
            memcpy(&v, p + i * 2, 2);
            v = (v & 0x7FFF) == key ? 0 : uint16_t(v | 0x8000);
            memcpy(p + i * 2, &v, 2);
        }
    }
    texture->unlock();
}

// ---------------------------------------------------------------- images

IImage* CVideoNull::createImage(zu::io::IReadFile* file)
{
    if (!file)
        return nullptr;
    const CString& name = file->getFileName();
    for (IImageLoader* loader : m_imageLoaders)
        if (loader->acceptsName(name))
        {
            file->seek(0);
            if (IImage* image = loader->load(file))
                return image;
        }
    for (IImageLoader* loader : m_imageLoaders)
    {
        file->seek(0);
        if (!loader->acceptsContent(file))
            continue;
        file->seek(0);
        if (IImage* image = loader->load(file))
            return image;
    }
    return nullptr;
}

IImage* CVideoNull::createImage(const CString& path)
{
    zu::io::IReadFile* file =
        (m_fileSystem && !path.empty()) ? m_fileSystem->createAndOpenFile(path) : nullptr;
    if (!file)
    {
        zuLog(ELL_ERROR, "Could not open file of image: %s", path.c_str());
        return nullptr;
    }
    IImage* image = createImage(file);
    file->drop();
    return image;
}

IImage* CVideoNull::wrapImageData(ECOLOR_FORMAT format, SDimension2i size, uint8_t* data)
{
    return new CImage(format, size, data);
}

void CVideoNull::addImageLoader(IImageLoader* loader)
{
    if (!loader)
        return;
    loader->grab();
    m_imageLoaders.push_back(loader);
}

// ---------------------------------------------------------------- packages

ISpritePackage* CVideoNull::createSpritePackage(bool keepStates)
{
    return new CSpritePackage(this, m_fileSystem, keepStates);
}

IParticlePackage* CVideoNull::createParticlePackage() { return nullptr; }

ISpritePackage* CVideoNull::findSpritePackage(const CString& path) const
{
    return path.empty() ? nullptr : zu::findEntry(m_spritePackages, path);
}

ISpritePackage* CVideoNull::getSpritePackage(const CString& path, bool keepStates,
                                             bool logErrors)
{
    if (path.empty())
        return nullptr;
    if (ISpritePackage* cached = findSpritePackage(path))
        return cached;
    zu::io::IReadFile* file = m_fileSystem ? m_fileSystem->createAndOpenFile(path) : nullptr;
    if (!file)
    {
        if (logErrors)
            zuLog(ELL_ERROR, "Could not find a sprite package file: %s", path.c_str());
        return nullptr;
    }
    ISpritePackage* package = createSpritePackage(keepStates);
    bool ok = package && package->read(file, path);
    file->drop();
    if (!ok)
    {
        if (package)
            package->drop();
        if (logErrors)
            zuLog(ELL_ERROR, "Could not read a sprite package file: %s", path.c_str());
        return nullptr;
    }
    m_spritePackages[path] = package;
    zuLog(ELL_INFORMATION, "Loaded sprite package: %s", path.c_str());
    return package;
}

void CVideoNull::removeSpritePackage(const CString& path) { zu::dropEntry(m_spritePackages, path); }

void CVideoNull::removeAllSpritePackages() { zu::dropAll(m_spritePackages); }

IParticlePackage* CVideoNull::findParticlePackage(const CString& path) const
{
    return path.empty() ? nullptr : zu::findEntry(m_particlePackages, path);
}

IParticlePackage* CVideoNull::getParticlePackage(const CString& path)
{
    if (path.empty())
        return nullptr;
    if (IParticlePackage* cached = findParticlePackage(path))
        return cached;
    zu::io::IReadFile* file = m_fileSystem ? m_fileSystem->createAndOpenFile(path) : nullptr;
    IParticlePackage* package = nullptr;
    if (!file)
    {
        zuLog(ELL_ERROR, "Could not open file of particle package: %s", path.c_str());
    }
    else
    {
        package = createParticlePackage();
        if (package && package->read(file, path))
        {
            m_particlePackages[path] = package;
            zuLog(ELL_INFORMATION, "Loaded particle package: %s", file->getFileName().c_str());
        }
        else if (package)
        {
            package->drop();
            package = nullptr;
        }
        file->drop();
    }
    if (!package)
        zuLog(ELL_ERROR, "Could not load particle package: %s", path.c_str());
    return package;
}

void CVideoNull::removeParticlePackage(const CString& path)
{
    zu::dropEntry(m_particlePackages, path);
}

void CVideoNull::removeAllParticlePackages() { zu::dropAll(m_particlePackages); }

void CVideoNull::removeAllResources()
{
    removeAllTextures();
    removeAllParticlePackages();
    removeAllSpritePackages();
    for (IImageLoader* loader : m_imageLoaders)
        loader->drop();
    m_imageLoaders.clear();
    removeAllMaterialRenderers();
}

// ---------------------------------------------------------------- meshes, targets

Mesh* CVideoNull::createMesh(EPrimitiveType type, const EVertexFeature* format,
                             uint16_t vertexCapacity)
{
    return new CNullMesh(type, format, vertexCapacity);
}

bool CVideoNull::setRenderTarget(ITexture* texture)
{
    flush2D();
    m_renderTarget = texture;
    return true;
}

void CVideoNull::submit(RenderState& renderState)
{
    if (renderState.mesh)
        m_primitivesDrawn += renderState.mesh->getPrimitiveCount();
    drawRenderState(renderState);
}

// ---------------------------------------------------------------- sizes and the 2D mapping

void CVideoNull::compute2DMapping()
{
    int32_t w = m_renderSize.width;
    int32_t h = m_renderSize.height;
    // Half the size, rounded up, without overflowing at the largest sizes.
    int32_t hw = w / 2 + (w & 1);
    int32_t hh = h / 2 + (h & 1);
    // A size of zero would divide by zero; such a mapping draws nothing useful
    // anyway, so it maps like a two-pixel screen.
    if (hw <= 0)
        hw = 1;
    if (hh <= 0)
        hh = 1;
    m_ndcScaleX = 1.f / float(hw);
    m_ndcScaleY = 1.f / float(hh);
    m_ndcOffsetX = m_originX - hw;
    m_ndcOffsetY = hh - m_originY;
}

SVector2f CVideoNull::map2D(float x, float y) const
{
    return {(x + float(m_ndcOffsetX)) * m_ndcScaleX, (float(m_ndcOffsetY) - y) * m_ndcScaleY};
}

void CVideoNull::onResize(SDimension2i size)
{
    m_renderSize = m_screenSize = size;
    compute2DMapping();
}

void CVideoNull::setRenderScreenSize(int32_t width, int32_t height)
{
    if (width > 0)
        m_renderSize = {width, height};
    else
        m_renderSize = m_screenSize;
    compute2DMapping();
}

void CVideoNull::set2DOrigin(int32_t x, int32_t y)
{
    m_originX = x;
    m_originY = y;
    compute2DMapping();
}

bool CVideoNull::switchFullscreen(bool on, SDimension2i)
{
    m_fullscreen = on;
    return true;
}

void CVideoNull::setFog(uint32_t color, bool linear, float start, float end, float density,
                        bool pixelFog, bool rangeFog)
{
    m_fogColor = color;
    m_fogLinear = linear;
    m_fogStart = start;
    m_fogEnd = end;
    m_fogDensity = density;
    m_pixelFog = pixelFog;
    m_rangeFog = rangeFog;
}

const SLight* CVideoNull::getLight(int32_t index) const
{
    if (index < 0 || index >= int32_t(m_lights.size()))
        return nullptr;
    return &m_lights[size_t(index)];
}

// ---------------------------------------------------------------- screenshots

bool CVideoNull::readPixels(ITexture* texture, std::vector<uint8_t>& rgbRows, SDimension2i& size)
{
    if (!texture)
        return false;
    size = texture->getSize();
    const int32_t bytes = CImage::bitsPerPixelOf(texture->getColorFormat()) / 8;
    const int32_t pitch = texture->getPitch();
    if (size.width <= 0 || size.height <= 0 || bytes <= 0 || pitch < size.width * bytes)
        return false;
    const uint8_t* p = static_cast<const uint8_t*>(texture->lock());
    if (!p)
        return false;
    rgbRows.resize(size_t(size.width) * size_t(size.height) * 3);
    uint8_t* out = rgbRows.data();
    const ECOLOR_FORMAT format = texture->getColorFormat();
    for (int32_t y = 0; y < size.height; ++y)
        for (int32_t x = 0; x < size.width; ++x)
        {
            uint32_t c = CImage::decodePixel(
                p + size_t(y) * size_t(pitch) + size_t(x) * size_t(bytes), format);
            *out++ = uint8_t(c >> 16);
            *out++ = uint8_t(c >> 8);
            *out++ = uint8_t(c);
        }
    texture->unlock();
    return true;
}

bool CVideoNull::writeScreenshot(const CString& folder, const CString& name, ITexture* texture)
{
    std::vector<uint8_t> rows;
    SDimension2i size;
    if (!readPixels(texture, rows, size) || size.width <= 0 || size.height <= 0 ||
        rows.size() < size_t(size.width) * size_t(size.height) * 3)
        return false;
    return writeScreenshotFile(folder, name, rows.data(), size);
}

bool CVideoNull::writeScreenshotFile(const CString& folder, const CString& name,
                                     const uint8_t* rgbRows, SDimension2i size)
{
    if (!m_fileSystem || !rgbRows || size.width <= 0 || size.height <= 0)
        return false;
    const CString stem = folder + (name.empty() ? CString("Screen-") : name) +
                         CString::fromInt(m_secondClock());
    // Bounded so a file system that reports every name as taken can't spin.
    for (int i = 0; i < 100000; ++i)
    {
        CString fileName = stem + (i <= 9 ? "-0" : "-") + CString::fromInt(i) + ".jpg";
        if (m_fileSystem->existFile(fileName))
            continue;
        zu::io::IWriteFile* file = m_fileSystem->createAndWriteFile(fileName);
        if (!file)
            return false;
        bool written =
            CImageWriterJPG::writeImage(file, rgbRows, size.width, size.height, 100);
        file->drop();
        if (written)
            zuLog(ELL_INFORMATION, "Screenshot written: %s", fileName.c_str());
        return written;
    }
    return false;
}

// ---------------------------------------------------------------- the 2D batch

Mesh* CVideoNull::batchMesh()
{
    if (!m_batchMesh)
    {
        m_batchMesh = createMesh(PT_TRIANGLE_LIST, FORMAT_2D_BATCH, 0);
        m_batchState.mesh = m_batchMesh;
    }
    return m_batchMesh;
}

void CVideoNull::setBatchTexture(ITexture* texture)
{
    // The batch keeps its texture alive until it has been drawn, even when the
    // cache or a script lets go of it in between.
    ITexture*& current = m_batchState.stages[0].texture;
    if (current == texture)
        return;
    if (texture)
        texture->grab();
    if (current)
        current->drop();
    current = texture;
}

void CVideoNull::flushBatch(ITexture* texture, bool alphaChannel, bool filter)
{
    Mesh* mesh = batchMesh();
    if (mesh->getVertexCount() > 0)
    {
        prepare2DStates(true, true, m_batchAlphaChannel, m_batchState.stages[0].filter);
        submit(m_batchState);
    }
    if (m_materialDirty2D)
    {
        int32_t last = m_lastMaterial.MaterialType;
        if (last >= 0 && last < int32_t(m_materialRenderers.size()))
            m_materialRenderers[size_t(last)]->unbind();
        int32_t type = resolveMaterialType(m_material.MaterialType);
        if (m_useMaterialFor2D)
        {
            if (type >= 0)
            {
                MaterialState material = m_material;
                material.MaterialType = type;
                m_materialRenderers[size_t(type)]->bind(material, m_lastMaterial,
                                                        m_resetRenderStates, this);
                m_lastMaterial = material;
            }
            else
            {
                m_lastMaterial.MaterialType = -1;
            }
        }
        else
        {
            if (type >= 0)
                m_materialRenderers[size_t(type)]->unbind();
            m_lastMaterial.MaterialType = -1;
        }
        m_materialDirty2D = false;
    }
    setBatchTexture(texture);
    m_batchAlphaChannel = alphaChannel;
    m_batchState.stages[0].filter = filter;
    mesh->clear();
}

void CVideoNull::appendQuad(const SVector2f corners[4], const uint32_t colors[4],
                            const SVector2f uv[4])
{
    // Corners and uv in the order top-left, top-right, bottom-left,
    // bottom-right; colours top-left, bottom-left, bottom-right, top-right.
    static const int kColorOf[4] = {0, 3, 1, 2};
    Mesh* mesh = batchMesh();
    uint16_t base = mesh->getVertexCount();
    for (int i = 0; i < 4; ++i)
    {
        S3DVertex v;
        SVector2f p = map2D(corners[i].x, corners[i].y);
        v.x = p.x;
        v.y = p.y;
        v.color = colors[kColorOf[i]];
        v.u = uv[i].x;
        v.v = uv[i].y;
        mesh->addVertex(v);
    }
    const uint16_t order[6] = {0, 1, 3, 2, 0, 3};
    for (uint16_t i : order)
        mesh->addIndex(uint16_t(base + i));
}

bool CVideoNull::drawImageQuad(ITexture* texture, SVector2f topLeft, SVector2f topRight,
                               SVector2f bottomLeft, SVector2f bottomRight,
                               const SRecti& sourceRect, const uint32_t colors[4],
                               bool useAlphaChannel, bool filter)
{
    if (!ZU_CHECK(texture) || !colors)
        return false;
    Mesh* mesh = batchMesh();
    bool flushed = false;
    if (texture != m_batchState.stages[0].texture || useAlphaChannel != m_batchAlphaChannel ||
        filter != m_batchState.stages[0].filter || m_materialDirty2D ||
        mesh->getIndexCount() > BATCH_QUAD_LIMIT || mesh->getVertexCount() > Mesh::MAX_COUNT - 4)
    {
        flushBatch(texture, useAlphaChannel, filter);
        flushed = true;
    }
    SDimension2i size = texture->getSourceSize();
    if (size.width <= 0 || size.height <= 0)
        return flushed;
    const float w = float(size.width);
    const float h = float(size.height);
    const float inset = m_texelInset;
    const float u0 = (float(sourceRect.left) + inset) / w;
    const float v0 = (float(sourceRect.top) + inset) / h;
    const float u1 = (float(sourceRect.right) - inset) / w;
    const float v1 = (float(sourceRect.bottom) - inset) / h;
    const SVector2f corners[4] = {topLeft, topRight, bottomLeft, bottomRight};
    const SVector2f uv[4] = {{u0, v0}, {u1, v0}, {u0, v1}, {u1, v1}};
    appendQuad(corners, colors, uv);
    return flushed;
}

void CVideoNull::drawImage(ITexture* texture, SPosition2i position, const SRecti& sourceRect,
                           const SRecti* clipRect, uint32_t color, bool useAlphaChannel)
{
    if (!ZU_CHECK(texture))
        return;
    float x0 = float(position.x);
    float y0 = float(position.y);
    float x1 = float(int64_t(position.x) + sourceRect.getWidth());
    float y1 = float(int64_t(position.y) + sourceRect.getHeight());
    if (clipRect)
    {
        // Clamping squeezes a clipped image rather than cutting it.
        auto clamp = [](float v, int32_t lo, int32_t hi)
        { return v < float(lo) ? float(lo) : v > float(hi) ? float(hi) : v; };
        x0 = clamp(x0, clipRect->left, clipRect->right);
        x1 = clamp(x1, clipRect->left, clipRect->right);
        y0 = clamp(y0, clipRect->top, clipRect->bottom);
        y1 = clamp(y1, clipRect->top, clipRect->bottom);
    }
    const uint32_t colors[4] = {color, color, color, color};
    drawImageQuad(texture, {x0, y0}, {x1, y0}, {x0, y1}, {x1, y1}, sourceRect, colors,
                  useAlphaChannel, false);
}

void CVideoNull::drawImage(ITexture* texture, SPosition2i position)
{
    if (!ZU_CHECK(texture))
        return;
    SDimension2i size = texture->getSourceSize();
    drawImage(texture, position, {0, 0, size.width, size.height}, nullptr, 0xFFFFFFFF, false);
}

void CVideoNull::drawImageScaled(ITexture* texture, SVector2f position, const SRecti& sourceRect,
                                 float scale, uint32_t color, bool useAlphaChannel)
{
    if (!ZU_CHECK(texture))
        return;
    const float w = float(sourceRect.getWidth()) * scale;
    const float h = float(sourceRect.getHeight()) * scale;
    const float x = position.x;
    const float y = position.y;
    const uint32_t colors[4] = {color, color, color, color};
    drawImageQuad(texture, {x, y}, {x + w, y}, {x, y + h}, {x + w, y + h}, sourceRect, colors,
                  useAlphaChannel, true);
}

void CVideoNull::drawRectangle(uint32_t color, const SRecti& rect, const SRecti* clipRect)
{
    SRecti r = rect;
    if (clipRect)
    {
        if (clipRect->top >= r.bottom || r.top >= clipRect->bottom ||
            clipRect->left >= r.right || r.left >= clipRect->right)
            return;
        r.left = r.left > clipRect->left ? r.left : clipRect->left;
        r.top = r.top > clipRect->top ? r.top : clipRect->top;
        r.right = r.right < clipRect->right ? r.right : clipRect->right;
        r.bottom = r.bottom < clipRect->bottom ? r.bottom : clipRect->bottom;
    }
    const bool alpha = color < 0xFF000000u;
    Mesh* mesh = batchMesh();
    if (m_batchState.stages[0].texture || m_batchAlphaChannel != alpha ||
        m_batchState.stages[0].filter || m_materialDirty2D ||
        mesh->getIndexCount() > BATCH_QUAD_LIMIT || mesh->getVertexCount() > Mesh::MAX_COUNT - 4)
        flushBatch(nullptr, alpha, false);
    const float l = float(r.left), t = float(r.top), rr = float(r.right), b = float(r.bottom);
    const SVector2f corners[4] = {{l, t}, {rr, t}, {l, b}, {rr, b}};
    const uint32_t colors[4] = {color, color, color, color};
    const SVector2f uv[4] = {};
    appendQuad(corners, colors, uv);
}

void CVideoNull::drawLine(SPosition2i start, SPosition2i end, uint32_t color)
{
    Mesh* batch = batchMesh();
    if (m_batchState.stages[0].texture || m_batchAlphaChannel || m_batchState.stages[0].filter ||
        m_materialDirty2D || batch->getIndexCount() > BATCH_LINE_LIMIT)
        flushBatch(nullptr, false, false);
    Mesh* mesh = createMesh(PT_LINE_LIST, FORMAT_2D_LINE, 2);
    for (SPosition2i point : {start, end})
    {
        S3DVertex v;
        SVector2f p = map2D(float(point.x), float(point.y));
        v.x = p.x;
        v.y = p.y;
        v.color = color;
        mesh->addVertex(v);
    }
    RenderState state;
    state.mesh = mesh;
    submit(state);
    mesh->drop();
}

void CVideoNull::drawVertexBatch(ITexture* texture, const SVector2f* positions,
                                 const SVector2f* texCoords, const uint32_t* colors,
                                 const uint32_t* indices, int32_t vertexCount,
                                 int32_t indexCount)
{
    if (!positions || vertexCount <= 0 || indexCount < 0 || (indexCount > 0 && !indices))
        return;
    if (uint32_t(vertexCount) > Mesh::MAX_COUNT || uint32_t(indexCount) > Mesh::MAX_COUNT)
    {
        zuLog(ELL_ERROR, "Vertex batch refused: %d vertices and %d indices pass the limit of %u",
              vertexCount, indexCount, unsigned(Mesh::MAX_COUNT));
        return;
    }
    for (int32_t i = 0; i < indexCount; ++i)
        if ((indices[i] & 0xFFFF) >= uint32_t(vertexCount))
        {
            zuLog(ELL_ERROR, "Vertex batch refused: index %u names no vertex of %d",
                  unsigned(indices[i] & 0xFFFF), vertexCount);
            return;
        }
    Mesh* mesh = batchMesh();
    if (texture != m_batchState.stages[0].texture || !m_batchAlphaChannel ||
        !m_batchState.stages[0].filter || m_materialDirty2D ||
        uint32_t(indexCount) + mesh->getIndexCount() > BATCH_VERTEX_LIMIT ||
        uint32_t(vertexCount) + mesh->getVertexCount() > Mesh::MAX_COUNT ||
        uint32_t(indexCount) + mesh->getIndexCount() > Mesh::MAX_COUNT)
        flushBatch(texture, true, true);
    const uint16_t base = mesh->getVertexCount();
    for (int32_t i = 0; i < vertexCount; ++i)
    {
        S3DVertex v;
        SVector2f p = map2D(positions[i].x, positions[i].y);
        v.x = p.x;
        v.y = p.y;
        v.color = colors ? colors[i] : 0xFFFFFFFF;
        if (texCoords)
        {
            v.u = texCoords[i].x;
            v.v = texCoords[i].y;
        }
        mesh->addVertex(v);
    }
    for (int32_t i = 0; i < indexCount; ++i)
        mesh->addIndex(uint16_t(base + (indices[i] & 0xFFFF)));
}

void CVideoNull::drawCurve(bool bezier, SVector2f start, SVector2f end, SVector2f startTangent,
                           SVector2f endTangent, float segments, uint32_t color)
{
    // Zero, negative and NaN counts would never reach t = 1.
    if (!(segments > 0.f) || !std::isfinite(segments))
        return;
    const float kMaxSegments = 65536.f;
    if (segments > kMaxSegments)
        segments = kMaxSegments;
    const float step = 1.f / segments;
    const SVector2f c1 = {start.x + startTangent.x, start.y + startTangent.y};
    const SVector2f c2 = {end.x + endTangent.x, end.y + endTangent.y};
    SVector2f previous = start;
    for (float t = 0.f; t < 1.f; t += step)
    {
        SVector2f point;
        if (bezier)
        {
            const float s = 1.f - t;
            const float a = s * s * s, b = 3.f * s * s * t, c = 3.f * s * t * t, d = t * t * t;
            point = {start.x * a + c1.x * b + c2.x * c + end.x * d,
                     start.y * a + c1.y * b + c2.y * c + end.y * d};
        }
        else
        {
            const float t2 = t * t, t3 = t2 * t;
            const float h1 = 2.f * t3 - 3.f * t2 + 1.f, h2 = t3 - 2.f * t2 + t;
            const float h3 = 3.f * t2 - 2.f * t3, h4 = t3 - t2;
            point = {start.x * h1 + startTangent.x * h2 + end.x * h3 + endTangent.x * h4,
                     start.y * h1 + startTangent.y * h2 + end.y * h3 + endTangent.y * h4};
        }
        drawLine({toPixel(previous.x), toPixel(previous.y)}, {toPixel(point.x), toPixel(point.y)},
                 color);
        previous = point;
    }
    drawLine({toPixel(previous.x), toPixel(previous.y)}, {toPixel(end.x), toPixel(end.y)}, color);
}

void CVideoNull::drawBezier(SVector2f start, SVector2f end, SVector2f startTangent,
                            SVector2f endTangent, float segments, uint32_t color)
{
    drawCurve(true, start, end, startTangent, endTangent, segments, color);
}

void CVideoNull::drawHermite(SVector2f start, SVector2f end, SVector2f startTangent,
                             SVector2f endTangent, float segments, uint32_t color)
{
    drawCurve(false, start, end, startTangent, endTangent, segments, color);
}

// ---------------------------------------------------------------- shader rectangles

void CVideoNull::drawShaderQuad(const SRecti& destRect, const SRecti& sourceRect,
                                SDimension2i sourceSize, const SRecti* secondRect,
                                const SDimension2i* secondSize)
{
    flushBatch(nullptr, false, false);
    const float inset = m_texelInset;
    auto coords = [inset](const SRecti& r, SDimension2i size, SVector2f out[4])
    {
        if (size.width <= 0 || size.height <= 0)
            return;
        const float w = float(size.width), h = float(size.height);
        const float u0 = (float(r.left) + inset) / w, v0 = (float(r.top) + inset) / h;
        const float u1 = (float(r.right) - inset) / w, v1 = (float(r.bottom) - inset) / h;
        out[0] = {u0, v0};
        out[1] = {u1, v0};
        out[2] = {u0, v1};
        out[3] = {u1, v1};
    };
    SVector2f first[4] = {}, second[4] = {};
    coords(sourceRect, sourceSize, first);
    if (secondRect && secondSize)
        coords(*secondRect, *secondSize, second);

    // Green grows to the right and red downwards, so a shader can tell where
    // in the rectangle it is.
    static const uint32_t kCornerColors[4] = {0x00000000, 0x0000FF00, 0x00FF0000, 0x00FFFF00};
    const float l = float(destRect.left), t = float(destRect.top);
    const float r = float(destRect.right), b = float(destRect.bottom);
    const SVector2f corners[4] = {{l, t}, {r, t}, {l, b}, {r, b}};
    Mesh* mesh = createMesh(PT_TRIANGLE_STRIP, FORMAT_SHADER_QUAD, 4);
    for (int i = 0; i < 4; ++i)
    {
        S3DVertex v;
        SVector2f p = map2D(corners[i].x, corners[i].y);
        v.x = p.x;
        v.y = p.y;
        v.nx = second[i].x;
        v.ny = second[i].y;
        v.nz = 0.f;
        v.color = kCornerColors[i];
        v.u = first[i].x;
        v.v = first[i].y;
        mesh->addVertex(v);
    }
    prepare2DStates(true, true, false, false);
    RenderState state;
    state.mesh = mesh;
    submit(state);
    mesh->drop();
}

void CVideoNull::drawShaderRect(int32_t materialType, const SRecti& destRect,
                                const SRecti* sourceRect, const SRecti* secondRect,
                                int secondStage)
{
    // A failed shader creation hands scripts -1; such a rectangle is skipped.
    if (materialType < 0 || materialType >= int32_t(m_materialRenderers.size()))
    {
        if (m_reportedMaterialTypes.insert(materialType).second)
            zuLog(ELL_ERROR, "Material type %d has no renderer; the shader rectangle is skipped",
                  materialType);
        return;
    }
    MaterialState material;
    material.MaterialType = materialType;
    for (int i = 0; i < MATERIAL_MAX_TEXTURES; ++i)
        material.Textures[i] = m_currentTextures[i];
    material.ZBuffer = false;
    material.ZWriteEnable = false;
    material.BilinearFilter = false;
    material.TrilinearFilter = false;

    SRecti r = sourceRect ? *sourceRect : destRect;
    if (m_renderSize != m_screenSize && m_renderSize.width > 0 && m_renderSize.height > 0)
    {
        const float sx = float(m_screenSize.width) / float(m_renderSize.width);
        const float sy = float(m_screenSize.height) / float(m_renderSize.height);
        r.left = toPixel(float(r.left) * sx);
        r.right = toPixel(float(r.right) * sx);
        r.top = toPixel(float(r.top) * sy);
        r.bottom = toPixel(float(r.bottom) * sy);
    }
    SDimension2i secondSize;
    const SRecti* second = nullptr;
    if (secondRect)
    {
        ITexture* secondTexture = (secondStage >= 0 && secondStage < MATERIAL_MAX_TEXTURES)
                                      ? material.Textures[secondStage]
                                      : nullptr;
        if (secondTexture)
        {
            secondSize = secondTexture->getSize();
            second = secondRect;
        }
        else if (m_reportedEmptyStages.insert(secondStage).second)
        {
            zuLog(ELL_ERROR, "Shader rectangle: texture stage %d is empty; its coordinates are 0",
                  secondStage);
        }
    }
    SDimension2i firstSize;
    if (material.Textures[0])
        firstSize = material.Textures[0]->getSize();

    const bool useMaterial = m_useMaterialFor2D;
    setUseMaterialFor2D(true);
    setMaterial(material);
    drawShaderQuad(destRect, r, firstSize, second, second ? &secondSize : nullptr);
    setUseMaterialFor2D(useMaterial);
}

void CVideoNull::drawShaderFullscreen(int32_t materialType)
{
    drawShaderRect(materialType, {0, 0, m_renderSize.width, m_renderSize.height}, nullptr,
                   nullptr, 0);
}

// ---------------------------------------------------------------- 3D primitives

void CVideoNull::drawTriangleList(const S3DVertex* vertices, int32_t vertexCount,
                                  const uint16_t* indices, int32_t triangleCount)
{
    if (!vertices || !indices || vertexCount <= 0 || triangleCount <= 0)
        return;
    const int64_t maximum = getMaxPrimitiveCount();
    if (int64_t(vertexCount) - 1 > maximum || uint32_t(vertexCount) > Mesh::MAX_COUNT)
    {
        zuLog(ELL_ERROR, "Could not draw triangles, too many vertices(%d), maximum is %d.",
              vertexCount, int(maximum < Mesh::MAX_COUNT ? maximum : Mesh::MAX_COUNT));
        return;
    }
    if (int64_t(triangleCount) * 3 > int64_t(Mesh::MAX_COUNT))
    {
        zuLog(ELL_ERROR, "Could not draw triangles, too many triangles(%d).", triangleCount);
        return;
    }
    const int32_t indexCount = triangleCount * 3;
    for (int32_t i = 0; i < indexCount; ++i)
        if (indices[i] >= vertexCount)
        {
            zuLog(ELL_ERROR, "Could not draw triangles, index %u names no vertex of %d.",
                  unsigned(indices[i]), vertexCount);
            return;
        }
    prepare3DStates();
    Mesh* mesh = createMesh(PT_TRIANGLE_LIST, FORMAT_TRIANGLES, 0);
    mesh->wrap(const_cast<S3DVertex*>(vertices), uint16_t(vertexCount), indices,
               uint16_t(indexCount));
    RenderState state;
    state.mesh = mesh;
    submit(state);
    mesh->drop();
}

void CVideoNull::drawLine3D(SVector3f a, SVector3f b, uint32_t color)
{
    SVector3f n = {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
    const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    if (length > 0.f)
        n = {n.x / length, n.y / length, n.z / length};
    S3DVertex v[4];
    const SVector3f points[4] = {a, b, {a.x + n.x, a.y + n.y, a.z + n.z},
                                 {b.x + n.x, b.y + n.y, b.z + n.z}};
    for (int i = 0; i < 4; ++i)
    {
        v[i].x = points[i].x;
        v[i].y = points[i].y;
        v[i].z = points[i].z;
        v[i].color = color;
        v[i].u = v[i].v = 0.f;
    }
    static const uint16_t kIndices[12] = {0, 1, 2, 0, 2, 1, 0, 1, 3, 0, 3, 1};
    drawTriangleList(v, 4, kIndices, 4);
}

void CVideoNull::drawTriangle3D(const STriangle3f& triangle, uint32_t color)
{
    drawLine3D(triangle.a, triangle.b, color);
    drawLine3D(triangle.b, triangle.c, color);
    drawLine3D(triangle.c, triangle.a, color);
}

void CVideoNull::drawBox3D(const SBox3f& box, uint32_t color)
{
    const SVector3f& lo = box.minEdge;
    const SVector3f& hi = box.maxEdge;
    const SVector3f c[8] = {{lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {lo.x, hi.y, lo.z},
                            {hi.x, hi.y, lo.z}, {lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z},
                            {lo.x, hi.y, hi.z}, {hi.x, hi.y, hi.z}};
    static const int kEdges[12][2] = {{0, 1}, {2, 3}, {4, 5}, {6, 7}, {0, 2}, {1, 3},
                                      {4, 6}, {5, 7}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
    for (const auto& edge : kEdges)
        drawLine3D(c[edge[0]], c[edge[1]], color);
}

} // namespace kelvo::video

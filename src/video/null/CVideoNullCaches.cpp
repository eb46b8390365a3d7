// The shared driver base's caches and what fills them: textures (loaded,
// made from images, blank or render targets) with colour keys and the
// texture creation flags, images through the image loaders, and the
// sprite and particle packages, each cache keyed by name or path and
// holding one reference on each entry.
#include "video/null/CVideoNull.h"

#include "core/Output.h"
#include "io/IFileSystem.h"
#include "io/IReadFile.h"
#include "video/IImageLoader.h"
#include "video/IParticlePackage.h"
#include "video/ISpritePackage.h"
#include "video/ITexture.h"
#include "video/null/CImage.h"
#include "video/null/CNullTexture.h"
#include "video/null/CParticlePackage.h"
#include "video/null/CSpritePackage.h"

#include <cstring>

using zu::core::CString;
using zu::core::ELL_ERROR;
using zu::core::ELL_INFORMATION;
using zu::core::SDimension2i;
using zu::core::zuLog;
using namespace zu::video;

namespace kelvo::video
{

// ---------------------------------------------------------------- textures

ITexture* CVideoNull::createApiTexture(const CString& name, IImage* image)
{
    if (!image || name.empty()) return nullptr;
    return new CNullTexture(name, image);
}

ITexture* CVideoNull::createTargetTexture(const CString& name, SDimension2i size, ECOLOR_FORMAT)
{
    if (name.empty()) return nullptr;
    return new CNullTexture(name, size);
}

ITexture* CVideoNull::findTexture(const CString& name) const
{
    return name.empty() ? nullptr : zu::findEntry(m_textures, name);
}

bool CVideoNull::addToCache(const CString& name, ITexture* texture)
{
    if (!texture || name.empty() || findTexture(name)) return false;
    texture->grab();
    m_textures[name] = texture;
    return true;
}

ITexture* CVideoNull::getTexture(zu::io::IReadFile* file)
{
    if (!file) return nullptr;
    const CString name = file->getFileName();
    if (name.empty()) return nullptr;
    if (ITexture* cached = findTexture(name)) return cached;
    ITexture* texture = nullptr;
    if (IImage* image = createImage(file))
    {
        texture = createApiTexture(name, image);
        zuLog(ELL_INFORMATION, "Loaded texture: %s", name.c_str());
        image->drop();
    }
    if (!texture)
    {
        if (m_reportedFailures.insert(name).second)
            zuLog(ELL_ERROR, "Could not load texture: %s", name.c_str());
        return nullptr;
    }
    addToCache(name, texture);
    texture->drop();
    return texture;
}

ITexture* CVideoNull::getTexture(const CString& name)
{
    if (name.empty()) return nullptr;
    if (ITexture* cached = findTexture(name)) return cached;
    // A texture is cached under its file's name; a name that reached the same
    // file another way ("$GAME_RESOURCES$/..." or a relative path) finds it
    // again without opening the file on every call.
    auto alias = m_textureAliases.find(name);
    if (alias != m_textureAliases.end())
    {
        if (ITexture* cached = findTexture(alias->second)) return cached;
        m_textureAliases.erase(alias);
    }
    if (!m_fileSystem) return nullptr;
    zu::io::IReadFile* file = m_fileSystem->createAndOpenFile(name);
    if (!file) return nullptr;
    ITexture* texture = getTexture(file);
    if (texture && file->getFileName() != name) m_textureAliases[name] = file->getFileName();
    file->drop();
    return texture;
}

ITexture* CVideoNull::addTexture(IImage* image, const CString& name)
{
    if (!image || name.empty()) return nullptr;
    if (findTexture(name))
    {
        zuLog(ELL_ERROR, "A texture of that name exists already: %s", name.c_str());
        return nullptr;
    }
    ITexture* texture = createApiTexture(name, image);
    if (!texture) return nullptr;
    addToCache(name, texture);
    texture->drop();
    return texture;
}

ITexture* CVideoNull::addTexture(SDimension2i size, const CString& name, ECOLOR_FORMAT format,
                                 bool renderTarget)
{
    if (name.empty()) return nullptr;
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
    if (!texture) return nullptr;
    addToCache(name, texture);
    texture->drop();
    return texture;
}

void CVideoNull::forgetTexture(ITexture* texture)
{
    for (int i = 0; i < MATERIAL_MAX_TEXTURES; ++i)
    {
        if (m_currentTextures[i] == texture) m_currentTextures[i] = nullptr;
        if (m_material.Textures[i] == texture) m_material.Textures[i] = nullptr;
        if (m_lastMaterial.Textures[i] == texture) m_lastMaterial.Textures[i] = nullptr;
    }
    if (m_renderTarget == texture) setRenderTarget(nullptr);
}

void CVideoNull::removeTexture(const CString& name)
{
    auto it = m_textures.find(name);
    if (it == m_textures.end()) return;
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
    if (!texture) return;
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
    if (!texture) return;
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
    if (!file) return nullptr;
    const CString& name = file->getFileName();
    for (IImageLoader* loader : m_imageLoaders)
        if (loader->acceptsName(name))
        {
            file->seek(0);
            if (IImage* image = loader->load(file)) return image;
        }
    for (IImageLoader* loader : m_imageLoaders)
    {
        file->seek(0);
        if (!loader->acceptsContent(file)) continue;
        file->seek(0);
        if (IImage* image = loader->load(file)) return image;
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
    if (!loader) return;
    loader->grab();
    m_imageLoaders.push_back(loader);
}

// ---------------------------------------------------------------- packages

ISpritePackage* CVideoNull::createSpritePackage(bool keepStates)
{
    return new CSpritePackage(this, m_fileSystem, keepStates);
}

IParticlePackage* CVideoNull::createParticlePackage()
{
    return new CParticlePackage(this);
}

ISpritePackage* CVideoNull::findSpritePackage(const CString& path) const
{
    return path.empty() ? nullptr : zu::findEntry(m_spritePackages, path);
}

ISpritePackage* CVideoNull::getSpritePackage(const CString& path, bool keepStates, bool logErrors)
{
    if (path.empty()) return nullptr;
    if (ISpritePackage* cached = findSpritePackage(path)) return cached;
    zu::io::IReadFile* file = m_fileSystem ? m_fileSystem->createAndOpenFile(path) : nullptr;
    if (!file)
    {
        if (logErrors && m_reportedFailures.insert(path).second)
            zuLog(ELL_ERROR, "Could not find a sprite package file: %s", path.c_str());
        return nullptr;
    }
    ISpritePackage* package = createSpritePackage(keepStates);
    bool ok = package && package->read(file, path);
    file->drop();
    if (!ok)
    {
        if (package) package->drop();
        if (logErrors && m_reportedFailures.insert(path).second)
            zuLog(ELL_ERROR, "Could not read a sprite package file: %s", path.c_str());
        return nullptr;
    }
    m_spritePackages[path] = package;
    zuLog(ELL_INFORMATION, "Loaded sprite package: %s", path.c_str());
    return package;
}

void CVideoNull::removeSpritePackage(const CString& path)
{
    zu::dropEntry(m_spritePackages, path);
}

void CVideoNull::removeAllSpritePackages()
{
    zu::dropAll(m_spritePackages);
}

IParticlePackage* CVideoNull::findParticlePackage(const CString& path) const
{
    return path.empty() ? nullptr : zu::findEntry(m_particlePackages, path);
}

IParticlePackage* CVideoNull::getParticlePackage(const CString& path)
{
    if (path.empty()) return nullptr;
    if (IParticlePackage* cached = findParticlePackage(path)) return cached;
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
    if (!package) zuLog(ELL_ERROR, "Could not load particle package: %s", path.c_str());
    return package;
}

void CVideoNull::removeParticlePackage(const CString& path)
{
    zu::dropEntry(m_particlePackages, path);
}

void CVideoNull::removeAllParticlePackages()
{
    zu::dropAll(m_particlePackages);
}

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

} // namespace kelvo::video

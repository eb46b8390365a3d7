#include "video/OpenGL/COpenGLTexture.h"

#include "core/Output.h"
#include "video/EDriverType.h"

#include <GL/glew.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace kelvo::video
{

COpenGLTexture::COpenGLTexture(const zu::core::CString& name, zu::video::IImage* image,
                               bool mipmaps)
    : ITexture(name), m_mipmaps(mipmaps)
{
    glGenTextures(1, &m_glName);
    zu::core::SDimension2i size = image ? image->getSize() : zu::core::SDimension2i{0, 0};
    if (size.width <= 0 || size.height <= 0)
    {
        zu::core::zuLogText("Could not create OpenGL Texture.", zu::core::ELL_ERROR);
        return;
    }
    m_size = size;
    const size_t count = size_t(size.width) * size_t(size.height);
    m_pixels = new uint32_t[count];
    if (image->getColorFormat() == zu::video::ECF_A8R8G8B8)
    {
        memcpy(m_pixels, image->lock(), count * 4);
        image->unlock();
    }
    else
    {
        uint32_t* out = m_pixels;
        for (int32_t y = 0; y < size.height; ++y)
            for (int32_t x = 0; x < size.width; ++x)
                *out++ = image->getPixel(x, y);
    }
    upload();
}

COpenGLTexture::COpenGLTexture(const zu::core::CString& name, zu::core::SDimension2i size)
    : ITexture(name), m_size(size)
{
    glGenFramebuffers(1, &m_fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, m_fbo);
    glGenTextures(1, &m_glName);
    glBindTexture(GL_TEXTURE_2D, m_glName);
    // No mip-maps: the default minification filter would leave it incomplete.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, size.width, size.height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 nullptr);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, m_glName, 0);
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (!ZU_CHECK_MSG(status == GL_FRAMEBUFFER_COMPLETE, "status == 0x8CD5"))
    {
        glDeleteFramebuffers(1, &m_fbo);
        glDeleteTextures(1, &m_glName);
        m_fbo = 0;
        m_glName = 0;
    }
}

COpenGLTexture::~COpenGLTexture()
{
    if (m_fbo) glDeleteFramebuffers(1, &m_fbo);
    if (m_glName) glDeleteTextures(1, &m_glName);
    delete[] m_pixels;
}

int32_t COpenGLTexture::getDriverType() const
{
    return zu::EDT_OPENGL;
}

void COpenGLTexture::upload()
{
    if (!m_pixels || !m_glName) return;
    glBindTexture(GL_TEXTURE_2D, m_glName);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    // A8R8G8B8 words are B, G, R, A bytes in memory.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, m_size.width, m_size.height, 0, GL_BGRA,
                 GL_UNSIGNED_BYTE, m_pixels);
    if (m_mipmaps) uploadMipMaps();
}

// The smaller levels are averaged here rather than by glGenerateMipmap: on a
// software renderer the first glGenerateMipmap compiles a blit program, which
// cost a tenth of a second at every start (the built-in font has mip-maps).
void COpenGLTexture::uploadMipMaps()
{
    int32_t width = m_size.width, height = m_size.height;
    const uint32_t* level = m_pixels;
    std::vector<uint32_t> smaller, previous;
    for (GLint index = 1; width > 1 || height > 1; ++index)
    {
        const int32_t w = width > 1 ? width / 2 : 1, h = height > 1 ? height / 2 : 1;
        smaller.resize(size_t(w) * size_t(h));
        for (int32_t y = 0; y < h; ++y)
        {
            const uint32_t* row0 = &level[size_t(std::min(2 * y, height - 1)) * size_t(width)];
            const uint32_t* row1 = &level[size_t(std::min(2 * y + 1, height - 1)) * size_t(width)];
            for (int32_t x = 0; x < w; ++x)
            {
                const int32_t x0 = std::min(2 * x, width - 1), x1 = std::min(2 * x + 1, width - 1);
                const uint32_t a = row0[x0], b = row0[x1], c = row1[x0], d = row1[x1];
                uint32_t out = 0;
                for (int shift = 0; shift < 32; shift += 8)
                {
                    const uint32_t sum = ((a >> shift) & 0xFF) + ((b >> shift) & 0xFF) +
                                         ((c >> shift) & 0xFF) + ((d >> shift) & 0xFF);
                    out |= ((sum + 2) / 4) << shift;
                }
                smaller[size_t(y) * size_t(w) + size_t(x)] = out;
            }
        }
        glTexImage2D(GL_TEXTURE_2D, index, GL_RGBA, w, h, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                     smaller.data());
        previous.swap(smaller);
        level = previous.data();
        width = w;
        height = h;
    }
}

} // namespace kelvo::video

#include "video/OpenGL/CVideoOpenGL.h"

#include "core/Output.h"
#include "video/ITexture.h"
#include "video/OpenGL/COpenGLCGMaterialRenderer.h"
#include "video/OpenGL/COpenGLContext.h"
#include "video/OpenGL/COpenGLMaterialRenderer.h"
#include "video/OpenGL/COpenGLSLMaterialRenderer.h"
#include "video/OpenGL/COpenGLShaderMaterialRenderer.h"
#include "video/OpenGL/COpenGLMesh.h"
#include "video/OpenGL/COpenGLTexture.h"
#include "video/null/CCgRuntime.h"

#include <GL/glew.h>

#include <cstring>

using zu::core::CMatrix4;
using zu::core::SDimension2i;
using namespace zu::video;

namespace kelvo::video
{
namespace
{

void toFloats(uint32_t argb, GLfloat out[4])
{
    out[0] = float((argb >> 16) & 0xFF) / 255.f;
    out[1] = float((argb >> 8) & 0xFF) / 255.f;
    out[2] = float(argb & 0xFF) / 255.f;
    out[3] = float(argb >> 24) / 255.f;
}

void enable(GLenum capability, bool on)
{
    if (on)
        glEnable(capability);
    else
        glDisable(capability);
}

COpenGLTexture* asOpenGL(ITexture* texture)
{
    if (!texture || texture->getDriverType() != zu::EDT_OPENGL) return nullptr;
    return static_cast<COpenGLTexture*>(texture);
}

} // namespace

CVideoOpenGL::CVideoOpenGL(zu::io::IFileSystem* fileSystem, PresentFunction present,
                           SDL_Window* window, SDimension2i screenSize, bool fullscreen,
                           bool stencil, bool vsync)
    : CVideoNull(fileSystem, screenSize), m_present(std::move(present))
{
    m_name = "OpenGL";
    ZU_CHECK_MSG(m_present, "present");
    zu::core::zuLogText("OpenGL Renderer", zu::core::ELL_INFORMATION);
    m_context = new COpenGLContext(window, stencil, vsync);
    if (!m_context->isValid()) return;
    m_stencil = m_context->hasStencil();
    m_fullscreen = fullscreen;
    m_nativeHandles.handles[2] = window;

    GLint maxLights = 8;
    glGetIntegerv(GL_MAX_LIGHTS, &maxLights);
    m_maxLights = maxLights;
    GLint maxTextureSize = 1024;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize);
    m_maxTextureSize = maxTextureSize;
    setInitialStates();
    registerRenderers();
    prepare3DStates();
    setFog(m_fogColor, m_fogLinear, m_fogStart, m_fogEnd, m_fogDensity, m_pixelFog, m_rangeFog);
}

CVideoOpenGL::~CVideoOpenGL()
{
    // GL objects go while the context is still current.
    if (isValid())
    {
        releaseBatch();
        removeAllResources();
    }
    delete m_context;
    m_context = nullptr;
}

bool CVideoOpenGL::isValid() const
{
    return m_context && m_context->isValid();
}

void CVideoOpenGL::setInitialStates()
{
    for (ITexture*& texture : m_currentTextures)
        texture = nullptr;
    glViewport(0, 0, m_screenSize.width, m_screenSize.height);
    glShadeModel(GL_SMOOTH);
    const GLfloat black[4] = {0.f, 0.f, 0.f, 0.f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, black);
    glClearDepth(1.0);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glDepthFunc(GL_LEQUAL);
    // Scaled meshes keep unit normals, so scaling does not dim their lighting.
    glEnable(GL_NORMALIZE);
}

void CVideoOpenGL::registerRenderers()
{
    using Kind = COpenGLMaterialRenderer;
    removeAllMaterialRenderers();
    // In material-type order; the light-map object serves its seven variants.
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
        COpenGLMaterialRenderer* renderer = new COpenGLMaterialRenderer(this, kind);
        const int copies = kind == Kind::LIGHTMAP ? 7 : 1;
        for (int i = 0; i < copies; ++i)
            addRenderer(renderer);
        renderer->drop();
    }
}

// ---------------------------------------------------------------- frame

bool CVideoOpenGL::beginScene(bool backBuffer, bool zBuffer, uint32_t color, bool clear)
{
    CVideoNull::beginScene(backBuffer, zBuffer, color, clear);
    if (!isValid() || !clear) return true;
    GLbitfield mask = 0;
    if (backBuffer)
    {
        GLfloat c[4];
        toFloats(color, c);
        glClearColor(c[0], c[1], c[2], c[3]);
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if (zBuffer)
    {
        glDepthMask(GL_TRUE);
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    if (mask) glClear(mask);
    return true;
}

void CVideoOpenGL::clearScreen(bool zBuffer, uint32_t color)
{
    if (!isValid()) return;
    // What was drawn before the clear must not land on top of it.
    flush2D();
    GLfloat c[4];
    toFloats(color, c);
    glClearColor(c[0], c[1], c[2], c[3]);
    if (zBuffer)
    {
        glDepthMask(GL_TRUE);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    else
        glClear(GL_COLOR_BUFFER_BIT);
}

bool CVideoOpenGL::endScene()
{
    CVideoNull::endScene();
    if (!isValid()) return false;
    // A target still active is shown on the back buffer, and stays the
    // target of the next frame.
    ITexture* target = m_renderTarget;
    if (target)
    {
        target->grab();
        bindTarget(nullptr);
        setUseMaterialFor2D(false);
        drawImage(target, {0, 0});
        flush2D();
    }
    if (m_screenshotPending)
    {
        m_screenshotPending = false;
        CVideoNull::writeScreenshot(m_screenshotFolder, m_screenshotName, nullptr);
    }
    const bool presented = m_present ? m_present() : true;
    if (target)
    {
        bindTarget(target);
        target->drop();
    }
    return presented;
}

bool CVideoOpenGL::hasFeature(int feature) const
{
    switch (feature)
    {
    case 2:
    case 3:
    case 4:
    case 5:
    case 16:
    case 17:
    case 18:
    case 20:
    case 21:
        return true;
    case 6:
        return m_stencil;
    default:
        return false;
    }
}

// ---------------------------------------------------------------- states

void CVideoOpenGL::setTransform(ETransformState state, const CMatrix4& matrix)
{
    CVideoNull::setTransform(state, matrix);
    if (state != ETS_PROJECTION) return;
    m_projectionCopy = matrix;
    // Targets are drawn upside down, so that they read upright as textures.
    if (m_renderTarget) m_matrices[ETS_PROJECTION](1, 1) = -matrix(1, 1);
}

void CVideoOpenGL::loadProjection()
{
    setTransform(ETS_PROJECTION, m_projectionCopy);
}

void CVideoOpenGL::prepare3DStates()
{
    if (!isValid()) return;
    // Pending 2D drawing goes first, in the order it was made.
    flush2D();
    // Row-major matrices with the translation in the last row are what GL
    // reads as column-major: they are loaded as they are.
    const CMatrix4 modelView = m_matrices[ETS_WORLD] * m_matrices[ETS_VIEW];
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(modelView.m);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(m_matrices[ETS_PROJECTION].m);
    glMatrixMode(GL_MODELVIEW);

    m_resetAllStates = true;
    m_transformChanged = false;
    switchMaterialRenderer(m_resetAllStates);
    m_resetAllStates = false;
    if (IMaterialRenderer* renderer = getRenderer(m_lastMaterial.MaterialType))
        renderer->beforeDraw(this, 0);
    m_renderMode = 2;
}

void CVideoOpenGL::prepare2DStates(bool, bool texture, bool alphaChannel, bool)
{
    if (!isValid()) return;
    // Plain 2D drawing after 3D leaves the 3D material behind: a shader
    // program or generated coordinates must not reach sprites and text.
    if (!m_useMaterialFor2D && m_lastMaterial.MaterialType >= 0)
    {
        if (IMaterialRenderer* renderer = getRenderer(m_lastMaterial.MaterialType))
            renderer->unbind();
        m_lastMaterial.MaterialType = -1;
    }
    glDisable(GL_CULL_FACE);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (m_renderTarget) glScalef(1.f, -1.f, 1.f);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_FOG);
    glDisable(GL_LIGHTING);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    if (!m_useMaterialFor2D && texture)
    {
        if (alphaChannel)
        {
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            glEnable(GL_BLEND);
            glAlphaFunc(GL_GREATER, 0.f);
            glEnable(GL_ALPHA_TEST);
        }
        else
        {
            glDisable(GL_BLEND);
            glDisable(GL_ALPHA_TEST);
        }
    }
    m_renderMode = 1;
}

void CVideoOpenGL::setBasicRenderStates(const MaterialState& material, const MaterialState& last,
                                        bool resetAll)
{
    if (resetAll || material.AmbientColor != last.AmbientColor ||
        material.DiffuseColor != last.DiffuseColor ||
        material.SpecularColor != last.SpecularColor ||
        material.EmissiveColor != last.EmissiveColor || material.Shininess != last.Shininess)
    {
        GLfloat c[4];
        toFloats(material.AmbientColor, c);
        glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, c);
        toFloats(material.DiffuseColor, c);
        glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, c);
        toFloats(material.SpecularColor, c);
        glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, c);
        toFloats(material.EmissiveColor, c);
        glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, c);
        glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, material.Shininess);
    }
    if (resetAll || m_forceWireframe || material.Wireframe != last.Wireframe)
        glPolygonMode(GL_FRONT_AND_BACK,
                      (material.Wireframe || m_forceWireframe) ? GL_LINE : GL_FILL);
    if (resetAll || material.Lighting != last.Lighting) enable(GL_LIGHTING, material.Lighting);
    if (resetAll || material.ZBuffer != last.ZBuffer) enable(GL_DEPTH_TEST, material.ZBuffer);
    if (resetAll || material.ZWriteEnable != last.ZWriteEnable)
        glDepthMask(material.ZWriteEnable ? GL_TRUE : GL_FALSE);
    if (resetAll || material.BackfaceCulling != last.BackfaceCulling)
    {
        glCullFace(GL_BACK);
        enable(GL_CULL_FACE, material.BackfaceCulling);
    }
    if (resetAll || material.FrontfaceClockwise != last.FrontfaceClockwise)
        glFrontFace((material.FrontfaceClockwise || m_renderTarget) ? GL_CCW : GL_CW);
    if (resetAll || material.FogEnable != last.FogEnable) enable(GL_FOG, material.FogEnable);
}

// ---------------------------------------------------------------- shader materials

void CVideoOpenGL::setVertexShaderConstant(const float* data, int32_t startRegister, int32_t count)
{
    if (!isValid() || !data || !GLEW_ARB_vertex_program) return;
    for (int32_t i = 0; i < count; ++i)
        glProgramLocalParameter4fvARB(GL_VERTEX_PROGRAM_ARB, GLuint(startRegister + i),
                                      data + 4 * i);
}

void CVideoOpenGL::setPixelShaderConstant(const float* data, int32_t startRegister, int32_t count)
{
    if (!isValid() || !data || !GLEW_ARB_fragment_program) return;
    for (int32_t i = 0; i < count; ++i)
        glProgramLocalParameter4fvARB(GL_FRAGMENT_PROGRAM_ARB, GLuint(startRegister + i),
                                      data + 4 * i);
}

bool CVideoOpenGL::setVertexShaderConstant(const char* name, const float* floats, int32_t count)
{
    return setPixelShaderConstant(name, floats, count);
}

bool CVideoOpenGL::setPixelShaderConstant(const char*, const float*, int32_t)
{
    zu::core::zuLogText("Error: Please call services->setPixelShaderConstant(), not "
                        "VideoDriver->setPixelShaderConstant().",
                        zu::core::ELL_INFORMATION);
    return false;
}

int32_t CVideoOpenGL::createHighLevelMaterial(const CString& vertexText, const CString&,
                                              const CString&, const CString& pixelText,
                                              const CString&, const CString&,
                                              IShaderConstantSetCallBack* callback,
                                              int32_t baseMaterial, int32_t userData)
{
    if (!isValid() || !hasProgramText(!vertexText.empty(), !pixelText.empty())) return -1;
    auto* renderer = new COpenGLSLMaterialRenderer(this, callback, baseMaterial, userData);
    return registerShaderRenderer(renderer, renderer->build(vertexText, pixelText));
}

int32_t CVideoOpenGL::createProgramMaterial(const CString& vertexText, const CString& pixelText,
                                            IShaderConstantSetCallBack* callback,
                                            int32_t baseMaterial, int32_t userData)
{
    if (!isValid() || !hasProgramText(!vertexText.empty(), !pixelText.empty())) return -1;
    auto* renderer = new COpenGLShaderMaterialRenderer(this, callback, baseMaterial, userData);
    return registerShaderRenderer(renderer, renderer->build(vertexText, pixelText));
}

int32_t CVideoOpenGL::createCgMaterial(const char* vertexText, const CString& vertexEntry,
                                       const char* pixelText, const CString& pixelEntry,
                                       IShaderConstantSetCallBack* callback, int32_t baseMaterial,
                                       bool compiled, int32_t userData)
{
    if (!isValid()) return -1;
    // Without the runtime (reported once when it was looked for) there is
    // nothing to build with.
    const SCgFunctions* cg = CCgRuntime::get();
    if (!cg || !cg->hasOpenGL()) return -1;
    if (!hasProgramText(vertexText != nullptr, pixelText != nullptr)) return -1;
    CGcontext context = getCgContext(cg);
    if (!context) return -1;
    auto* renderer =
        new COpenGLCGMaterialRenderer(this, this, cg, context, callback, baseMaterial, userData);
    return registerShaderRenderer(
        renderer,
        renderer->build(vertexText, vertexEntry.c_str(), pixelText, pixelEntry.c_str(), compiled));
}

// ---------------------------------------------------------------- geometry

Mesh* CVideoOpenGL::createMesh(EPrimitiveType type, const EVertexFeature* format,
                               uint16_t vertexCapacity)
{
    return new COpenGLMesh(this, type, format, vertexCapacity);
}

void CVideoOpenGL::drawRenderState(RenderState& renderState)
{
    if (!ZU_CHECK_MSG(renderState.mesh, "rs") || !isValid()) return;
    // In 3D and with materials in 2D, the material renderer owns the texture
    // environment and coordinate generation; plain 2D resets them.
    const bool materialStates = m_renderMode == 2 || m_useMaterialFor2D;
    for (int stage = 0; stage < MATERIAL_MAX_TEXTURES; ++stage)
    {
        // A copy: the state may be the driver's own batch state, which holds
        // a reference to its texture only, and must not keep the material's.
        SRenderStage s = renderState.stages[stage];
        if (materialStates && !s.texture)
        {
            s.texture = m_currentTextures[stage];
            s.mirrorU = m_material.MirrorU;
            s.mirrorV = m_material.MirrorV;
        }
        glActiveTexture(GLenum(GL_TEXTURE0 + stage));
        COpenGLTexture* texture = asOpenGL(s.texture);
        glBindTexture(GL_TEXTURE_2D, texture ? texture->getOpenGLTextureName() : 0);
        if (!texture)
        {
            glDisable(GL_TEXTURE_2D);
            continue;
        }
        glEnable(GL_TEXTURE_2D);
        if (!materialStates)
        {
            glDisable(GL_TEXTURE_GEN_S);
            glDisable(GL_TEXTURE_GEN_T);
            glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        }
        const bool linear = s.filter && !m_forcePointSampling;
        GLint minFilter = linear ? GL_LINEAR : GL_NEAREST;
        if (linear && texture->hasMipMaps()) minFilter = GL_LINEAR_MIPMAP_LINEAR;
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, linear ? GL_LINEAR : GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S,
                        s.mirrorU ? GL_MIRRORED_REPEAT : GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T,
                        s.mirrorV ? GL_MIRRORED_REPEAT : GL_REPEAT);
    }
    glActiveTexture(GL_TEXTURE0);
    renderState.mesh->draw();
}

// ---------------------------------------------------------------- targets, viewport, scissor

bool CVideoOpenGL::setRenderTarget(ITexture* texture)
{
    flush2D();
    COpenGLTexture* target = asOpenGL(texture);
    // Scripts name targets, so a texture that is not one is refused, not a
    // programming error.
    if (texture && !(target && target->getOpenGLFBO()))
    {
        zu::core::zuLog(zu::core::ELL_ERROR, "Not a render target: %s", texture->getName().c_str());
        return false;
    }
    bindTarget(texture);
    return true;
}

void CVideoOpenGL::bindTarget(ITexture* texture)
{
    m_renderTarget = texture;
    loadProjection();
    if (!isValid()) return;
    COpenGLTexture* target = asOpenGL(texture);
    glBindFramebuffer(GL_FRAMEBUFFER, target ? target->getOpenGLFBO() : 0);
}

void CVideoOpenGL::setViewPort(const SRecti& rect)
{
    const SRecti r = rect.clippedTo(m_renderSize.width, m_renderSize.height);
    if (isValid() && r.getWidth() > 0 && r.getHeight() > 0)
    {
        flush2D();
        glViewport(r.left, m_renderSize.height - r.bottom, r.getWidth(), r.getHeight());
    }
    m_viewPort = r;
}

void CVideoOpenGL::setScissor(const SRecti* rect)
{
    flush2D();
    if (!isValid()) return;
    if (!rect)
    {
        glDisable(GL_SCISSOR_TEST);
        return;
    }
    glEnable(GL_SCISSOR_TEST);
    // A script may give any numbers: the rectangle is first cut to the screen.
    const SRecti r = rect->clippedTo(m_screenSize.width, m_screenSize.height);
    // Rectangles have a top-left origin; the back buffer's rows count from the
    // bottom, while a target's rows are already stored top first.
    const int32_t y = m_renderTarget ? r.top : m_screenSize.height - r.bottom;
    glScissor(r.left, y, r.getWidth(), r.getHeight());
}

// ---------------------------------------------------------------- fog and lights

void CVideoOpenGL::setFog(uint32_t color, bool linear, float start, float end, float density,
                          bool pixelFog, bool rangeFog)
{
    CVideoNull::setFog(color, linear, start, end, density, pixelFog, rangeFog);
    if (!isValid()) return;
    glFogi(GL_FOG_MODE, linear ? GL_LINEAR : GL_EXP);
    if (linear)
    {
        glFogf(GL_FOG_START, start);
        glFogf(GL_FOG_END, end);
    }
    else
        glFogf(GL_FOG_DENSITY, density);
    GLfloat c[4];
    toFloats(color, c);
    glFogfv(GL_FOG_COLOR, c);
}

void CVideoOpenGL::clearLights()
{
    if (isValid())
        for (int32_t i = 0; i <= m_lastLightIndex; ++i)
            glDisable(GLenum(GL_LIGHT0 + i));
    m_lastLightIndex = -1;
    CVideoNull::clearLights();
}

void CVideoOpenGL::addLight(const SLight& light)
{
    // A light past the implementation's maximum is refused and takes no slot.
    if (!isValid() || m_lastLightIndex + 1 >= m_maxLights) return;
    ++m_lastLightIndex;
    setTransform(ETS_WORLD, CMatrix4());
    CVideoNull::addLight(light);
    // GL transforms light positions by the model-view matrix in force, so the
    // light is placed in world space through the view alone.
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(m_matrices[ETS_VIEW].m);
    const GLenum id = GLenum(GL_LIGHT0 + m_lastLightIndex);
    // A directional light's record holds the direction it shines in; GL
    // wants the direction towards the light.
    const float sign = light.directional ? -1.f : 1.f;
    const GLfloat position[4] = {sign * light.position[0], sign * light.position[1],
                                 sign * light.position[2], light.directional ? 0.f : 1.f};
    glLightfv(id, GL_POSITION, position);
    glLightfv(id, GL_DIFFUSE, light.diffuse);
    glLightfv(id, GL_SPECULAR, light.specular);
    glLightfv(id, GL_AMBIENT, light.ambient);
    glLightf(id, GL_CONSTANT_ATTENUATION, 0.f);
    glLightf(id, GL_LINEAR_ATTENUATION, light.radius > 0.f ? 1.f / light.radius : 0.f);
    glLightf(id, GL_QUADRATIC_ATTENUATION, 0.f);
    glEnable(id);
}

void CVideoOpenGL::setAmbientColor(uint32_t color)
{
    if (!isValid()) return;
    GLfloat c[4];
    toFloats(color, c);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, c);
}

// ---------------------------------------------------------------- sizes

void CVideoOpenGL::onResize(SDimension2i size)
{
    CVideoNull::onResize(size);
    setViewPort({0, 0, size.width, size.height});
}

bool CVideoOpenGL::switchFullscreen(bool on, SDimension2i size)
{
    m_fullscreen = on;
    prepare3DStates();
    onResize(size);
    return true;
}

// ---------------------------------------------------------------- textures, screenshots

ITexture* CVideoOpenGL::createApiTexture(const CString& name, IImage* image)
{
    if (!image || name.empty() || !isValid() || !fitsTextureSize(image->getSize(), name))
        return nullptr;
    return new COpenGLTexture(name, image, getTextureFlag(ETCF_CREATE_MIP_MAPS));
}

ITexture* CVideoOpenGL::createTargetTexture(const CString& name, SDimension2i size, ECOLOR_FORMAT)
{
    if (!isValid() || size.width <= 0 || size.height <= 0 || !fitsTextureSize(size, name))
        return nullptr;
    COpenGLTexture* texture = new COpenGLTexture(name, size);
    if (!texture->getOpenGLFBO())
    {
        texture->drop();
        return nullptr;
    }
    return texture;
}

bool CVideoOpenGL::fitsTextureSize(SDimension2i size, const CString& name) const
{
    if (size.width <= m_maxTextureSize && size.height <= m_maxTextureSize) return true;
    zu::core::zuLog(zu::core::ELL_ERROR,
                    "Could not create OpenGL Texture. %s is %dx%d, the limit is %d", name.c_str(),
                    size.width, size.height, m_maxTextureSize);
    return false;
}

bool CVideoOpenGL::writeScreenshot(const CString& folder, const CString& name, ITexture* texture)
{
    if (texture || !isValid()) return CVideoNull::writeScreenshot(folder, name, texture);
    // The back buffer is only defined between drawing and presenting.
    m_screenshotPending = true;
    m_screenshotFolder = folder;
    m_screenshotName = name;
    return true;
}

bool CVideoOpenGL::readPixels(ITexture* texture, std::vector<uint8_t>& rgbRows, SDimension2i& size)
{
    if (!isValid()) return false;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    if (texture)
    {
        COpenGLTexture* glTexture = asOpenGL(texture);
        if (!glTexture) return CVideoNull::readPixels(texture, rgbRows, size);
        size = glTexture->getSize();
        if (size.width <= 0 || size.height <= 0) return false;
        rgbRows.resize(size_t(size.width) * size_t(size.height) * 3);
        glBindTexture(GL_TEXTURE_2D, glTexture->getOpenGLTextureName());
        // Image textures and targets both hold their top row first.
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgbRows.data());
        return true;
    }
    const SRecti& view = m_viewPort;
    size = {view.getWidth(), view.getHeight()};
    if (size.width <= 0 || size.height <= 0) return false;
    const size_t pitch = size_t(size.width) * 3;
    std::vector<uint8_t> bottomFirst(pitch * size_t(size.height));
    glReadBuffer(GL_BACK);
    glReadPixels(view.left, m_renderSize.height - view.bottom, size.width, size.height, GL_RGB,
                 GL_UNSIGNED_BYTE, bottomFirst.data());
    rgbRows.resize(bottomFirst.size());
    for (int32_t y = 0; y < size.height; ++y)
        memcpy(rgbRows.data() + size_t(y) * pitch,
               bottomFirst.data() + size_t(size.height - 1 - y) * pitch, pitch);
    return true;
}

} // namespace kelvo::video

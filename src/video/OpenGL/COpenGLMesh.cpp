#include "video/OpenGL/COpenGLMesh.h"

#include "core/Output.h"

#include <GL/glew.h>

#include <cstdint>

using namespace zu::video;

namespace kelvo::video
{

COpenGLMesh::COpenGLMesh(CVideoOpenGL* parent, EPrimitiveType type,
                         const EVertexFeature* format, uint16_t vertexCapacity)
    : Mesh(type, format, vertexCapacity), m_parent(parent)
{
    ZU_CHECK_MSG(m_parent, "pParent");
}

COpenGLMesh::~COpenGLMesh()
{
    if (m_vertexBuffer)
        glDeleteBuffers(1, &m_vertexBuffer);
    if (m_indexBuffer)
        glDeleteBuffers(1, &m_indexBuffer);
}

bool COpenGLMesh::upload(bool freeMemoryAfter)
{
    // Errors left by earlier calls are not this upload's.
    while (glGetError() != GL_NO_ERROR)
    {
    }
    if (!m_vertexBuffer)
    {
        glGenBuffers(1, &m_vertexBuffer);
        if (!ZU_CHECK_MSG(glGetError() == GL_NO_ERROR, "glGetError() == 0") ||
            !ZU_CHECK_MSG(m_vertexBuffer, "mVertexBuffer"))
            return false;
    }
    glBindBuffer(GL_ARRAY_BUFFER, m_vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(m_vertexCount) * m_stride, m_vertices,
                 GL_STATIC_DRAW);
    if (m_indexCount > 0)
    {
        if (!m_indexBuffer)
            glGenBuffers(1, &m_indexBuffer);
        if (ZU_CHECK_MSG(m_indexBuffer, "mIndexBuffer"))
        {
            glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_indexBuffer);
            glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(m_indexCount) * 2, m_indices,
                         GL_STATIC_DRAW);
        }
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    if (freeMemoryAfter)
        freeMemory();
    return glGetError() == GL_NO_ERROR;
}

void COpenGLMesh::draw()
{
    if (m_vertexCount == 0)
        return;
    const uint8_t* base = nullptr;
    const void* indices = nullptr;
    if (m_vertexBuffer)
    {
        glBindBuffer(GL_ARRAY_BUFFER, m_vertexBuffer);
        if (m_indexCount > 0)
        {
            if (!ZU_CHECK_MSG(m_indexBuffer, "mIndexBuffer"))
                return;
            glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_indexBuffer);
        }
    }
    else
    {
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
        if (!m_vertices)
            return;
        base = m_vertices;
        indices = m_indices;
        if (m_indexCount > 0 && !indices)
            return;
    }
    // An offset into the bound buffer, or an address in the memory arrays.
    auto at = [&](EVertexFeature feature)
    { return reinterpret_cast<const void*>(uintptr_t(base) + uintptr_t(getFeatureOffset(feature))); };
    const GLsizei stride = m_stride;

    glEnableClientState(GL_VERTEX_ARRAY);
    if (hasVertexFeature(FT_POSITION3D))
        glVertexPointer(3, GL_FLOAT, stride, at(FT_POSITION3D));
    else
        glVertexPointer(2, GL_FLOAT, stride, at(FT_POSITION2D));

    if (hasVertexFeature(FT_NORMAL))
    {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, stride, at(FT_NORMAL));
    }
    else
        glDisableClientState(GL_NORMAL_ARRAY);

    if (hasVertexFeature(FT_COLOR))
    {
        glEnableClientState(GL_COLOR_ARRAY);
        // ARGB words are B, G, R, A in memory.
        glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, stride, at(FT_COLOR));
    }
    else
    {
        glDisableClientState(GL_COLOR_ARRAY);
        glColor4ub(255, 255, 255, 255);
    }

    const EVertexFeature coords[2] = {FT_TEXCOORD0, FT_TEXCOORD1};
    for (int unit = 0; unit < 2; ++unit)
    {
        glClientActiveTexture(GLenum(GL_TEXTURE0 + unit));
        if (hasVertexFeature(coords[unit]))
        {
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glTexCoordPointer(2, GL_FLOAT, stride, at(coords[unit]));
        }
        else
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    glClientActiveTexture(GL_TEXTURE0);

    GLenum mode = GL_TRIANGLES;
    if (m_primitiveType == PT_LINE_LIST)
        mode = GL_LINES;
    else if (m_primitiveType == PT_TRIANGLE_STRIP)
        mode = GL_TRIANGLE_STRIP;
    // With the vertex range given, the driver need not scan the indices for it.
    if (m_indexCount > 0)
        glDrawRangeElements(mode, 0, GLuint(m_vertexCount - 1), m_indexCount, GL_UNSIGNED_SHORT,
                            indices);
    else
        glDrawArrays(mode, 0, m_vertexCount);

    if (m_vertexBuffer)
    {
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    }
}

} // namespace kelvo::video

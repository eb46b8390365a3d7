// COpenGLMesh: a mesh whose arrays can live in GL buffer objects. Until it is
// uploaded it draws from its memory arrays (the 2D batch always does).
#pragma once

#include "video/Mesh.h"

namespace kelvo::video
{

class CVideoOpenGL;

class COpenGLMesh : public zu::video::Mesh
{
public:
    COpenGLMesh(CVideoOpenGL* parent, zu::video::EPrimitiveType type,
                const zu::video::EVertexFeature* format, uint16_t vertexCapacity);
    ~COpenGLMesh() override;

    bool upload(bool freeMemory) override;
    void draw() override;

private:
    CVideoOpenGL* m_parent;
    uint32_t m_vertexBuffer = 0;
    uint32_t m_indexBuffer = 0;
};

} // namespace kelvo::video

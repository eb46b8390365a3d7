// CDirectX9Mesh: a mesh that can live in Direct3D 9 vertex and index
// buffers. The buffers are in the managed pool, so a device reset keeps
// them. Until it is uploaded it draws from its memory arrays.
#pragma once

#include "video/Mesh.h"

#include <d3d9.h>

namespace kelvo::video
{

class CVideoDirectX9;

class CDirectX9Mesh : public zu::video::Mesh
{
  public:
    CDirectX9Mesh(CVideoDirectX9* driver, zu::video::EPrimitiveType type,
                  const zu::video::EVertexFeature* format, uint16_t vertexCapacity);
    ~CDirectX9Mesh() override;

    bool upload(bool freeMemory) override;
    void draw() override;
    bool isUploaded() const { return m_vertexBuffer != nullptr; }

  private:
    CVideoDirectX9* m_driver;
    IDirect3DVertexBuffer9* m_vertexBuffer = nullptr;
    IDirect3DIndexBuffer9* m_indexBuffer = nullptr;
    D3DPRIMITIVETYPE m_d3dType;
    uint16_t m_uploadedVertices = 0;
    uint16_t m_uploadedIndices = 0;
};

} // namespace kelvo::video

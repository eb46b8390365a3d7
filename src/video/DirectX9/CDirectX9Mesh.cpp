#include "video/DirectX9/CDirectX9Mesh.h"

#include "core/Output.h"
#include "video/DirectX9/CVideoDirectX9.h"

#include <cstring>

using namespace zu::video;

namespace kelvo::video
{
namespace
{

D3DPRIMITIVETYPE toD3D(EPrimitiveType type)
{
    switch (type)
    {
    case PT_LINE_LIST:
        return D3DPT_LINELIST;
    case PT_TRIANGLE_STRIP:
        return D3DPT_TRIANGLESTRIP;
    default:
        return D3DPT_TRIANGLELIST;
    }
}

} // namespace

CDirectX9Mesh::CDirectX9Mesh(CVideoDirectX9* driver, EPrimitiveType type,
                             const EVertexFeature* format, uint16_t vertexCapacity)
    : Mesh(type, format, vertexCapacity), m_driver(driver), m_d3dType(toD3D(type))
{
}

CDirectX9Mesh::~CDirectX9Mesh()
{
    if (m_vertexBuffer) m_vertexBuffer->Release();
    if (m_indexBuffer) m_indexBuffer->Release();
}

bool CDirectX9Mesh::upload(bool freeMemoryAfter)
{
    IDirect3DDevice9* device = m_driver->getDevice();
    if (!device || m_vertexCount == 0 || m_stride <= 0) return false;
    if (m_vertexBuffer) m_vertexBuffer->Release();
    if (m_indexBuffer) m_indexBuffer->Release();
    m_vertexBuffer = nullptr;
    m_indexBuffer = nullptr;
    const UINT vertexBytes = UINT(m_vertexCount) * UINT(m_stride);
    void* target = nullptr;
    // The managed pool: a reset must not find these among the default pool's
    // resources, or it could never succeed after an upload.
    if (!ZU_CHECK_MSG(SUCCEEDED(device->CreateVertexBuffer(vertexBytes, D3DUSAGE_WRITEONLY, 0,
                                                           D3DPOOL_MANAGED, &m_vertexBuffer,
                                                           nullptr)),
                      "CreateVertexBuffer") ||
        !ZU_CHECK_MSG(SUCCEEDED(m_vertexBuffer->Lock(0, vertexBytes, &target, 0)), "Lock"))
    {
        if (m_vertexBuffer) m_vertexBuffer->Release();
        m_vertexBuffer = nullptr;
        return false;
    }
    memcpy(target, m_vertices, vertexBytes);
    m_vertexBuffer->Unlock();
    if (m_indexCount > 0)
    {
        const UINT indexBytes = UINT(m_indexCount) * 2;
        if (!ZU_CHECK_MSG(SUCCEEDED(device->CreateIndexBuffer(indexBytes, D3DUSAGE_WRITEONLY,
                                                              D3DFMT_INDEX16, D3DPOOL_MANAGED,
                                                              &m_indexBuffer, nullptr)),
                          "CreateIndexBuffer") ||
            !ZU_CHECK_MSG(SUCCEEDED(m_indexBuffer->Lock(0, indexBytes, &target, 0)), "Lock"))
        {
            if (m_indexBuffer) m_indexBuffer->Release();
            m_indexBuffer = nullptr;
            m_vertexBuffer->Release();
            m_vertexBuffer = nullptr;
            return false;
        }
        memcpy(target, m_indices, indexBytes);
        m_indexBuffer->Unlock();
    }
    m_uploadedVertices = m_vertexCount;
    m_uploadedIndices = m_indexCount;
    if (freeMemoryAfter) freeMemory();
    return true;
}

void CDirectX9Mesh::draw()
{
    IDirect3DDevice9* device = m_driver->getDevice();
    if (!device) return;
    UINT primitives = getPrimitiveCount();
    if (m_vertexBuffer)
    {
        // The buffers hold what was uploaded, whatever the arrays hold now.
        const UINT n = m_uploadedIndices ? m_uploadedIndices : m_uploadedVertices;
        primitives = m_primitiveType == PT_LINE_LIST        ? n / 2
                     : m_primitiveType == PT_TRIANGLE_STRIP ? (n >= 2 ? n - 2 : 0)
                                                            : n / 3;
        if (primitives == 0) return;
        device->SetStreamSource(0, m_vertexBuffer, 0, UINT(m_stride));
        if (m_uploadedIndices > 0)
        {
            if (!ZU_CHECK_MSG(m_indexBuffer, "mIndexBuffer")) return;
            device->SetIndices(m_indexBuffer);
            device->DrawIndexedPrimitive(m_d3dType, 0, 0, m_uploadedVertices, 0, primitives);
        }
        else
            device->DrawPrimitive(m_d3dType, 0, primitives);
        return;
    }
    if (primitives == 0 || !m_vertices) return;
    if (m_indexCount > 0)
        device->DrawIndexedPrimitiveUP(m_d3dType, 0, m_vertexCount, primitives, m_indices,
                                       D3DFMT_INDEX16, m_vertices, UINT(m_stride));
    else
        device->DrawPrimitiveUP(m_d3dType, primitives, m_vertices, UINT(m_stride));
}

} // namespace kelvo::video

#include "scene/CMeshLoaderAssimp.h"

#include "core/Output.h"
#include "io/IFileSystem.h"
#include "scene/CAssimpIOSystem.h"
#include "scene/CSceneMesh.h"
#include "video/IVideoDriver.h"
#include "video/Mesh.h"

#include <assimp/Importer.hpp>
#include <assimp/config.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>

namespace kelvo::scene
{
namespace
{

// A part's vertices and indices must fit the driver's 16-bit counts.
constexpr int kMaxPartVertices = 65535;
constexpr int kMaxPartTriangles = 65535 / 3;

zu::video::Mesh* makePart(zu::video::IVideoDriver* driver, const aiMesh* source,
                          zu::video::SBox3f& box)
{
    using zu::video::S3DVertex;
    if (!source->HasPositions() || source->mNumVertices == 0 ||
        source->mNumVertices > unsigned(kMaxPartVertices))
        return nullptr;
    zu::video::Mesh* mesh = driver->createMesh(
        zu::video::PT_TRIANGLE_LIST, zu::video::FORMAT_TRIANGLES, uint16_t(source->mNumVertices));
    if (!mesh) return nullptr;
    const aiVector3D* uv = source->HasTextureCoords(0) ? source->mTextureCoords[0] : nullptr;
    const aiColor4D* colours = source->HasVertexColors(0) ? source->mColors[0] : nullptr;
    for (unsigned i = 0; i < source->mNumVertices; ++i)
    {
        S3DVertex v;
        const aiVector3D& p = source->mVertices[i];
        v.x = p.x;
        v.y = p.y;
        v.z = p.z;
        if (source->HasNormals())
        {
            v.nx = source->mNormals[i].x;
            v.ny = source->mNormals[i].y;
            v.nz = source->mNormals[i].z;
        }
        if (uv)
        {
            v.u = uv[i].x;
            v.v = uv[i].y;
        }
        if (colours)
        {
            auto channel = [](float c) { return uint32_t(std::clamp(c, 0.f, 1.f) * 255.f + 0.5f); };
            const aiColor4D& c = colours[i];
            v.color = channel(c.a) << 24 | channel(c.r) << 16 | channel(c.g) << 8 | channel(c.b);
        }
        mesh->addVertex(v);
        if (i == 0) box.minEdge = box.maxEdge = {p.x, p.y, p.z};
        box.minEdge = {std::min(box.minEdge.x, p.x), std::min(box.minEdge.y, p.y),
                       std::min(box.minEdge.z, p.z)};
        box.maxEdge = {std::max(box.maxEdge.x, p.x), std::max(box.maxEdge.y, p.y),
                       std::max(box.maxEdge.z, p.z)};
    }
    for (unsigned f = 0; f < source->mNumFaces; ++f)
    {
        const aiFace& face = source->mFaces[f];
        if (face.mNumIndices != 3) continue;
        mesh->addTriangle(uint16_t(face.mIndices[0]), uint16_t(face.mIndices[1]),
                          uint16_t(face.mIndices[2]));
    }
    if (mesh->getIndexCount() == 0)
    {
        mesh->drop();
        return nullptr;
    }
    // The null driver keeps its meshes in memory; a drawing driver moves
    // them into its buffers.
    mesh->upload(true);
    return mesh;
}

} // namespace

CSceneMesh* CMeshLoaderAssimp::load(const zu::core::CString& path) const
{
    if (!m_driver || !m_fileSystem) return nullptr;
    Assimp::Importer importer;
    importer.SetIOHandler(new CAssimpIOSystem(m_fileSystem));
    importer.SetPropertyInteger(AI_CONFIG_PP_SLM_VERTEX_LIMIT, kMaxPartVertices);
    importer.SetPropertyInteger(AI_CONFIG_PP_SLM_TRIANGLE_LIMIT, kMaxPartTriangles);
    importer.SetPropertyFloat(AI_CONFIG_PP_GSN_MAX_SMOOTHING_ANGLE, 80.f);
    // Points and lines are dropped; only triangles are drawn.
    importer.SetPropertyInteger(AI_CONFIG_PP_SBP_REMOVE,
                                aiPrimitiveType_POINT | aiPrimitiveType_LINE);
    const unsigned steps = aiProcess_Triangulate | aiProcess_JoinIdenticalVertices |
                           aiProcess_GenSmoothNormals | aiProcess_PreTransformVertices |
                           aiProcess_SortByPType | aiProcess_SplitLargeMeshes |
                           aiProcess_ValidateDataStructure;
    const aiScene* scene = importer.ReadFile(path.c_str(), steps);
    // Turned left-handed only afterwards: in one pass the library makes the
    // missing normals from the already flipped windings, pointing inwards.
    if (scene)
        scene = importer.ApplyPostProcessing(aiProcess_ConvertToLeftHanded);
    if (!scene || !scene->mRootNode || scene->mNumMeshes == 0)
    {
        const char* reason = importer.GetErrorString();
        zu::core::zuLog(zu::core::ELL_ERROR, "Could not load mesh %s: %s", path.c_str(),
                        reason && *reason ? reason : "it holds no meshes");
        return nullptr;
    }
    CSceneMesh* mesh = new CSceneMesh();
    for (unsigned i = 0; i < scene->mNumMeshes; ++i)
    {
        zu::video::SBox3f box;
        if (zu::video::Mesh* part = makePart(m_driver, scene->mMeshes[i], box))
            mesh->addPart(part, zu::video::MaterialState(), box);
    }
    if (mesh->getPartCount() == 0)
    {
        zu::core::zuLog(zu::core::ELL_ERROR, "Could not load mesh %s: it holds no triangles",
                        path.c_str());
        mesh->drop();
        return nullptr;
    }
    zu::core::zuLog(zu::core::ELL_INFORMATION, "Loaded mesh %s", path.c_str());
    return mesh;
}

} // namespace kelvo::scene

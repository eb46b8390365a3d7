#include "scene/CSceneManager.h"

#include "core/Output.h"
#include "io/IFileSystem.h"
#include "scene/CCameraSceneNode.h"
#include "scene/CLightSceneNode.h"
#include "scene/CMeshLoaderAssimp.h"
#include "scene/CMeshSceneNode.h"
#include "scene/CSceneMesh.h"
#include "scene/SceneMath.h"
#include "video/IMaterialRenderer.h"
#include "video/IVideoDriver.h"

#include <cmath>

using zu::scene::ICameraSceneNode;
using zu::scene::ILightSceneNode;
using zu::scene::IMesh;
using zu::scene::ISceneNode;

namespace kelvo::scene
{

CSceneManager::CSceneManager(zu::video::IVideoDriver* driver, zu::io::IFileSystem* fileSystem)
    : m_driver(driver), m_fileSystem(fileSystem)
{
    if (m_fileSystem) m_fileSystem->grab();
}

CSceneManager::~CSceneManager()
{
    clear();
    zu::dropAll(m_meshes);
    if (m_fileSystem) m_fileSystem->drop();
}

IMesh* CSceneManager::getMesh(const zu::core::CString& path)
{
    if (path.empty()) return nullptr;
    if (IMesh* cached = zu::findEntry(m_meshes, path)) return cached;
    // A file that failed is not read again (and not reported again) until
    // the scene is cleared, as a restarted script clears it.
    if (m_failedPaths.count(path)) return nullptr;
    CSceneMesh* mesh = CMeshLoaderAssimp(m_driver, m_fileSystem).load(path);
    if (!mesh)
    {
        m_failedPaths.insert(path);
        return nullptr;
    }
    m_meshes[path] = mesh;
    return mesh;
}

void CSceneManager::addNode(ISceneNode* node)
{
    m_nodes.push_back(node);
}

ICameraSceneNode* CSceneManager::addCameraSceneNode(zu::video::SVector3f position,
                                                    zu::video::SVector3f target, int32_t id)
{
    auto* camera = new CCameraSceneNode(position, target, id);
    addNode(camera);
    if (!m_camera) m_camera = camera;
    return camera;
}

void CSceneManager::setActiveCamera(ICameraSceneNode* camera)
{
    m_camera = camera;
}

ISceneNode* CSceneManager::addMeshSceneNode(IMesh* mesh, zu::video::SVector3f position,
                                            zu::video::SVector3f rotation,
                                            zu::video::SVector3f scale, int32_t id)
{
    if (!mesh) return nullptr;
    auto* node = new CMeshSceneNode(mesh, position, rotation, scale, id);
    addNode(node);
    return node;
}

ILightSceneNode* CSceneManager::addLightSceneNode(zu::video::SVector3f position,
                                                  const float colour[4], float radius, int32_t id)
{
    auto* light = new CLightSceneNode(position, colour, radius, id);
    addNode(light);
    return light;
}

void CSceneManager::clear()
{
    m_camera = nullptr;
    m_failedPaths.clear();
    for (ISceneNode* node : m_nodes)
        node->drop();
    m_nodes.clear();
}

float CSceneManager::aspect() const
{
    const zu::core::SDimension2i size = m_driver->getScreenSize();
    return size.height > 0 ? float(size.width) / float(size.height) : 1.f;
}

void CSceneManager::drawAll()
{
    if (!m_driver) return;
    if (m_camera)
    {
        m_driver->setTransform(zu::video::ETS_VIEW, m_camera->getViewMatrix());
        m_driver->setTransform(
            zu::video::ETS_PROJECTION,
            m_camera->getProjectionMatrix(aspect(), m_driver->getDriverType() == zu::EDT_OPENGL));
    }
    // Lights are placed through the view just set.
    m_driver->clearLights();
    for (ISceneNode* node : m_nodes)
        if (node->getType() == zu::scene::ESNT_LIGHT)
            m_driver->addLight(dynamic_cast<CLightSceneNode*>(node)->placedLight());

    // Opaque parts first, so what shows through transparent ones is there.
    for (int pass = 0; pass < 2; ++pass)
        for (ISceneNode* node : m_nodes)
        {
            if (node->getType() != zu::scene::ESNT_MESH) continue;
            IMesh* mesh = dynamic_cast<CMeshSceneNode*>(node)->getMesh();
            bool worldSet = false;
            for (int32_t i = 0; i < mesh->getPartCount() && i < node->getMaterialCount(); ++i)
            {
                const zu::video::MaterialState& material = node->getMaterial(i);
                zu::video::IMaterialRenderer* renderer =
                    m_driver->getRenderer(material.MaterialType);
                const bool transparent = renderer && renderer->isTransparent();
                if (transparent != (pass == 1)) continue;
                if (!worldSet)
                {
                    m_driver->setTransform(zu::video::ETS_WORLD, node->getAbsoluteTransformation());
                    worldSet = true;
                }
                m_driver->setMaterial(material);
                m_driver->drawMesh(mesh->getPart(i));
            }
        }
}

bool CSceneManager::getRayFromScreenCoordinates(float x, float y, zu::video::SVector3f& start,
                                                zu::video::SVector3f& end) const
{
    if (!m_camera || !m_driver) return false;
    const zu::core::SDimension2i render = m_driver->getRenderSize();
    if (render.width <= 0 || render.height <= 0) return false;
    // The point in clip space, then through the far plane in camera space.
    const float ndcX = 2.f * x / float(render.width) - 1.f;
    const float ndcY = 1.f - 2.f * y / float(render.height);
    const CMatrix4 projection = m_camera->getProjectionMatrix(aspect(), false);
    const float zFar = m_camera->getFarValue() > 0.f ? m_camera->getFarValue() : 3000.f;
    const SVector3f inCamera = {ndcX / projection(0, 0) * zFar, ndcY / projection(1, 1) * zFar,
                                zFar};
    const CMatrix4 cameraToWorld = rigidInverse(m_camera->getViewMatrix());
    start = m_camera->getPosition();
    end = transformPoint(cameraToWorld, inCamera);
    return true;
}

} // namespace kelvo::scene

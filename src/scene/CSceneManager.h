// CSceneManager: the least 3D scene (see ISceneManager): nodes in the order
// they were added, the active camera, lights handed to the driver each
// frame, and meshes cached by path.
#pragma once

#include "scene/ISceneManager.h"

#include <map>
#include <set>
#include <vector>

namespace zu::io
{
class IFileSystem;
}
namespace zu::video
{
class IVideoDriver;
}

namespace kelvo::scene
{

class CSceneManager : public zu::scene::ISceneManager
{
  public:
    // Holds a reference on the file system; the driver outlives the scene.
    CSceneManager(zu::video::IVideoDriver* driver, zu::io::IFileSystem* fileSystem);
    ~CSceneManager() override;

    zu::scene::IMesh* getMesh(const zu::core::CString& path) override;
    zu::scene::ICameraSceneNode* addCameraSceneNode(zu::video::SVector3f position,
                                                    zu::video::SVector3f target,
                                                    int32_t id) override;
    void setActiveCamera(zu::scene::ICameraSceneNode* camera) override;
    zu::scene::ICameraSceneNode* getActiveCamera() const override { return m_camera; }
    zu::scene::ISceneNode* addMeshSceneNode(zu::scene::IMesh* mesh, zu::video::SVector3f position,
                                            zu::video::SVector3f rotation,
                                            zu::video::SVector3f scale, int32_t id) override;
    zu::scene::ILightSceneNode* addLightSceneNode(zu::video::SVector3f position,
                                                  const float colour[4], float radius,
                                                  int32_t id) override;
    void drawAll() override;
    void clear() override;
    int32_t getNodeCount() const override { return int32_t(m_nodes.size()); }
    bool getRayFromScreenCoordinates(float x, float y, zu::video::SVector3f& start,
                                     zu::video::SVector3f& end) const override;

  private:
    void addNode(zu::scene::ISceneNode* node);
    // The back buffer's width over its height.
    float aspect() const;

    zu::video::IVideoDriver* m_driver;
    zu::io::IFileSystem* m_fileSystem;
    std::vector<zu::scene::ISceneNode*> m_nodes;
    zu::scene::ICameraSceneNode* m_camera = nullptr;
    std::map<zu::core::CString, zu::scene::IMesh*> m_meshes;
    // Paths whose loading failed (and was logged) since the last clear.
    std::set<zu::core::CString> m_failedPaths;
};

} // namespace kelvo::scene

// ISceneManager: the least 3D scene: one active camera, mesh nodes and light
// nodes, drawn by drawAll; meshes loaded from files and kept by path. The
// manager holds one reference on each node; the add functions return nodes
// it keeps (grab to keep one longer).
#pragma once

#include "core/CString.h"
#include "core/IUnknown.h"
#include "video/SGeometry.h"

#include <cstdint>

namespace zu::scene
{

class ICameraSceneNode;
class ILightSceneNode;
class IMesh;
class ISceneNode;

class ISceneManager : public virtual IUnknown
{
  public:
    // The mesh of a model file (OBJ, 3DS, X, glTF and what else the loader
    // reads), loaded once; null, with one log line, when it cannot be read
    // (it is not tried again until clear).
    virtual IMesh* getMesh(const core::CString& path) = 0;

    virtual ICameraSceneNode* addCameraSceneNode(video::SVector3f position, video::SVector3f target,
                                                 int32_t id = -1) = 0;
    virtual void setActiveCamera(ICameraSceneNode* camera) = 0;
    virtual ICameraSceneNode* getActiveCamera() const = 0;
    // A node drawing the mesh, with a copy of each part's material.
    virtual ISceneNode* addMeshSceneNode(IMesh* mesh, video::SVector3f position,
                                         video::SVector3f rotation, video::SVector3f scale,
                                         int32_t id = -1) = 0;
    // colour: red, green, blue, alpha from 0 to 1.
    virtual ILightSceneNode* addLightSceneNode(video::SVector3f position, const float colour[4],
                                               float radius, int32_t id = -1) = 0;

    // Sets the camera's view and projection, the lights, and draws every
    // mesh node with its world transform and materials, opaque ones first.
    virtual void drawAll() = 0;
    // Removes every node, the camera too; loaded meshes stay.
    virtual void clear() = 0;
    virtual int32_t getNodeCount() const = 0;

    // The line from the active camera's position through the point (x, y)
    // of the render area to the far plane; false without a camera.
    virtual bool getRayFromScreenCoordinates(float x, float y, video::SVector3f& start,
                                             video::SVector3f& end) const = 0;
};

} // namespace zu::scene

// CMeshLoaderAssimp: reads model files with the mesh library (X, 3DS, OBJ,
// glTF and the other formats it knows) into scene meshes. Models are turned
// into this engine's left-handed space with clockwise front faces and
// texture rows top first; their node transforms are baked in, faces become
// triangles, missing normals are made smooth (edges sharper than 80 degrees
// stay sharp), and parts are split to fit 16-bit indices.
#pragma once

#include "core/CString.h"

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

class CSceneMesh;

class CMeshLoaderAssimp
{
  public:
    CMeshLoaderAssimp(zu::video::IVideoDriver* driver, zu::io::IFileSystem* fileSystem)
        : m_driver(driver), m_fileSystem(fileSystem)
    {
    }

    // The mesh, or null with the library's reason in the log.
    CSceneMesh* load(const zu::core::CString& path) const;

  private:
    zu::video::IVideoDriver* m_driver;
    zu::io::IFileSystem* m_fileSystem;
};

} // namespace kelvo::scene

// CAssimpIOSystem: the engine's file system as the mesh library's file
// system (see CAssimpIOStream). Paths go to the file system as they are,
// folder aliases included.
#pragma once

#include <assimp/IOSystem.hpp>

namespace zu::io
{
class IFileSystem;
}

namespace kelvo::scene
{

class CAssimpIOSystem : public Assimp::IOSystem
{
  public:
    // Holds a reference on the file system.
    explicit CAssimpIOSystem(zu::io::IFileSystem* fileSystem);
    ~CAssimpIOSystem() override;

    bool Exists(const char* path) const override;
    char getOsSeparator() const override { return '/'; }
    Assimp::IOStream* Open(const char* path, const char* mode) override;
    void Close(Assimp::IOStream* stream) override;

  private:
    zu::io::IFileSystem* m_fileSystem;
};

} // namespace kelvo::scene

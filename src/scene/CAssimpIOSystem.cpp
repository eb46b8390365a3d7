#include "scene/CAssimpIOSystem.h"

#include "io/IFileSystem.h"
#include "io/IReadFile.h"
#include "scene/CAssimpIOStream.h"

#include <cstring>

namespace kelvo::scene
{

CAssimpIOSystem::CAssimpIOSystem(zu::io::IFileSystem* fileSystem) : m_fileSystem(fileSystem)
{
    m_fileSystem->grab();
}

CAssimpIOSystem::~CAssimpIOSystem()
{
    m_fileSystem->drop();
}

bool CAssimpIOSystem::Exists(const char* path) const
{
    return path && m_fileSystem->existFile(path);
}

Assimp::IOStream* CAssimpIOSystem::Open(const char* path, const char* mode)
{
    // Models are only read.
    if (!path || (mode && (strchr(mode, 'w') || strchr(mode, 'a') || strchr(mode, '+'))))
        return nullptr;
    zu::io::IReadFile* file = m_fileSystem->createAndOpenFile(path);
    return file ? new CAssimpIOStream(file) : nullptr;
}

void CAssimpIOSystem::Close(Assimp::IOStream* stream)
{
    delete stream;
}

} // namespace kelvo::scene

// CAssimpIOStream: a file of the engine's file system as the mesh library's
// input stream, so models and the files they name (materials, buffers) load
// from folders and archives alike. Read only.
#pragma once

#include <assimp/IOStream.hpp>

namespace zu::io
{
class IReadFile;
}

namespace kelvo::scene
{

class CAssimpIOStream : public Assimp::IOStream
{
  public:
    // Takes over the caller's reference on the file.
    explicit CAssimpIOStream(zu::io::IReadFile* file);
    ~CAssimpIOStream() override;

    size_t Read(void* buffer, size_t size, size_t count) override;
    size_t Write(const void*, size_t, size_t) override { return 0; }
    aiReturn Seek(size_t offset, aiOrigin origin) override;
    size_t Tell() const override;
    size_t FileSize() const override;
    void Flush() override {}

  private:
    zu::io::IReadFile* m_file;
};

} // namespace kelvo::scene

// CParticlePackageReader: reads particle package files (the format is
// described in video/ParticlePackageFormat.h) into definition records.
//
// Nothing in the file is trusted: every count, string and length is checked
// against the bytes that are really there before it is used, and a file that
// fails a check is refused as a whole, with a sentence saying where.
#pragma once

#include "core/CString.h"
#include "video/SParticleDefinition.h"

#include <cstdint>
#include <vector>

namespace zu::io
{
class IReadFile;
}

namespace kelvo::video
{

class CParticlePackageReader
{
  public:
    // Reads a whole package from its bytes. On success the reader holds the
    // version and the definitions in file order; on failure getProblem says
    // what was wrong and the definitions are empty.
    bool read(const std::vector<uint8_t>& bytes);
    // The same from a file's start.
    bool read(zu::io::IReadFile* file);

    int32_t getVersion() const { return m_version; }
    const std::vector<zu::video::SParticleDefinition>& getDefinitions() const
    {
        return m_definitions;
    }
    std::vector<zu::video::SParticleDefinition> takeDefinitions()
    {
        return std::move(m_definitions);
    }
    const zu::core::CString& getProblem() const { return m_problem; }
    // The failure was a version number this reader does not know.
    bool isUnsupportedVersion() const { return m_unsupportedVersion; }

    // The non-empty pieces of a '/'-separated list of names.
    static std::vector<zu::core::CString> splitNames(const zu::core::CString& text);

  private:
    bool fail(const zu::core::CString& problem);

    int32_t m_version = -1;
    bool m_unsupportedVersion = false;
    std::vector<zu::video::SParticleDefinition> m_definitions;
    zu::core::CString m_problem;
};

} // namespace kelvo::video

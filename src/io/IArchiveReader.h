// IArchiveReader: the members of one archive file, opened by name.
#pragma once

#include "core/CString.h"
#include "core/IUnknown.h"

#include <cstdint>

namespace zu::io
{

class IReadFile;
class IFileList;

class IArchiveReader : public virtual IUnknown
{
  public:
    // The member as a read file (to drop), or null when it is missing or
    // cannot be read. Names use "/"; one leading "/" is ignored.
    virtual IReadFile* createAndOpenFile(const core::CString& name) = 0;
    virtual bool hasFile(const core::CString& name) const = 0;
    // True when some member's path starts with the folder text.
    virtual bool hasFolder(const core::CString& folder) const = 0;
    // The members directly inside a folder ("" for the archive's root).
    virtual IFileList* createFileList(const core::CString& folder,
                                      const core::CString& filter) const = 0;
    virtual int32_t getFileCount() const = 0;
};

} // namespace zu::io

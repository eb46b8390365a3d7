// Fuzz target: the zip reader scans an archive, then opens and reads every
// member it found.
#include "core/Output.h"
#include "io/CMemoryReadFile.h"
#include "io/CZipReader.h"
#include "io/IFileList.h"

#include <cstdint>
#include <cstring>

namespace
{
void quiet(const char*, int) {}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool silenced = (zu::core::setLogSink(&quiet), true);
    (void)silenced;
    if (size > 1 << 22) return 0;

    // An exact-size copy, so reading one byte past the input is caught.
    uint8_t* copy = new uint8_t[size ? size : 1];
    if (size) memcpy(copy, data, size);
    auto* file = new kelvo::io::CMemoryReadFile(copy, int32_t(size), true, "fuzz.zip");
    kelvo::io::CZipReader* reader = kelvo::io::CZipReader::create(file);
    file->drop();
    if (!reader) return 0;

    uint8_t buffer[4096];
    for (int32_t i = 0; i < reader->getFileCount(); ++i)
    {
        const kelvo::io::SZipFileEntry& entry = reader->getEntry(i);
        zu::core::CString name = entry.fullName.empty() ? entry.simpleName : entry.fullName;
        zu::io::IReadFile* member = reader->createAndOpenFile(name);
        if (!member) continue;
        int64_t total = 0;
        int32_t got;
        while ((got = member->read(buffer, sizeof buffer)) > 0)
            total += got;
        if (total != member->getSize())
            __builtin_trap(); // a member must deliver exactly the size it reports
        member->drop();
    }
    zu::io::IFileList* list = reader->createFileList("", "*");
    list->drop();
    reader->drop();
    return 0;
}

// CGameArchive: a game that comes as one file. Either a zip archive of the
// game folder (pellora game.zip), or such an archive appended to a copy of
// the runtime (a fused release, made with --fuse), which the runtime finds
// from the end of its own file and runs when started without a game.
//
// The archive's root holds pellora/main.lua, or one folder does (a folder
// zipped from outside). The file system mounts the archive under its path,
// and $GAME_RESOURCES$ names the folder that holds pellora/.
#pragma once

#include "core/CString.h"

#include <cstdint>

namespace zu::io
{
class IReadFile;
}

namespace pellora
{

struct SGameArchive
{
    // The file: the mount point of the archive in the file system.
    zu::core::CString path;
    // Where the archive's bytes are in it (not 0 in a fused executable).
    int64_t offset = 0;
    int64_t size = 0;
    // "" or the one folder that holds pellora/main.lua.
    zu::core::CString root;
};

class CGameArchive
{
public:
    // The archive of the zip file at `path`.
    static bool openZip(const zu::core::CString& path, SGameArchive& out,
                        zu::core::CString& error);
    // The archive appended to the executable; false when it carries none
    // (error stays empty) or a broken one (error says why).
    static bool openFused(const zu::core::CString& executable, SGameArchive& out,
                          zu::core::CString& error);
    // A read file over the archive's bytes (to drop), or null.
    static zu::io::IReadFile* openBytes(const SGameArchive& archive);
    // Writes `output`: the executable with the zipped game appended, runnable
    // without arguments. The zip is checked like openZip does first.
    static bool fuse(const zu::core::CString& executable, const zu::core::CString& zip,
                     const zu::core::CString& output, zu::core::CString& error);

private:
    // Finds the folder holding pellora/main.lua in the archive's bytes.
    static bool findRoot(SGameArchive& archive, zu::core::CString& error);
};

} // namespace pellora

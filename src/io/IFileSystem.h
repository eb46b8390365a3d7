// IFileSystem: the single way the runtime names and opens files.
//
// Paths may begin with a folder alias such as "$GAME_RESOURCES$"; they use "/".
// Files are read from disk or, transparently, from inside zip archives that sit
// in a path like folders (a disk file wins over an archive member).
#pragma once

#include "core/CString.h"
#include "core/IUnknown.h"

#include <cstdint>

namespace zu::io
{

class IReadFile;
class IWriteFile;
class IXMLReader;
class IXMLWriter;
class IFileList;
class IArchiveReader;

// Kinds of file list.
enum EFileListKind
{
    EFLK_ALL = 0,
    EFLK_FILES = 1,
    EFLK_DIRECTORIES = 2
};

// Deflate never expands data by more than this ratio, so a stored size past
// that multiple of the compressed bytes is a lie (and would mean a huge
// allocation).
constexpr uint32_t MAX_DEFLATE_RATIO = 1032;

class IFileSystem : public virtual IUnknown
{
public:
    // A read file (to drop) or null.
    virtual IReadFile* createAndOpenFile(const core::CString& path) = 0;
    // The whole file read into memory, named by the path; null if it can't be opened.
    virtual IReadFile* createMemoryReadFile(const core::CString& path) = 0;
    // A write file (to drop) or null; truncates unless append is set.
    virtual IWriteFile* createAndWriteFile(const core::CString& path, bool append = false) = 0;

    // One-shot zlib (stream format, level 6); false on any error or when the
    // output does not fit. outLength receives the bytes written.
    virtual bool compressBuffer(void* dest, uint32_t destCapacity, const void* source,
                                uint32_t sourceLength, uint32_t& outLength) = 0;
    virtual bool uncompressBuffer(void* dest, uint32_t destCapacity, const void* source,
                                  uint32_t sourceLength, uint32_t& outLength) = 0;

    virtual const core::CString& getWorkingDirectory() const = 0;
    virtual void addDirAlias(const core::CString& alias, const core::CString& folder) = 0;
    virtual void addArchiveExtension(const core::CString& extension) = 0;
    // Opens a zip archive whatever its name (a zipped game, a game appended
    // to the executable) and makes every path below `path` a member of it.
    // With a file, the archive is read from that file (which is grabbed)
    // instead of from the path. False when it is no readable archive.
    virtual bool addFileArchive(const core::CString& path, IReadFile* file = nullptr) = 0;
    virtual void removeAllArchives() = 0;
    virtual core::CString getDirAlias(const core::CString& alias) const = 0;
    virtual bool hasDirAlias(const core::CString& alias) const = 0;

    // Expands aliases, turns "\" into "/", collapses "//" and drops trailing "/".
    virtual core::CString resolvePath(const core::CString& path) const = 0;
    // Creates one directory level at the resolved path.
    virtual bool createDirectory(const core::CString& path) = 0;
    // Lists a folder on disk or inside an archive; the filter is a wildcard pattern.
    virtual IFileList* createFileList(const core::CString& filter, const core::CString& folder,
                                      EFileListKind kind) = 0;
    virtual bool existFile(const core::CString& path, bool searchArchives = true) = 0;

    // A reader (to drop) of the file's whole text; null for a null file.
    virtual IXMLReader* createXMLReader(IReadFile* file) = 0;
    // The same for the file at the path; null when it cannot be opened.
    virtual IXMLReader* createXMLReader(const core::CString& path) = 0;
    // A writer (to drop) into the file; with a null file it writes nothing.
    virtual IXMLWriter* createXMLWriter(IWriteFile* file) = 0;
    // A writer into the file at the path, created or emptied; a file that
    // cannot be created gives a writer that writes nothing.
    virtual IXMLWriter* createXMLWriter(const core::CString& path) = 0;

    virtual bool changeWorkingDirectoryTo(const core::CString& path) = 0;
    // The archive part of a path ("a/b.zip" of "a/b.zip/c/d.png"), or empty.
    virtual core::CString findArchivePath(const core::CString& path) const = 0;
    // The reader of an archive, opened and cached on first use under exactly
    // the text given; null when it cannot be opened. The file system keeps the
    // reference.
    virtual IArchiveReader* getArchive(const core::CString& archivePath) = 0;
};

} // namespace zu::io

// CFileSystem: names and opens every file of the runtime. Expands folder
// aliases, normalises slashes, opens files from disk or from inside zip
// archives that sit in a path like folders, writes files, lists folders and
// creates directories. Used from the main thread only.
#pragma once

#include "io/IFileSystem.h"

#include <map>
#include <set>
#include <vector>

namespace kelvo::io
{

class CZipReader;

class CFileSystem : public zu::io::IFileSystem
{
  public:
    CFileSystem();
    ~CFileSystem() override;

    zu::io::IReadFile* createAndOpenFile(const zu::core::CString& path) override;
    zu::io::IReadFile* createMemoryReadFile(const zu::core::CString& path) override;
    zu::io::IWriteFile* createAndWriteFile(const zu::core::CString& path,
                                           bool append = false) override;

    bool compressBuffer(void* dest, uint32_t destCapacity, const void* source,
                        uint32_t sourceLength, uint32_t& outLength) override;
    bool uncompressBuffer(void* dest, uint32_t destCapacity, const void* source,
                          uint32_t sourceLength, uint32_t& outLength) override;

    const zu::core::CString& getWorkingDirectory() const override { return m_workingDirectory; }
    // An empty alias or folder, or an alias already present, is a programming error.
    void addDirAlias(const zu::core::CString& alias, const zu::core::CString& folder) override;
    void addArchiveExtension(const zu::core::CString& extension) override;
    void removeAllArchives() override;
    // A missing alias is a programming error; it reads as empty text.
    zu::core::CString getDirAlias(const zu::core::CString& alias) const override;
    bool hasDirAlias(const zu::core::CString& alias) const override;

    zu::core::CString resolvePath(const zu::core::CString& path) const override;
    bool createDirectory(const zu::core::CString& path) override;
    // Lists a disk folder, or a folder inside an archive, without touching the
    // process's current directory. A folder found nowhere lists nothing.
    zu::io::IFileList* createFileList(const zu::core::CString& filter,
                                      const zu::core::CString& folder,
                                      zu::io::EFileListKind kind) override;
    // Archives are searched only when already opened under exactly the
    // archive part of the resolved path.
    bool existFile(const zu::core::CString& path, bool searchArchives = true) override;

    zu::io::IXMLReader* createXMLReader(zu::io::IReadFile* file) override;
    zu::io::IXMLReader* createXMLReader(const zu::core::CString& path) override;
    zu::io::IXMLWriter* createXMLWriter(zu::io::IWriteFile* file) override;
    zu::io::IXMLWriter* createXMLWriter(const zu::core::CString& path) override;

    bool changeWorkingDirectoryTo(const zu::core::CString& path) override;
    zu::core::CString findArchivePath(const zu::core::CString& path) const override;
    bool addFileArchive(const zu::core::CString& path, zu::io::IReadFile* file = nullptr) override;
    zu::io::IArchiveReader* getArchive(const zu::core::CString& archivePath) override;

    bool isInArchive() const { return m_inArchive; }

  private:
    // The mounted archive a path lies in, or empty.
    zu::core::CString findMountedArchive(const zu::core::CString& path) const;
    // The archive part of `path` and the member text after it and one separator.
    static zu::core::CString memberPart(const zu::core::CString& path,
                                        const zu::core::CString& archivePath);

    zu::core::CString m_workingDirectory;
    bool m_inArchive = false;
    zu::core::CString m_archivePath;
    std::map<zu::core::CString, zu::core::CString> m_dirAliases;
    std::map<zu::core::CString, CZipReader*> m_archives;
    std::set<zu::core::CString> m_archiveExtensions;
    // Archives known by their path rather than their extension.
    std::vector<zu::core::CString> m_mountedArchives;
};

} // namespace kelvo::io

// CConfiguration: a small settings document of named blocks of key/value
// texts, read from "$GAME_RESOURCES$/pellora.cfg":
//
//     settings {
//         screenWidth = 1024;   # a comment runs to the line's end
//     }
//
// Values are addressed as "block:key". The document is never written back.
#pragma once

#include "core/CString.h"
#include "game/CConfigBlock.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace zu::io
{
class IFileSystem;
}

namespace zu::game
{

class CConfiguration
{
  public:
    // The file system is borrowed; it may be null when only parse is used.
    explicit CConfiguration(io::IFileSystem* fileSystem) : m_fileSystem(fileSystem) {}

    // Reads and parses the configuration file; false when it is missing,
    // shorter than 2 bytes, UTF-16 text, or does not parse.
    bool load();
    // Adds the blocks and entries of the text; false on a parse error, keeping
    // what was read before it.
    bool parse(const core::CString& text);

    bool hasKey(const core::CString& address) const;
    // Empty text when the block or key is missing.
    void getString(const core::CString& address, core::CString& out) const;
    // The value's digits read as one number; see textToInt. 0 when missing.
    int32_t getInt(const core::CString& address) const;
    // Creates the key and, when needed, the block.
    void setString(const core::CString& address, const core::CString& text);

    // The first block with the name, or null.
    const CConfigBlock* findBlock(const core::CString& name) const;
    size_t getBlockCount() const { return m_blocks.size(); }

    // Every decimal digit of the text read as one number, everything else
    // skipped, negative when the text's first character is "-". A number too
    // large for 32 bits saturates at the nearest limit.
    static int32_t textToInt(const core::CString& text);

  private:
    CConfigBlock* writableBlock(const core::CString& name);
    const core::CString* findValue(const core::CString& address) const;

    io::IFileSystem* m_fileSystem;
    std::vector<std::unique_ptr<CConfigBlock>> m_blocks;
};

} // namespace zu::game

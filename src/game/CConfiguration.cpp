#include "game/CConfiguration.h"

#include "core/Output.h"
#include "io/IFileSystem.h"
#include "io/IReadFile.h"

#include <vector>

namespace zu::game
{
namespace
{

bool isNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-';
}

// "block:key" -> ("block", "key"); false without a ":".
bool splitAddress(const core::CString& address, core::CString& block, core::CString& key)
{
    size_t colon = address.find(':');
    if (colon == core::CString::npos) return false;
    block = address.substr(0, colon);
    key = address.substr(colon + 1);
    return true;
}

enum EParseState
{
    EPS_BETWEEN_BLOCKS = 0,
    EPS_BEFORE_KEY = 1,
    EPS_KEY = 2,
    EPS_AFTER_EQUALS = 3,
    EPS_VALUE = 4,
    EPS_ERROR = 5
};

} // namespace

bool CConfiguration::load()
{
    if (!m_fileSystem) return false;
    io::IReadFile* file = m_fileSystem->createAndOpenFile("$GAME_RESOURCES$/pellora.cfg");
    if (!file) return false;
    int32_t size = file->getSize();
    uint8_t mark[2] = {0, 0};
    if (size < 2 || file->read(mark, 2) != 2)
    {
        file->drop();
        return false;
    }
    // UTF-16 text, either byte order, would parse as noise between zero bytes.
    if ((mark[0] == 0xFF && mark[1] == 0xFE) || (mark[0] == 0xFE && mark[1] == 0xFF))
    {
        core::zuLog(core::ELL_ERROR, "%s is UTF-16 text, which is not supported",
                    file->getFileName().c_str());
        file->drop();
        return false;
    }
    std::vector<char> bytes(static_cast<size_t>(size));
    bool complete = file->seek(0) && file->read(bytes.data(), uint32_t(size)) == size;
    file->drop();
    if (!complete) return false;
    size_t length = 0;
    while (length < bytes.size() && bytes[length] != 0)
        ++length;
    return parse(core::CString(bytes.data(), length));
}

bool CConfiguration::parse(const core::CString& text)
{
    int state = EPS_BETWEEN_BLOCKS;
    core::CString name;
    core::CString value;
    CConfigBlock* block = nullptr;

    // One step per character, then one with the character 0 for the end.
    for (size_t i = 0; i <= text.size(); ++i)
    {
        if (state == EPS_ERROR)
        {
            core::zuLog(core::ELL_ERROR, "Error parsing string at character %d", int(i));
            return false;
        }
        char c = i < text.size() ? text[i] : 0;
        if (c == '#')
        {
            while (i + 1 < text.size() && text[i + 1] != '\n' && text[i + 1] != '\r')
                ++i;
            continue;
        }
        switch (state)
        {
        case EPS_BETWEEN_BLOCKS:
            if (isNameChar(c))
                name += c;
            else if (c == '{' && !name.empty())
            {
                m_blocks.push_back(std::make_unique<CConfigBlock>(name));
                block = m_blocks.back().get();
                name = core::CString();
                state = EPS_BEFORE_KEY;
            }
            break;
        case EPS_BEFORE_KEY:
            if (isNameChar(c))
            {
                name += c;
                state = EPS_KEY;
            }
            else if (c == '}')
            {
                block = nullptr;
                state = EPS_BETWEEN_BLOCKS;
            }
            else if (c == 0)
                state = EPS_ERROR;
            break;
        case EPS_KEY:
            if (isNameChar(c))
                name += c;
            else if (c == '=')
                state = EPS_AFTER_EQUALS;
            else if (c == 0)
                state = EPS_ERROR;
            break;
        case EPS_AFTER_EQUALS:
            // One blank after "=" belongs to the layout, not the value. Anything
            // else already is the value ("screenWidth=1024;" reads 1024).
            state = EPS_VALUE;
            if (c == ' ' || c == '\t') break;
            [[fallthrough]];
        case EPS_VALUE:
            if (c == ';')
            {
                block->set(name, value);
                name = core::CString();
                value = core::CString();
                state = EPS_BEFORE_KEY;
            }
            else if (c == 0)
                state = EPS_ERROR;
            else
                value += c;
            break;
        default:
            break;
        }
    }
    // A text ending inside a block, key or value is accepted; what was not
    // finished is dropped.
    return true;
}

CConfigBlock* CConfiguration::writableBlock(const core::CString& name)
{
    for (auto& block : m_blocks)
        if (block->getName() == name) return block.get();
    return nullptr;
}

const CConfigBlock* CConfiguration::findBlock(const core::CString& name) const
{
    for (const auto& block : m_blocks)
        if (block->getName() == name) return block.get();
    return nullptr;
}

const core::CString* CConfiguration::findValue(const core::CString& address) const
{
    core::CString blockName, key;
    if (!splitAddress(address, blockName, key)) return nullptr;
    const CConfigBlock* block = findBlock(blockName);
    return block ? block->find(key) : nullptr;
}

bool CConfiguration::hasKey(const core::CString& address) const
{
    return findValue(address) != nullptr;
}

void CConfiguration::getString(const core::CString& address, core::CString& out) const
{
    const core::CString* value = findValue(address);
    out = value ? *value : core::CString();
}

int32_t CConfiguration::getInt(const core::CString& address) const
{
    const core::CString* value = findValue(address);
    return value ? textToInt(*value) : 0;
}

void CConfiguration::setString(const core::CString& address, const core::CString& text)
{
    core::CString blockName, key;
    if (!splitAddress(address, blockName, key)) return;
    CConfigBlock* block = writableBlock(blockName);
    if (!block)
    {
        if (blockName.empty()) return;
        m_blocks.push_back(std::make_unique<CConfigBlock>(blockName));
        block = m_blocks.back().get();
    }
    block->set(key, text);
}

int32_t CConfiguration::textToInt(const core::CString& text)
{
    // The magnitude stops growing one past the largest 32-bit value, so a long
    // run of digits saturates instead of overflowing.
    constexpr uint64_t kLimit = uint64_t(INT32_MAX) + 1;
    uint64_t magnitude = 0;
    for (size_t i = 0; i < text.size(); ++i)
    {
        char c = text[i];
        if (c < '0' || c > '9') continue;
        magnitude = magnitude * 10 + uint64_t(c - '0');
        if (magnitude > kLimit) magnitude = kLimit;
    }
    bool negative = !text.empty() && text[0] == '-';
    if (negative) return magnitude >= kLimit ? INT32_MIN : -int32_t(magnitude);
    return magnitude > uint64_t(INT32_MAX) ? INT32_MAX : int32_t(magnitude);
}

} // namespace zu::game

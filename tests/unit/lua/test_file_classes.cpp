// ReadFile and WriteFile over the real file system, checked at the byte level
// and against outside tools (zlib-flate, the zip tool).
#include "LuaTestState.h"
#include "io/CCompressedFile.h"
#include "io/CFileSystem.h"
#include "io/IReadFile.h"
#include "lua/CLuaFileLibrary.h"
#include "lua/CLuaReadFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace
{

std::string readDisk(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeDisk(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

bool exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

// "01 00 ff" -> bytes.
std::string hex(const char* text)
{
    std::string out;
    for (const char* p = text; *p;)
    {
        if (*p == ' ')
        {
            ++p;
            continue;
        }
        out += char(std::strtol(std::string(p, 2).c_str(), nullptr, 16));
        p += 2;
    }
    return out;
}

// Runs a shell pipeline; returns its exit status, or -1.
int shell(const std::string& command)
{
    const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
    pid_t pid;
    if (posix_spawnp(&pid, "sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
        return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Everything an IReadFile holds, read from its current position.
std::string drain(zu::io::IReadFile* file)
{
    std::string out;
    char buffer[4096];
    int32_t got;
    while ((got = file->read(buffer, sizeof buffer)) > 0)
        out.append(buffer, size_t(got));
    return out;
}

class FileClasses : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const char* tmp = getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/pellora-luafiles-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back(0);
        ASSERT_NE(mkdtemp(buffer.data()), nullptr);
        dir = buffer.data();
        fs = new kelvo::io::CFileSystem();
        library = new zu::lua::CLuaFileLibrary(fs);
        state = new luatest::CState();
        library->install(state->L);
        lua_pushlstring(state->L, dir.data(), dir.size());
        lua_setglobal(state->L, "dir");
    }
    void TearDown() override
    {
        delete state;
        delete library;
        if (fs)
            fs->drop();
        shell("rm -rf '" + dir + "'");
    }
    std::string run(const std::string& chunk) { return state->run(chunk); }

    std::string dir;
    kelvo::io::CFileSystem* fs = nullptr;
    zu::lua::CLuaFileLibrary* library = nullptr;
    luatest::CState* state = nullptr;
};

} // namespace

TEST_F(FileClasses, FieldsAreLittleEndianWithoutHeader)
{
    struct Case
    {
        const char* writes;
        const char* bytes;
    };
    const Case cases[] = {
        {"w:writeInt(1) w:writeFloat(0.5) w:writeBoolean(true) w:writeByte(300) w:writeString('ab')",
         "01000000 0000003F 01 2C 616200"},
        {"w:writeBoolean(1) w:writeBoolean(false) w:writeBoolean('yes') w:writeBoolean()",
         "00 00 00 00"},
        {"w:writeString() w:writeString({}) w:writeString('a\\0b') w:writeString(12)",
         "00 00 6100 313200"},
        {"w:writeInt() w:writeInt(-2) w:writeInt(2^31) w:writeInt(0/0) w:writeInt(1.9)",
         "00000000 FEFFFFFF 00000080 00000000 01000000"},
        {"w:writeByte() w:writeByte(-1) w:writeByte(1e300)", "00 FF 00"},
        {"w:writeFloat() w:writeFloat(-2) w:writeFloat(1e39) w:writeFloat(-1e300)",
         "00000000 000000C0 0000807F 000080FF"},
    };
    for (const Case& c : cases)
    {
        std::string result =
            run(std::string("local w = WriteFile(dir .. '/fields.bin') ") + c.writes + " w:close()");
        EXPECT_EQ(result, "") << c.writes;
        EXPECT_EQ(readDisk(dir + "/fields.bin"), hex(c.bytes)) << c.writes;
    }
}

TEST_F(FileClasses, ReadsPastTheEndGiveZeros)
{
    struct Case
    {
        const char* bytes;
        const char* reads;
        const char* expected;
    };
    const Case cases[] = {
        {"05000000", "r:readInt(), r:readInt()", "5,0"},
        {"0102", "r:readInt()", "513"},
        {"000080", "r:readFloat() == 2^-126", "true"},
        {"6162", "r:readString(), r:readString()", "ab,"},
        {"", "r:readString(), r:readByte(), r:readBoolean(), r:readFloat()", ",0,false,0"},
        {"FF 02 00", "r:readByte(), r:readBoolean(), r:readBoolean()", "255,true,false"},
        {"0A0B0C", "(function() r:seek(2) return r:readByte() end)()", "12"},
        {"0A0B0C", "(function() r:seek(1) r:seek(1, true) return r:readByte() end)()", "12"},
        {"0A0B0C", "(function() r:seek(1) r:seek(-1) return r:readByte() end)()", "11"},
        {"0A0B0C", "(function() r:seek(2) r:seek(0/0) r:seek('x') r:seek() return r:readByte() end)()",
         "10"},
    };
    for (const Case& c : cases)
    {
        std::string bytes = hex(c.bytes);
        writeDisk(dir + "/in.bin", bytes);
        std::string list;
        for (char b : bytes)
            list += std::to_string(uint8_t(b)) + ",";
        // The same bytes from disk and from a memory snapshot.
        const std::string setups[] = {
            "local r = ReadFile(dir .. '/in.bin') ",
            "local m = WriteFile(nil, 'm') for _, b in ipairs({" + list +
                "}) do m:writeByte(b) end local r = ReadFile(m, 'm') ",
        };
        for (const std::string& setup : setups)
            EXPECT_EQ(run(setup + "return " + c.reads), c.expected)
                << c.bytes << " / " << c.reads << "\n  " << setup;
    }
}

TEST_F(FileClasses, ModeTextsPickTheModeByTheirFirstCharacter)
{
    struct Case
    {
        const char* mode;
        const char* kind; // what writing "abc" leaves on disk
    };
    const Case cases[] = {
        {"nil", "file"},    {"'f'", "file"},           {"'rb'", "file"}, {"''", "file"},
        {"5", "file"},      {"{}", "file"},            {"'zip'", "compressed"},
        {"'z'", "compressed"}, {"'m'", "memory"},      {"'mem'", "memory"},
    };
    for (const Case& c : cases)
    {
        std::string path = dir + "/mode.bin";
        unlink(path.c_str());
        EXPECT_EQ(run(std::string("local w = WriteFile(dir .. '/mode.bin', ") + c.mode +
                      ") w:writeString('abc') w:close()"),
                  "");
        std::string kind = "memory";
        if (exists(path))
        {
            std::string bytes = readDisk(path);
            kind = bytes == hex("61626300")                                   ? "file"
                   : bytes.substr(0, 5) == hex("04000000 78")                  ? "compressed"
                                                                              : "unknown";
        }
        EXPECT_EQ(kind, c.kind) << c.mode;
        // ReadFile reads the same way: a compressed reader expands what was
        // written compressed, a plain one reads the plain file.
        if (kind != "memory")
        {
            EXPECT_EQ(run(std::string("return ReadFile(dir .. '/mode.bin', ") + c.mode +
                          "):readString()"),
                      "abc")
                << c.mode;
        }
    }
}

TEST_F(FileClasses, MemoryReadFileTakesASnapshotOfAMemoryWriteFileOnly)
{
    EXPECT_EQ(run("local w = WriteFile(nil, 'm') w:writeInt(1) "
                  "local r = ReadFile(w, 'm') w:writeInt(2) "
                  "return r:isOk(), r:readInt(), r:readInt()"),
              "true,1,0");
    EXPECT_EQ(run("return ReadFile(WriteFile(dir .. '/f.bin'), 'm'):isOk()"), "false");
    EXPECT_EQ(run("return ReadFile(WriteFile(dir .. '/f.z', 'z'), 'm'):isOk()"), "false");
    EXPECT_EQ(run("local w = WriteFile(nil, 'm') w:close() return ReadFile(w, 'm'):isOk()"),
              "false");
    EXPECT_EQ(run("return ReadFile(WriteFile(nil, 'm'), 'm'):readString()"), "");
    EXPECT_TRUE(luatest::matches(run("return ReadFile(dir .. '/f.bin', 'm')"),
                                 "error:WriteFile expected, got string"));
    EXPECT_TRUE(luatest::matches(run("return ReadFile(nil, 'm')"), "error:WriteFile expected"));
}

TEST_F(FileClasses, CompressedRoundTripsAndOutsideTools)
{
    std::mt19937 random(1234);
    std::string noise(4096, '\0');
    for (char& b : noise)
        b = char(random() & 0xFF);
    const std::pair<const char*, std::string> payloads[] = {
        {"text", "A saved game: level 3, score 12000, and a name."},
        {"nothing", ""},
        {"4 KiB of random bytes", noise},
    };
    for (const auto& [what, payload] : payloads)
    {
        std::string path = dir + "/round.z";
        lua_pushlstring(state->L, payload.data(), payload.size());
        lua_setglobal(state->L, "payload");
        EXPECT_EQ(run("local w = WriteFile(dir .. '/round.z', 'zip') "
                      "for i = 1, #payload do w:writeByte(payload:byte(i)) end w:close()"),
                  "")
            << what;
        std::string disk = readDisk(path);
        ASSERT_GE(disk.size(), 4u) << what;
        uint32_t stored = uint8_t(disk[0]) | uint8_t(disk[1]) << 8 | uint8_t(disk[2]) << 16 |
                          uint32_t(uint8_t(disk[3])) << 24;
        EXPECT_EQ(stored, payload.size()) << what;

        // Read back through the script...
        EXPECT_EQ(run("local r = ReadFile(dir .. '/round.z', 'z') local t = {} "
                      "for i = 1, #payload do t[i] = string.char(r:readByte()) end "
                      "return table.concat(t) == payload, r:readByte()"),
                  "true,0")
            << what;
        // ...and by an outside tool: the bytes after the length are one zlib stream.
        writeDisk(dir + "/stream.zlib", disk.substr(4));
        ASSERT_EQ(shell("zlib-flate -uncompress < '" + dir + "/stream.zlib' > '" + dir +
                        "/stream.out'"),
                  0)
            << what;
        EXPECT_EQ(readDisk(dir + "/stream.out"), payload) << what;
    }
}

TEST_F(FileClasses, DamagedCompressedFilesHoldBoundedZeroFilledData)
{
    struct Case
    {
        const char* what;
        std::string bytes;
        std::string content; // what the memory file holds
    };
    // The zlib stream of "abc" (level 6).
    const std::string abc = hex("789C 4B4C4A0600024D0127");
    const Case cases[] = {
        {"empty file", "", ""},
        {"shorter than the length", hex("0300"), ""},
        {"negative length", hex("FFFFFFFF") + abc, ""},
        {"length beyond what the data could expand to", hex("FFFFFF7F") + abc,
         std::string("abc") + std::string(abc.size() * 1032 - 3, '\0')},
        {"length larger than the data", hex("08000000") + abc, std::string("abc\0\0\0\0\0", 8)},
        {"length smaller than the data", hex("02000000") + abc, "ab"},
        {"not a zlib stream", hex("04000000") + "garbage", std::string(4, '\0')},
        {"no stream at all", hex("10000000"), ""},
    };
    for (const Case& c : cases)
    {
        writeDisk(dir + "/bad.z", c.bytes);
        zu::io::IReadFile* file = zu::io::CCompressedFile::openRead(fs, dir + "/bad.z");
        ASSERT_NE(file, nullptr) << c.what;
        EXPECT_EQ(drain(file), c.content) << c.what;
        file->drop();
        EXPECT_EQ(run("local r = ReadFile(dir .. '/bad.z', 'z') return r:isOk(), r:readString()"),
                  "true," + c.content.substr(0, c.content.find('\0')))
            << c.what;
    }
    EXPECT_EQ(zu::io::CCompressedFile::openRead(fs, dir + "/missing.z"), nullptr);
}

TEST_F(FileClasses, CollectingOrClosingTheStateFinishesFiles)
{
    EXPECT_EQ(run("do local w = WriteFile(dir .. '/gc.z', 'z') w:writeString('kept') end "
                  "do local w = WriteFile(dir .. '/gc.bin') w:writeInt(7) end "
                  "collectgarbage() collectgarbage()"),
              "");
    EXPECT_EQ(readDisk(dir + "/gc.bin"), hex("07000000"));
    EXPECT_EQ(run("return ReadFile(dir .. '/gc.z', 'z'):readString()"), "kept");

    // Still open when the state closes: written then, exactly once.
    EXPECT_EQ(run("keep = WriteFile(dir .. '/close.z', 'z') keep:writeInt(9)"), "");
    state->close();
    zu::io::IReadFile* file = zu::io::CCompressedFile::openRead(fs, dir + "/close.z");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(drain(file), hex("09000000"));
    file->drop();
}

TEST_F(FileClasses, ScriptMistakesNeverCrash)
{
    struct Case
    {
        const char* chunk;
        const char* expected;
    };
    const Case cases[] = {
        {"return WriteFile(dir .. '/x'):writeInt('a')", "error:number expected"},
        {"return WriteFile(dir .. '/x'):writeFloat({})", "error:number expected"},
        {"return WriteFile(dir .. '/x'):writeByte(true)", "error:number expected"},
        {"return ReadFile():isOk(), ReadFile(123):isOk(), ReadFile({}, 'z'):isOk()",
         "false,false,false"},
        {"return ReadFile(dir .. '/nope'):isOk(), ReadFile(dir .. '/nope', 'z'):isOk()",
         "false,false"},
        {"local r = ReadFile(dir .. '/nope') "
         "return select('#', r:readInt()) + select('#', r:readString()) + select('#', r:seek(1))",
         "0"},
        {"local w = WriteFile() w:writeInt(1) w:writeString('a') return w:close()", ""},
        {"local w = WriteFile({}, 'z') w:writeInt(1) return w:close()", ""},
        {"local w = WriteFile(dir .. '/no/such/folder/x.z', 'z') w:writeInt(1) w:close() "
         "return ReadFile(dir .. '/no/such/folder/x.z', 'z'):isOk()",
         "false"},
        {"local w = WriteFile(dir .. '/twice') w:close() w:close() return w:writeInt(1)", ""},
        {"local r = ReadFile(dir .. '/twice') r:close() return select('#', r:readInt()), r:isOk()",
         "0,false"},
        {"return ReadFile.readInt(WriteFile(dir .. '/y'))", "error:ReadFile expected"},
        {"return WriteFile.close('x')", "error:WriteFile expected"},
        {"return WChar == nil and ReadFile.new ~= nil", "true"},
    };
    for (const Case& c : cases)
    {
        std::string got = run(c.chunk);
        EXPECT_TRUE(luatest::matches(got, c.expected)) << c.chunk << "\n  got: " << got;
    }
}

// Memory read and write files.
#include "IoTestSupport.h"

#include "io/CMemReadFile.h"
#include "io/CMemWriteFile.h"
#include "io/CMemoryReadFile.h"

#include <cstring>

namespace
{

TEST(MemReadFile, SeekTable)
{
    static const char kData[] = "0123456789";
    struct Case
    {
        int32_t start;
        int32_t offset;
        bool relative;
        bool accepted;
        int32_t position;
    };
    const Case cases[] = {
        {0, 10, false, true, 10}, {0, 11, false, false, 0},       {4, 6, true, true, 10},
        {4, 7, true, false, 4},   {4, -4, true, true, 0},         {4, -5, true, false, 4},
        {0, -1, false, false, 0}, {9, INT32_MAX, true, false, 9}, {9, INT32_MIN, true, false, 9},
    };
    for (const Case& c : cases)
    {
        zu::io::CMemReadFile file(kData, 10, false);
        ASSERT_TRUE(file.seek(c.start));
        EXPECT_EQ(c.accepted, file.seek(c.offset, c.relative)) << c.start << " " << c.offset;
        EXPECT_EQ(c.position, file.getPos()) << c.start << " " << c.offset;
        EXPECT_EQ(10 - c.position, file.getRemaining());
    }
}

TEST(MemReadFile, ReadsStopAtTheEnd)
{
    zu::io::CMemReadFile file("abcdef", 6, false);
    char buffer[8] = {};
    EXPECT_EQ(4, file.read(buffer, 4));
    EXPECT_EQ('e', *file.getPointer());
    EXPECT_EQ(2, file.read(buffer, 0xFFFFFFFFu));
    EXPECT_EQ(0, memcmp(buffer, "efcd", 4));
    EXPECT_EQ(0, file.read(buffer, 4));
    EXPECT_FALSE(file.readLine(buffer, 8));
    EXPECT_TRUE(file.getFileName().empty());

    kelvo::io::CMemoryReadFile named(new uint8_t[3]{1, 2, 3}, 3, true, "named.bin");
    EXPECT_EQ(zu::core::CString("named.bin"), named.getFileName());
    EXPECT_EQ(3, named.getSize());
}

TEST(MemWriteFile, GrowsSeeksAndOverwrites)
{
    zu::io::CMemWriteFile file;
    EXPECT_EQ(zu::core::CString("MemFile"), file.getFileName());
    EXPECT_EQ(5, file.write("hello", 5));
    EXPECT_EQ(5, file.getCapacity()) << "capacity plus the write beats 1.5 x 0";
    EXPECT_EQ(1, file.write("!", 1));
    EXPECT_EQ(7, file.getCapacity()) << "1.5 x 5 rounds down to 7, above 5 + 1";
    EXPECT_EQ(20, file.write("0123456789abcdefghij", 20));
    EXPECT_EQ(27, file.getCapacity());
    EXPECT_EQ(26, file.getSize());

    EXPECT_TRUE(file.seek(-100, true));
    EXPECT_EQ(0, file.getPos());
    EXPECT_TRUE(file.seek(1000));
    EXPECT_EQ(26, file.getPos()) << "clamped to the high-water mark";
    EXPECT_TRUE(file.seek(1));
    EXPECT_EQ(3, file.write("ELL", 3));
    EXPECT_EQ(26, file.getSize()) << "overwriting inside keeps the high-water mark";
    EXPECT_EQ("hELLo!0123456789abcdefghij",
              std::string(reinterpret_cast<const char*>(file.getData()), size_t(file.getSize())));
    EXPECT_EQ(0, file.write(nullptr, 3));
}

} // namespace

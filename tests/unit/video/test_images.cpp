// Images and the five loaders, against files made by real encoders and the
// pixels real decoders read from them.
#include "VideoTestSupport.h"

#include "io/CMemoryReadFile.h"
#include "video/null/CImage.h"
#include "video/null/CVideoNull.h"

#include <cstring>

using kelvo::video::CImage;
using kelvo::video::CVideoNull;
using videotest::CCapture;
using videotest::fixture;
using namespace zu::video;

namespace
{

class Images : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_FALSE(videotest::fixtureFolder().empty()); }
    void TearDown() override
    {
        m_driver->drop();
        m_fs->drop();
    }

    IImage* load(const std::string& path) { return m_driver->createImage(zu::core::CString(path)); }

    // Bytes handed to the loaders as a memory file of that name.
    IImage* loadBytes(const std::string& bytes, const char* name)
    {
        uint8_t* copy = new uint8_t[bytes.size() + 1];
        memcpy(copy, bytes.data(), bytes.size());
        auto* file = new kelvo::io::CMemoryReadFile(copy, int32_t(bytes.size()), true, name);
        IImage* image = m_driver->createImage(file);
        file->drop();
        return image;
    }

    CCapture m_capture;
    kelvo::io::CFileSystem* m_fs = new kelvo::io::CFileSystem();
    CVideoNull* m_driver = new CVideoNull(m_fs, {64, 64});
};

std::string le16(int v) { return std::string{char(v & 255), char((v >> 8) & 255)}; }
std::string le32(uint32_t v) { return le16(int(v & 0xFFFF)) + le16(int(v >> 16)); }
std::string be16(int v) { return std::string{char((v >> 8) & 255), char(v & 255)}; }
std::string be32(uint32_t v) { return be16(int(v >> 16)) + be16(int(v & 0xFFFF)); }

std::string tgaHeader(int type, int width, int height, int depth)
{
    return std::string{0, 0, char(type), 0, 0, 0, 0, 0, 0, 0, 0, 0} + le16(width) + le16(height) +
           std::string{char(depth), 0};
}

std::string bmpHeader(uint32_t dataOffset, int32_t width, int32_t height, int bits,
                      uint32_t dataSize)
{
    return "BM" + le32(0) + le32(0) + le32(dataOffset) + le32(40) + le32(uint32_t(width)) +
           le32(uint32_t(height)) + le16(1) + le16(bits) + le32(0) + le32(dataSize) + le32(0) +
           le32(0) + le32(0) + le32(0);
}

std::string psdHeader(int channels, uint32_t height, uint32_t width, int compression)
{
    return "8BPS" + be16(1) + std::string(6, '\0') + be16(channels) + be32(height) +
           be32(width) + be16(8) + be16(3) + be32(0) + be32(0) + be32(0) + be16(compression);
}

} // namespace

TEST_F(Images, DecodedPixelsMatchTheReferenceDecoders)
{
    // shift: the low bits a 5-bit format cannot keep; alpha: where the alpha
    // comes from ('F' opaque, 'f' the source's, '1' white opaque black clear).
    struct Case
    {
        const char* file;
        ECOLOR_FORMAT format;
        int shift;
        char alpha;
        int tolerance;
    };
    const Case cases[] = {
        {"im1.bmp", ECF_A1R5G5B5, 3, '1', 0},        {"nb1.bmp", ECF_A1R5G5B5, 3, '1', 0},
        {"im4.bmp", ECF_A1R5G5B5, 3, 'F', 0},        {"nb4.bmp", ECF_A1R5G5B5, 3, 'F', 0},
        {"im8.bmp", ECF_A1R5G5B5, 3, 'F', 0},        {"nb8.bmp", ECF_A1R5G5B5, 3, 'F', 0},
        {"im24.bmp", ECF_R8G8B8, 0, 'F', 0},         {"nb24.bmp", ECF_R8G8B8, 0, 'F', 0},
        {"plain24.tga", ECF_R8G8B8, 0, 'F', 0},      {"rle24.tga", ECF_R8G8B8, 0, 'F', 0},
        {"plain32.tga", ECF_A8R8G8B8, 0, 'f', 0},    {"rle32.tga", ECF_A8R8G8B8, 0, 'f', 0},
        {"raw.psd", ECF_A8R8G8B8, 0, 'F', 0},        {"rle.psd", ECF_A8R8G8B8, 0, 'F', 0},
        {"rawalpha.psd", ECF_A8R8G8B8, 0, 'f', 0},   {"rlealpha.psd", ECF_A8R8G8B8, 0, 'f', 0},
        {"nb8.pcx", ECF_A1R5G5B5, 3, 'F', 0},        {"nb8bw.pcx", ECF_A1R5G5B5, 3, 'F', 0},
        {"im8.pcx", ECF_A1R5G5B5, 3, 'F', 0},        {"nb24.pcx", ECF_R8G8B8, 0, 'F', 0},
        {"baseline.jpg", ECF_R8G8B8, 0, 'F', 1},     {"progressive.jpg", ECF_R8G8B8, 0, 'F', 1},
        {"grey.jpg", ECF_R8G8B8, 0, 'F', 1},         {"restart.jpg", ECF_R8G8B8, 0, 'F', 1},
        {"rgb.png", ECF_A8R8G8B8, 0, 'F', 0},        {"rgba.png", ECF_A8R8G8B8, 0, 'f', 0},
        {"pal.png", ECF_A8R8G8B8, 0, 'F', 0},        {"grey.png", ECF_A8R8G8B8, 0, 'F', 0},
        {"deep.png", ECF_A8R8G8B8, 0, 'F', 0},       {"interlaced.png", ECF_A8R8G8B8, 0, 'F', 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.file);
        videotest::SPixels ref = videotest::readPPM(fixture(c.file) + ".ref.ppm");
        ASSERT_GT(ref.width, 0);
        std::string alpha = iotest::readDiskFile(fixture(c.file) + ".ref.alpha");
        IImage* image = load(fixture(c.file));
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->getColorFormat(), c.format);
        ASSERT_EQ(image->getSize(), (zu::core::SDimension2i{ref.width, ref.height}));
        int worst = 0, mismatches = 0;
        for (int y = 0; y < ref.height; ++y)
            for (int x = 0; x < ref.width; ++x)
            {
                uint32_t p = image->getPixel(x, y);
                const uint8_t* r = &ref.rgb[(size_t(y) * ref.width + x) * 3];
                const int mask = 0xFF & ~((1 << c.shift) - 1);
                const int got[3] = {int(p >> 16 & 255), int(p >> 8 & 255), int(p & 255)};
                for (int k = 0; k < 3; ++k)
                    worst = std::max(worst, std::abs(got[k] - (r[k] & mask)));
                uint32_t a = p >> 24;
                uint32_t want = c.alpha == 'F'   ? 255u
                                : c.alpha == 'f' ? uint8_t(alpha[size_t(y) * ref.width + x])
                                                 : (r[0] == 255 ? 255u : 0u);
                mismatches += a != want;
            }
        EXPECT_LE(worst, c.tolerance);
        EXPECT_EQ(mismatches, 0);
        image->drop();
    }
}

TEST_F(Images, RefusedFilesGiveNoImageAndSayWhy)
{
    const struct
    {
        const char* file;
        const char* message;
    } cases[] = {
        {"rle8.bmp", "Compressed BMPs are currently not supported."},
        {"deep.psd", "Unsupported PSD color mode or depth."},
        {"cmyk.psd", "Unsupported PSD color mode or depth."},
        {"cmyk.jpg", "CMYK JPEG images are not supported"},
        {"truncated.jpg", "JPEG"},
        {"badprecision.jpg", "JPEG"},
        {"header-only.jpg", "JPEG"},
        {"truncated.png", "PNG data is damaged"},
        {"corrupt.png", "PNG data is damaged"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.file);
        CCapture::lines().clear();
        IImage* image = load(fixture(c.file));
        EXPECT_EQ(image, nullptr);
        if (image)
            image->drop();
        EXPECT_TRUE(CCapture::logged(c.message));
    }
    EXPECT_TRUE(CCapture::checks().empty());
}

TEST_F(Images, ContentDecidesWhenTheNameSaysNothing)
{
    std::string bmp = iotest::readDiskFile(fixture("im24.bmp"));
    IImage* image = loadBytes(bmp, "picture.dat");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->getColorFormat(), ECF_R8G8B8);
    image->drop();

    // A TGA named as a BMP first fails in the BMP loader, then loads as TGA.
    image = loadBytes(iotest::readDiskFile(fixture("plain32.tga")), "picture.bmp.tga");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->getColorFormat(), ECF_A8R8G8B8);
    image->drop();

    // A PNG by its signature alone; a format with no loader gives nothing.
    image = loadBytes(iotest::readDiskFile(fixture("rgb.png")), "picture.dat");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->getColorFormat(), ECF_A8R8G8B8);
    image->drop();
    ASSERT_EQ(iotest::runTool({"convert", fixture("src.ppm"), fixture("src.gif")}), 0);
    EXPECT_EQ(load(fixture("src.gif")), nullptr);
}

TEST_F(Images, RunLengthTgaRepeatsTheFirstPixel)
{
    IImage* image =
        loadBytes(tgaHeader(10, 4, 1, 24) + std::string("\x82\x01\x02\x03\x00\x0A\x0B\x0C", 8),
                  "run.tga");
    ASSERT_NE(image, nullptr);
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(image->getPixel(x, 0), 0xFF030201u);
    EXPECT_EQ(image->getPixel(3, 0), 0xFF0C0B0Au);
    image->drop();
}

TEST_F(Images, HandMadeDamageIsContained)
{
    // Each file lies about something; the loader must neither read nor write
    // outside what it has, and must not ask for an absurd amount of memory.
    const struct
    {
        const char* what;
        std::string bytes;
        const char* name;
        bool image;
        const char* message;
    } cases[] = {
        {"palette index past the palette", bmpHeader(62, 2, 1, 8, 4) + le32(0xFF0000) +
                                               le32(0x00FF00) + std::string("\x01\xC8\0\0", 4),
         "a.bmp", true, nullptr},
        {"rows missing", bmpHeader(54, 4, 4, 24, 0) + std::string(16, 'x'), "b.bmp", true,
         "BMP pixel data ends early"},
        {"BMP of 2304 x 16389 in a few bytes", bmpHeader(54, 2304, 16389, 4, 0) + "abcd", "q.bmp",
         false, "far too short"},
        {"width past every limit", bmpHeader(54, 0x7FFFFFFF, 2, 24, 0), "c.bmp", false,
         "unusable dimensions"},
        {"height of INT_MIN", bmpHeader(54, 2, int32_t(0x80000000), 24, 0), "d.bmp", false,
         "unusable dimensions"},
        {"TGA of 65535 x 65535", tgaHeader(2, 65535, 65535, 32), "e.tga", false, "too large"},
        {"TGA literal packet cut short", tgaHeader(10, 8, 8, 32) + "\x7F\x01\x02", "f.tga", true,
         "ends early"},
        {"TGA raw of 8192 x 8192 in a few bytes", tgaHeader(2, 8192, 8192, 32) + "abcd", "r.tga",
         false, "far too short"},
        {"TGA 8-bit", tgaHeader(2, 2, 2, 8) + "abcd", "g.tga", false,
         "Unsupported TGA format, 8 bit"},
        {"TGA colour-mapped", tgaHeader(1, 2, 2, 8), "h.tga", false, "Unsupported TGA file type"},
        {"PSD section past the end", "8BPS" + be16(1) + std::string(6, '\0') + be16(3) + be32(2) +
                                         be32(2) + be16(8) + be16(3) + be32(1000),
         "i.psd", false, "Error seeking file pos to image resources."},
        {"PSD rle rows past the end", psdHeader(3, 2, 2, 1) + be16(900) + be16(1), "j.psd",
         false, "Error reading rle rows"},
        {"PSD raw channel cut short", psdHeader(3, 2, 2, 0) + "abcdefg", "k.psd", true,
         "Error reading color channel"},
        {"PSD raw of 8192 x 8192 in a few bytes", psdHeader(3, 8192, 8192, 0) + "abcd", "s.psd",
         false, "far too short"},
        {"PSD of 4G columns", psdHeader(3, 1, 0xFFFFFFFF, 0), "l.psd", false, "too large"},
        {"PSD compression 2", psdHeader(3, 1, 1, 2), "m.psd", false,
         "Unsupported psd compression mode."},
        {"PSD version 2", "8BPS" + be16(2) + std::string(20, '\0'), "n.psd", false,
         "Unsupported PSD file version"},
        {"PCX line shorter than the row", std::string("\x0A\x05\x01\x08", 4) + le16(0) +
                                              le16(0) + le16(99) + le16(0) +
                                              std::string(53, '\0') + "\x01" + le16(10) +
                                              std::string(60, '\0') + std::string(1, '\x0C') +
                                              std::string(768, '\0'),
         "o.pcx", false, "unusable dimensions"},
        {"PCX without palette", std::string("\x0A\x05\x01\x08", 4) + std::string(124, '\0'),
         "p.pcx", false, "Unsupported pal indicator in PCX file."},
        {"PCX 4-bit", std::string("\x0A\x05\x01\x04", 4) + std::string(124, '\0'), "q.pcx",
         false, "Unsupported bits per pixel in PCX file."},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        CCapture::lines().clear();
        IImage* image = loadBytes(c.bytes, c.name);
        EXPECT_EQ(image != nullptr, c.image);
        if (c.message)
        {
            EXPECT_TRUE(CCapture::logged(c.message));
        }
        if (image)
            image->drop();
    }
}

TEST_F(Images, PaletteIndexPastThePaletteIsOpaqueBlack)
{
    IImage* image = loadBytes(bmpHeader(62, 2, 1, 8, 4) + le32(0xFF0000) + le32(0x00FF00) +
                                  std::string("\x01\xC8\0\0", 4),
                              "pal.bmp");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->getPixel(0, 0), 0xFF00F800u);
    EXPECT_EQ(image->getPixel(1, 0), 0xFF000000u);
    image->drop();
}

TEST(Image, FormatsConversionsAndResize)
{
    CCapture capture;
    CImage argb(ECF_A8R8G8B8, {3, 2});
    const uint32_t pixels[6] = {0xFF102030, 0x00FFFFFF, 0x01F8F8F8, 0x80000000, 0, 0xFFFFFFFF};
    memcpy(argb.lock(), pixels, sizeof pixels);

    CImage small(ECF_A1R5G5B5, &argb);
    const uint32_t expected[6] = {0xFF102030, 0x00F8F8F8, 0xFFF8F8F8, 0xFF000000, 0, 0xFFF8F8F8};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(small.getPixel(i % 3, i / 3), expected[i]) << i;
    EXPECT_EQ(small.getPixel(3, 0), 0u);
    EXPECT_EQ(small.getPixel(-1, 0), 0u);

    small.resize({6, 4});
    EXPECT_EQ(small.getSize(), (zu::core::SDimension2i{6, 4}));
    EXPECT_EQ(small.getPixel(5, 3), 0xFFF8F8F8u);
    EXPECT_EQ(small.getPixel(1, 1), 0xFF102030u);

    CImage rgb565(ECF_R5G6B5, {1, 1});
    memset(rgb565.lock(), 0xFF, 2);
    EXPECT_EQ(rgb565.getPixel(0, 0), 0u);

    CImage rgb(ECF_R8G8B8, {2, 2});
    CImage copy(ECF_A8R8G8B8, &rgb);
    EXPECT_TRUE(CCapture::logged("CImage: Unsupported format to copy from."));
    argb.resize({1, 1});
    EXPECT_TRUE(CCapture::logged("CImage is not A1R5G5B5"));

    CImage part(2, 1, &argb, {2, 2});
    EXPECT_EQ(part.getPixel(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(part.getPixel(1, 0), 0u); // outside the source: cleared

    CImage unknown(ECOLOR_FORMAT(77), {1, 1});
    EXPECT_EQ(unknown.getBitsPerPixel(), 0);
    EXPECT_TRUE(CCapture::logged("CImage: Unknown color format."));

    CImage huge(ECF_A8R8G8B8, {CImage::MAX_DIMENSION, CImage::MAX_DIMENSION});
    EXPECT_EQ(huge.getSize(), (zu::core::SDimension2i{0, 0}));
}

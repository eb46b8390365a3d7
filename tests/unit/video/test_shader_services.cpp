// The shader-material factory of the shared driver base on the null driver:
// the text variants refuse with their messages, the stream variants hand the
// files' contents on as texts, the file variants open what is named first,
// and a shader renderer takes its fixed-function part and its transparency
// from its base material.
#include "VideoTestSupport.h"

#include "io/CFileSystem.h"
#include "video/IShaderConstantSetCallBack.h"
#include "video/MaterialState.h"
#include "video/null/CShaderMaterialRenderer.h"
#include "video/null/CVideoNull.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using videotest::CCapture;
using zu::core::CString;
using zu::video::IShaderConstantSetCallBack;

namespace
{

// Writes down the texts the chain hands to the text variants.
class CTextRecorder : public kelvo::video::CVideoNull
{
  public:
    using CVideoNull::CVideoNull;

    int32_t createHighLevelMaterial(const CString& vertex, const CString&, const CString&,
                                    const CString& pixel, const CString&, const CString&,
                                    IShaderConstantSetCallBack*, int32_t, int32_t) override
    {
        calls.push_back("high " + vertex.str() + "|" + pixel.str());
        return 20;
    }
    int32_t createProgramMaterial(const CString& vertex, const CString& pixel,
                                  IShaderConstantSetCallBack*, int32_t, int32_t) override
    {
        calls.push_back("program " + vertex.str() + "|" + pixel.str());
        return 21;
    }
    int32_t createCgMaterial(const char* vertex, const CString&, const char* pixel, const CString&,
                             IShaderConstantSetCallBack*, int32_t, bool, int32_t) override
    {
        calls.push_back(std::string("cg ") + (vertex ? vertex : "(none)") + "|" +
                        (pixel ? pixel : "(none)"));
        return 22;
    }
    std::vector<std::string> calls;
};

class ShaderServicesTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        folder = iotest::makeScratchFolder("shaders");
        iotest::writeDiskFile(folder + "/v.txt", "vertex text");
        iotest::writeDiskFile(folder + "/p.txt", "pixel text");
        iotest::writeDiskFile(folder + "/empty.txt", "");
        fs = new kelvo::io::CFileSystem();
    }
    void TearDown() override { fs->drop(); }
    std::string path(const char* name) const { return folder + "/" + name; }

    std::string folder;
    kelvo::io::CFileSystem* fs = nullptr;
};

class CCountingCallback : public IShaderConstantSetCallBack
{
  public:
    void setConstants(zu::video::IMaterialRendererServices*, int32_t) override {}
};

class CBareShaderRenderer : public kelvo::video::CShaderMaterialRenderer
{
  public:
    using CShaderMaterialRenderer::CShaderMaterialRenderer;
    void bind(const zu::video::MaterialState&, const zu::video::MaterialState&, bool,
              zu::video::IMaterialRendererServices*) override
    {
    }
};

} // namespace

TEST_F(ShaderServicesTest, TheNullDriverRefusesEveryKindWithItsMessage)
{
    auto* driver = new kelvo::video::CVideoNull(fs, {64, 64});
    zu::video::IGPUProgrammingServices* services = driver->getShaderServices();
    ASSERT_TRUE(services);
    struct Case
    {
        std::function<int32_t()> create;
        const char* message;
    };
    const Case cases[] = {
        {[&] {
             return services->createHighLevelMaterial("v", "main", "", "p", "main", "", nullptr, 0,
                                                      0);
         },
         "High level shader materials not available (yet) in this driver, sorry"},
        {[&] { return services->createProgramMaterial("v", "p", nullptr, 0, 0); },
         "Shader materials not implemented yet in this driver, sorry."},
        {[&]
         { return services->createCgMaterial("v", "main", "p", "main", nullptr, 12, false, 0); },
         "CG Shaders not available yet"},
        // The file variants open both files before the text variant refuses.
        {[&]
         {
             return services->createCgMaterialFromFiles(path("v.txt").c_str(), "main",
                                                        path("p.txt").c_str(), "main", nullptr, 12,
                                                        false, 0);
         },
         "CG Shaders not available yet"},
    };
    for (const Case& c : cases)
    {
        CCapture capture;
        EXPECT_EQ(c.create(), -1) << c.message;
        ASSERT_EQ(CCapture::lines().size(), 1u) << c.message;
        EXPECT_EQ(CCapture::lines()[0], c.message);
    }
    EXPECT_EQ(driver->getRendererCount(), int32_t(zu::video::EMT_BUILT_IN_COUNT));
    driver->drop();
}

TEST_F(ShaderServicesTest, FilesAreReadWholeIntoTextsAndMissingOnesAreReported)
{
    auto* driver = new CTextRecorder(fs, {64, 64});
    zu::video::IGPUProgrammingServices* s = driver->getShaderServices();
    const CString v = path("v.txt").c_str(), p = path("p.txt").c_str();
    const CString empty = path("empty.txt").c_str(), missing = path("missing.txt").c_str();

    EXPECT_EQ(s->createHighLevelMaterialFromFiles(v, "main", "", p, "main", "", nullptr, 0, 0), 20);
    EXPECT_EQ(s->createProgramMaterialFromFiles(v, p, nullptr, 0, 0), 21);
    EXPECT_EQ(s->createCgMaterialFromFiles(v, "main", p, "main", nullptr, 12, false, 0), 22);
    // "" and "0" name no file; an empty file gives no text either.
    EXPECT_EQ(s->createProgramMaterialFromFiles("0", p, nullptr, 0, 0), 21);
    EXPECT_EQ(s->createHighLevelMaterialFromFiles("", "main", "", empty, "main", "", nullptr, 0, 0),
              20);
    EXPECT_EQ(s->createCgMaterialFromFiles("", "main", p, "main", nullptr, 12, false, 0), 22);
    const std::vector<std::string> expected = {
        "high vertex text|pixel text",
        "program vertex text|pixel text",
        "cg vertex text|pixel text",
        "program |pixel text",
        "high |",
        "cg (none)|pixel text",
    };
    EXPECT_EQ(driver->calls, expected);

    // A named file that cannot be opened fails the creation before any text
    // variant is asked, vertex file first.
    driver->calls.clear();
    {
        CCapture capture;
        EXPECT_EQ(s->createProgramMaterialFromFiles(missing, p, nullptr, 0, 0), -1);
        EXPECT_TRUE(
            CCapture::logged("Could not open vertex shader program file: " + missing.str()));
    }
    {
        CCapture capture;
        EXPECT_EQ(
            s->createHighLevelMaterialFromFiles(v, "main", "", missing, "main", "", nullptr, 0, 0),
            -1);
        EXPECT_TRUE(CCapture::logged("Could not open pixel shader program file: " + missing.str()));
        EXPECT_FALSE(CCapture::logged("vertex"));
    }
    EXPECT_TRUE(driver->calls.empty());
    driver->drop();
}

TEST_F(ShaderServicesTest, AShaderRendererTakesItsBaseMaterialsTransparencyAndHoldsItsParts)
{
    auto* driver = new kelvo::video::CVideoNull(fs, {64, 64});
    auto* callback = new CCountingCallback();
    struct Case
    {
        int32_t base;
        bool transparent;
        bool hasBase;
    };
    // -1 and a type past the registry leave the renderer without a base.
    const Case cases[] = {{zu::video::EMT_TRANSPARENT_ALPHA_CHANNEL, true, true},
                          {zu::video::EMT_SOLID, false, true},
                          {-1, false, false},
                          {999, false, false}};
    for (const Case& c : cases)
    {
        zu::video::IMaterialRenderer* base = driver->getRenderer(c.base);
        const int baseRefs = base ? base->getReferenceCount() : 0;
        auto* renderer = new CBareShaderRenderer(driver, callback, c.base, 7);
        EXPECT_EQ(renderer->isTransparent(), c.transparent) << c.base;
        EXPECT_EQ(renderer->getBaseRenderer() != nullptr, c.hasBase) << c.base;
        EXPECT_EQ(renderer->getUserData(), 7);
        EXPECT_EQ(callback->getReferenceCount(), 2);
        if (base)
        {
            EXPECT_EQ(base->getReferenceCount(), baseRefs + 1);
        }
        renderer->drop();
        EXPECT_EQ(callback->getReferenceCount(), 1);
        if (base)
        {
            EXPECT_EQ(base->getReferenceCount(), baseRefs);
        }
    }
    callback->drop();
    driver->drop();
}

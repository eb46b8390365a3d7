// The Cg material renderer against a fake Cg runtime: what it asks of the
// runtime, in which order, what it logs for the runtime's errors, how the
// constants reach the named parameters and the matrix the modelViewProj
// parameter gets. The renderer calls nothing of OpenGL itself, so it runs on
// the null driver here.
#include "VideoTestSupport.h"

#include "io/CFileSystem.h"
#include "video/IShaderConstantSetCallBack.h"
#include "video/OpenGL/COpenGLCGMaterialRenderer.h"
#include "video/null/CVideoNull.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <string>
#include <vector>

using videotest::CCapture;
using namespace kelvo::video;

namespace
{

// The fake runtime: handles are addresses inside these arrays, every call is
// written down, errors are handed out from a queue, one per getError.
struct SFakeCg
{
    std::vector<std::string> calls;
    std::deque<int> errors;
    // Errors queued when a call of that name is made.
    std::map<std::string, int> failOn;
    char programs[8] = {};
    int nextProgram = 0;
    char parameters[8] = {};
    std::vector<std::string> parameterNames = {"modelViewProj", "tint"};
    std::vector<float> lastValues;
    std::vector<float> lastMatrix;
    char context = 0;

    void call(const std::string& what)
    {
        calls.push_back(what);
        auto failure = failOn.find(what.substr(0, what.find(' ')));
        if (failure != failOn.end()) errors.push_back(failure->second);
    }
};

SFakeCg* g_cg = nullptr;

int programIndex(CGprogram p)
{
    return int(reinterpret_cast<char*>(p) - g_cg->programs);
}

SCgFunctions fakeFunctions()
{
    SCgFunctions f;
    f.createContext = [] { return reinterpret_cast<CGcontext>(&g_cg->context); };
    f.destroyContext = [](CGcontext) { g_cg->call("destroyContext"); };
    f.getError = []
    {
        if (g_cg->errors.empty()) return CG_NO_ERROR;
        const int e = g_cg->errors.front();
        g_cg->errors.pop_front();
        return e;
    };
    f.getErrorString = [](int e)
    {
        static std::string text;
        text = "error " + std::to_string(e);
        return text.c_str();
    };
    f.createProgram =
        [](CGcontext, int type, const char* text, int profile, const char* entry, const char**)
    {
        g_cg->call("createProgram " + std::to_string(type) + " " + text + " " +
                   std::to_string(profile) + " " + entry);
        return reinterpret_cast<CGprogram>(&g_cg->programs[g_cg->nextProgram++]);
    };
    f.destroyProgram = [](CGprogram p)
    { g_cg->call("destroyProgram " + std::to_string(programIndex(p))); };
    // The vertex program (0) has modelViewProj, the pixel program (1) tint.
    f.getNamedParameter = [](CGprogram p, const char* name) -> CGparameter
    {
        const size_t i = size_t(programIndex(p) % 2);
        return g_cg->parameterNames[i] == name ? reinterpret_cast<CGparameter>(&g_cg->parameters[i])
                                               : nullptr;
    };
    f.getFirstParameter = [](CGprogram p, int space) -> CGparameter
    {
        EXPECT_EQ(space, CG_PROGRAM);
        return reinterpret_cast<CGparameter>(&g_cg->parameters[programIndex(p) % 2]);
    };
    f.getNextParameter = [](CGparameter) -> CGparameter { return nullptr; };
    f.getParameterName = [](CGparameter q)
    { return g_cg->parameterNames[size_t(reinterpret_cast<char*>(q) - g_cg->parameters)].c_str(); };
    f.getParameterRows = [](CGparameter q)
    { return q == reinterpret_cast<CGparameter>(&g_cg->parameters[0]) ? 4 : 1; };
    f.getParameterColumns = [](CGparameter) { return 4; };
    f.setParameterValuefr = [](CGparameter q, int count, const float* values)
    {
        const size_t i = size_t(reinterpret_cast<char*>(q) - g_cg->parameters);
        g_cg->call("setParameter " + g_cg->parameterNames[i] + " " + std::to_string(count));
        g_cg->lastValues.assign(values, values + count);
    };
    f.glGetLatestProfile = [](int stage)
    {
        g_cg->call("latestProfile " + std::to_string(stage));
        return stage == CG_GL_VERTEX ? 6150 : 7000;
    };
    f.glSetOptimalOptions = [](int profile)
    { g_cg->call("optimalOptions " + std::to_string(profile)); };
    f.glLoadProgram = [](CGprogram p) { g_cg->call("load " + std::to_string(programIndex(p))); };
    f.glBindProgram = [](CGprogram p) { g_cg->call("bind " + std::to_string(programIndex(p))); };
    f.glUnbindProgram = [](int profile) { g_cg->call("unbind " + std::to_string(profile)); };
    f.glEnableProfile = [](int profile) { g_cg->call("enable " + std::to_string(profile)); };
    f.glDisableProfile = [](int profile) { g_cg->call("disable " + std::to_string(profile)); };
    f.glSetMatrixParameterfc = [](CGparameter, const float* m)
    {
        g_cg->call("matrix");
        g_cg->lastMatrix.assign(m, m + 16);
    };
    return f;
}

// Sets the constant "tint" and remembers the user data it was called with.
class CTintCallback : public zu::video::IShaderConstantSetCallBack
{
  public:
    void setConstants(zu::video::IMaterialRendererServices* services, int32_t userData) override
    {
        userDatas.push_back(userData);
        const float tint[3] = {0.25f, 0.5f, 1.f};
        found.push_back(services->setPixelShaderConstant("tint", tint, 3));
        found.push_back(services->setPixelShaderConstant("missing", tint, 3));
    }
    std::vector<int32_t> userDatas;
    std::vector<bool> found;
};

class CgMaterialTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        g_cg = &fake;
        functions = fakeFunctions();
        fs = new kelvo::io::CFileSystem();
        driver = new CVideoNull(fs, {64, 64});
        callback = new CTintCallback();
    }
    void TearDown() override
    {
        callback->drop();
        driver->drop();
        fs->drop();
        g_cg = nullptr;
    }
    COpenGLCGMaterialRenderer* make(int32_t base = 12)
    {
        return new COpenGLCGMaterialRenderer(driver, driver, &functions,
                                             reinterpret_cast<CGcontext>(&fake.context), callback,
                                             base, 5);
    }

    SFakeCg fake;
    SCgFunctions functions;
    kelvo::io::CFileSystem* fs = nullptr;
    CVideoNull* driver = nullptr;
    CTintCallback* callback = nullptr;
};

} // namespace

TEST_F(CgMaterialTest, ProgramsAreBuiltVertexFirstForTheLatestProfiles)
{
    COpenGLCGMaterialRenderer* renderer = make();
    ASSERT_TRUE(renderer->build("vs", "vmain", "ps", "pmain", false));
    const std::vector<std::string> expected = {
        "latestProfile 8", "optimalOptions 6150", "createProgram 4112 vs 6150 vmain", "load 0",
        "latestProfile 9", "optimalOptions 7000", "createProgram 4112 ps 7000 pmain", "load 1",
    };
    EXPECT_EQ(fake.calls, expected);
    fake.calls.clear();
    renderer->drop();
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"destroyProgram 0", "destroyProgram 1"}));

    // Precompiled objects, and a pixel program alone.
    fake.calls.clear();
    renderer = make();
    ASSERT_TRUE(renderer->build(nullptr, "main", "ps", "main", true));
    EXPECT_EQ(fake.calls[2], "createProgram 4113 ps 7000 main");
    EXPECT_EQ(renderer->getVertexProgram(), nullptr);
    renderer->drop();
}

TEST_F(CgMaterialTest, RuntimeErrorsAreLoggedWithTheirStepAndStopTheBuild)
{
    struct Case
    {
        const char* failing;
        const char* message;
        size_t calls; // made before the build stopped
    };
    const Case cases[] = {
        {"createProgram", "Error creating CG vertex program: 'error 3'", 3},
        {"load", "Error loading CG vertex program: 'error 3'", 4},
    };
    for (const Case& c : cases)
    {
        fake.calls.clear();
        fake.failOn = {{c.failing, 3}};
        CCapture capture;
        COpenGLCGMaterialRenderer* renderer = make();
        EXPECT_FALSE(renderer->build("vs", "main", "ps", "main", false)) << c.failing;
        EXPECT_EQ(fake.calls.size(), c.calls) << c.failing;
        EXPECT_TRUE(CCapture::logged(c.message)) << c.failing;
        renderer->drop();
    }
    // Every pending error gets a line of its own.
    fake.failOn.clear();
    fake.calls.clear();
    COpenGLCGMaterialRenderer* renderer = make();
    fake.errors = {4, 5};
    CCapture capture;
    EXPECT_FALSE(renderer->build("vs", "main", nullptr, "main", false));
    EXPECT_TRUE(CCapture::logged("Error creating CG vertex program: 'error 4'"));
    EXPECT_TRUE(CCapture::logged("Error creating CG vertex program: 'error 5'"));
    renderer->drop();
}

TEST_F(CgMaterialTest, BindingSetsConstantsAndTheMatrixAndConstantsComeBeforeEveryDraw)
{
    COpenGLCGMaterialRenderer* renderer = make();
    ASSERT_TRUE(renderer->build("vs", "main", "ps", "main", false));
    zu::core::CMatrix4 world, view, projection;
    world(3, 0) = 2.f; // moved along x
    view(3, 2) = 5.f;  // pushed away along z
    projection(1, 1) = 3.f;
    projection(2, 3) = 1.f;
    driver->setTransform(zu::video::ETS_WORLD, world);
    driver->setTransform(zu::video::ETS_VIEW, view);
    driver->setTransform(zu::video::ETS_PROJECTION, projection);

    fake.calls.clear();
    zu::video::MaterialState material, last;
    material.MaterialType = 15;
    last.MaterialType = 0;
    CCapture capture;
    renderer->bind(material, last, false, driver);
    const std::vector<std::string> expected = {
        "setParameter tint 3", "bind 0", "enable 6150", "matrix", "bind 1", "enable 7000"};
    EXPECT_EQ(fake.calls, expected);
    // Constants set at a switch get user data 0. A name the pixel program
    // lacks is reported once, with both programs' parameters.
    EXPECT_EQ(callback->userDatas, std::vector<int32_t>{0});
    EXPECT_EQ(callback->found, (std::vector<bool>{true, false}));
    EXPECT_EQ(fake.lastValues, (std::vector<float>{0.25f, 0.5f, 1.f}));
    EXPECT_TRUE(CCapture::logged("CG variable not found: 'missing'. Available variables are:"));
    EXPECT_TRUE(CCapture::logged("- modelViewProj - size 4x4"));
    EXPECT_TRUE(CCapture::logged("- tint - size 1x4"));
    EXPECT_TRUE(CCapture::logged("Pixel program parameters:"));
    const zu::core::CMatrix4 mvp = projection * (view * world);
    EXPECT_EQ(fake.lastMatrix, std::vector<float>(mvp.m, mvp.m + 16));

    // Before each draw, with its user data; the listing is not repeated.
    CCapture again;
    EXPECT_TRUE(renderer->beforeDraw(driver, 0));
    EXPECT_EQ(callback->userDatas, (std::vector<int32_t>{0, 5}));
    EXPECT_FALSE(CCapture::logged("Available variables"));

    // Binding the same type again without a reset changes nothing.
    fake.calls.clear();
    renderer->bind(material, material, false, driver);
    EXPECT_TRUE(fake.calls.empty());

    renderer->unbind();
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"unbind 6150", "disable 6150", "unbind 7000",
                                                    "disable 7000"}));
    renderer->drop();
}

TEST_F(CgMaterialTest, NamedConstantsReachTheirOwnProgramAndRegisterFormsAreRefused)
{
    COpenGLCGMaterialRenderer* renderer = make();
    ASSERT_TRUE(renderer->build("vs", "main", "ps", "main", false));
    const float values[2] = {1.5f, -2.f};
    EXPECT_TRUE(renderer->setVertexShaderConstant("modelViewProj", values, 2));
    EXPECT_EQ(fake.lastValues, (std::vector<float>{1.5f, -2.f}));
    {
        CCapture capture;
        EXPECT_FALSE(renderer->setVertexShaderConstant("tint", values, 2)) << "the pixel program's";
        EXPECT_TRUE(CCapture::logged("CG variable not found: 'tint'"));
    }
    fake.failOn = {{"setParameter", 9}};
    {
        CCapture capture;
        EXPECT_FALSE(renderer->setVertexShaderConstant("modelViewProj", values, 2));
        EXPECT_TRUE(CCapture::logged("Error setting variable: 'error 9'"));
    }
    CCapture capture;
    renderer->setPixelShaderConstant(values, 0, 1);
    EXPECT_TRUE(
        CCapture::logged("Cannot set constant, please use high level shader call instead."));
    // Over a transparent base it blends; over none it does not.
    EXPECT_TRUE(renderer->isTransparent());
    renderer->drop();
    renderer = make(-1);
    EXPECT_FALSE(renderer->isTransparent());
    renderer->drop();
}

#include "core/CString.h"
#include "core/Output.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using namespace zu::core;

namespace
{
std::string g_printed;
void capture(const char* text) { g_printed += text; }

struct CheckRecord
{
    std::string message, condition, file;
    int line = 0;
    int count = 0;
} g_check;

void recordCheck(const char* message, const char* condition, int line, const char* file)
{
    g_check = {message, condition, file, line, g_check.count + 1};
}

class OutputTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_printed.clear();
        g_check = {};
        setPrintHook(capture);
    }
    void TearDown() override
    {
        setPrintHook(nullptr);
        setCheckHook(nullptr);
    }
};
} // namespace

TEST_F(OutputTest, LongTextIsCutAt1023CharactersAndKeepsItsLineFeed)
{
    // Cut lines end in a line feed too, so the next line starts on its own.
    zuPrintLn("%s", std::string(1023, 'x').c_str());
    EXPECT_EQ(g_printed, std::string(1022, 'x') + "\n");

    g_printed.clear();
    zuPrintLn("%s", std::string(5000, 'y').c_str());
    EXPECT_EQ(g_printed, std::string(1022, 'y') + "\n");

    g_printed.clear();
    zuPrint("%s\n", std::string(5000, 'w').c_str());
    EXPECT_EQ(g_printed, std::string(1022, 'w') + "\n");

    g_printed.clear();
    zuPrintLn("%s", std::string(1022, 'z').c_str());
    EXPECT_EQ(g_printed, std::string(1022, 'z') + "\n");
}

TEST_F(OutputTest, LoggedTextKeepsPercentSigns)
{
    // Before any logger exists the default sink prints the text as a line.
    zuLogText("100%s done %d", 0);
    EXPECT_EQ(g_printed, "100%s done %d\n");
}

TEST_F(OutputTest, CheckReportNamesConditionSourceAndLine)
{
    char report[1024];
    formatCheckReport(report, sizeof report, "No description", "num >= 0", 42,
                      "/work/main/src/other/CDeviceStub.cpp");
    EXPECT_STREQ(report, "Assertion failed: No description\nCondition: num >= 0 was false\n"
                         "Line: other/CDeviceStub:42");
}

TEST_F(OutputTest, FailedCheckGoesToTheHookAndReportsFalse)
{
    setCheckHook(recordCheck);
    int value = -1;
    bool ok = ZU_CHECK(value >= 0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(g_check.count, 1);
    EXPECT_EQ(g_check.message, "No description");
    EXPECT_EQ(g_check.condition, "value >= 0");
    EXPECT_TRUE(ZU_CHECK_MSG(value < 0, "never reported"));
    EXPECT_EQ(g_check.count, 1);
}

TEST_F(OutputTest, StringFromNullPointerIsAProgrammingError)
{
    setCheckHook(recordCheck);
    const char* none = nullptr;
    CString s(none);
    EXPECT_EQ(g_check.count, 1);
    EXPECT_TRUE(s.empty());
}

void printToStderr(const char* text) { fputs(text, stderr); }

TEST(DefaultCheckHook, AbortsWithTheReport)
{
    // Death tests read standard error.
    EXPECT_DEATH((setPrintHook(printToStderr), ZU_CHECK_MSG(1 == 2, "numbers differ")),
                 "Assertion failed: numbers differ\nCondition: 1 == 2 was false");
}

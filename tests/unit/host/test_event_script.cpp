#include "other/CEventScript.h"

#include <gtest/gtest.h>

using kelvo::CEventScript;
using kelvo::SScriptedInput;

TEST(EventScript, ParsesEveryKindOfLine)
{
    CEventScript script;
    zu::core::CString error;
    ASSERT_TRUE(script.parse("# input for a test\n"
                             "2 key 0x52 ctrl   # Ctrl+R\n"
                             "2 char 97\n"
                             "3 mouse right click 10 20\n"
                             "3 move 1 2\n"
                             "4 wheel 5 6 -1\n"
                             "\n"
                             "9 quit\n",
                             error))
        << error.c_str();
    auto two = script.eventsForPass(2);
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0].kind, SScriptedInput::Key);
    EXPECT_EQ(two[0].code, 0x52u);
    EXPECT_TRUE(two[0].control && two[0].down && two[0].up) << "a plain key line is a tap";
    EXPECT_EQ(two[1].kind, SScriptedInput::Character);
    auto three = script.eventsForPass(3);
    ASSERT_EQ(three.size(), 2u);
    EXPECT_EQ(three[0].code, 1u);
    EXPECT_TRUE(three[0].down && three[0].up);
    EXPECT_EQ(three[0].y, 20);
    EXPECT_FLOAT_EQ(script.eventsForPass(4)[0].wheel, -1.f);
    EXPECT_EQ(script.eventsForPass(9)[0].kind, SScriptedInput::Quit);
    EXPECT_TRUE(script.eventsForPass(5).empty());
}

TEST(EventScript, MalformedLinesAreReportedWithTheirNumber)
{
    const char* bad[] = {"key 5", "0 key 5", "1 key", "1 mouse up 1 2", "1 mouse left 1", "1 jump"};
    for (const char* line : bad)
    {
        CEventScript script;
        zu::core::CString error;
        EXPECT_FALSE(script.parse(zu::core::CString("1 quit\n") + line, error)) << line;
        EXPECT_NE(error.find("line 2"), zu::core::CString::npos) << error.c_str();
    }
}

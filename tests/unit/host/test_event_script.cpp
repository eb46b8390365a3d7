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
    const char* bad[] = {"key 5",
                         "0 key 5",
                         "1 key",
                         "1 mouse up 1 2",
                         "1 mouse left 1",
                         "1 jump",
                         "1 pad",
                         "1 pad 2",
                         "1 pad attach 2",
                         "1 pad -1 attach",
                         "1 pad button",
                         "1 pad button 14",
                         "1 pad button 1 tap",
                         "1 pad button 1 down 2",
                         "1 pad axis 1",
                         "1 pad axis 2 0",
                         "1 pad axis 8 0",
                         "1 pad axis 1 1.5",
                         "1 pad axis 6 -0.5",
                         "1 pad axis 1 nan",
                         "1 pad axis 1 0.5x",
                         "1 pad wiggle"};
    for (const char* line : bad)
    {
        CEventScript script;
        zu::core::CString error;
        EXPECT_FALSE(script.parse(zu::core::CString("1 quit\n") + line, error)) << line;
        EXPECT_NE(error.find("line 2"), zu::core::CString::npos) << error.c_str();
    }
}

TEST(EventScript, PadLinesNameAVirtualPadAndATapLastsOnePass)
{
    CEventScript script;
    zu::core::CString error;
    ASSERT_TRUE(script.parse("2 pad attach\n"
                             "3 pad 1 button 0\n"
                             "3 pad button 13 down\n"
                             "4 pad 2 axis 1 -1.0\n"
                             "4 pad axis 7 0.25\n"
                             "5 pad button 13 up\n"
                             "6 pad 3 detach\n",
                             error))
        << error.c_str();
    auto two = script.eventsForPass(2);
    ASSERT_EQ(two.size(), 1u);
    EXPECT_EQ(two[0].kind, SScriptedInput::Pad);
    EXPECT_EQ(two[0].padAction, SScriptedInput::PadAttach);
    EXPECT_EQ(two[0].pad, 0);

    auto three = script.eventsForPass(3);
    ASSERT_EQ(three.size(), 2u);
    EXPECT_EQ(three[0].padAction, SScriptedInput::PadButton);
    EXPECT_EQ(three[0].pad, 1);
    EXPECT_EQ(three[0].code, 0u);
    EXPECT_TRUE(three[0].down);
    EXPECT_EQ(three[1].code, 13u);
    EXPECT_TRUE(three[1].down);

    // The tap of pass 3 lets go in pass 4, before the lines written for 4.
    auto four = script.eventsForPass(4);
    ASSERT_EQ(four.size(), 3u);
    EXPECT_EQ(four[0].padAction, SScriptedInput::PadButton);
    EXPECT_EQ(four[0].pad, 1);
    EXPECT_FALSE(four[0].down);
    EXPECT_EQ(four[1].padAction, SScriptedInput::PadAxis);
    EXPECT_EQ(four[1].pad, 2);
    EXPECT_EQ(four[1].code, 1u);
    EXPECT_FLOAT_EQ(four[1].value, -1.f);
    EXPECT_FLOAT_EQ(four[2].value, 0.25f);

    EXPECT_FALSE(script.eventsForPass(5)[0].down);
    EXPECT_EQ(script.eventsForPass(6)[0].padAction, SScriptedInput::PadDetach);
    EXPECT_EQ(script.eventsForPass(6)[0].pad, 3);
}

#include <gtest/gtest.h>

#include "platform/ui/events/Events.h"
#include "tools/scenario/KeyChord.h"
#include "tools/scenario/Script.h"

using namespace scenario;

namespace {

TEST(ScenarioScript, SplitsLinesSkipsCommentsAndKeepsQuotedBlanks)
{
    std::vector<Command> commands;
    ScriptError error;
    ASSERT_TRUE(ParseScript("# a comment\n\n  screen 800 600 2\r\nclick \"About \\\"Orvo\\\"\" 10 20 cmd+shift\n"
                            "type  two  blanks\nopen a.mov \"b c.mov\"\n",
                            &commands, &error))
        << error.reason;
    ASSERT_EQ(commands.size(), 4u);
    EXPECT_EQ(commands[0].line, 3);
    EXPECT_EQ(commands[1].name, "click");
    EXPECT_EQ(commands[1].args[0].text, "About \"Orvo\"");
    EXPECT_TRUE(commands[1].args[0].quoted);
    EXPECT_FALSE(commands[1].args[1].quoted);
    EXPECT_EQ(commands[2].rest, " two  blanks");  // after one blank, kept as typed
    EXPECT_EQ(commands[3].args.size(), 2u);
    EXPECT_EQ(commands[3].args[1].text, "b c.mov");
}

TEST(ScenarioScript, ReportsTheFirstMistakeWithItsLine)
{
    struct Case {
        const char* script;
        int line;
        const char* reason;
    };
    const Case cases[] = {
        {"dump\njump 3\n", 2, "unknown command jump"},
        {"menu 129\n", 1, "menu takes 2 to 3 arguments, not 1"},
        {"menu 129 x\n", 1, "menu takes a menu ID and an item number"},
        {"key cmd+hyper+t\n", 1, "unknown key cmd+hyper+t"},
        {"click window 1 2\n", 1, "WHERE is front, screen or a window title in double quotes"},
        {"click front 1 2 meta\n", 1, "unknown modifier keys meta"},
        {"doubleclick front 1 2 cmd\n", 1, "doubleclick takes 3 arguments, not 4"},
        {"part front menu\n", 1, "a part is title, close, zoom or grow"},
        {"dragpart front close 1 1\n", 1, "dragpart drags title or grow"},
        {"click \"About 1 2\n", 1, "a double quote is not closed"},
        {"wait -1\n", 1, "wait takes a number of ticks"},
        {"nav check 4\n", 1, "nav check takes a check box, 1, 2 or 3"},
        {"nav open x\n", 1, "nav takes choose PATH, save PATH, check K or cancel"},
        {"system 10.4\n", 1, "the system version is a hexadecimal number (1040: 10.4)"},
        {"gestalt sys 1\n", 1, "a Gestalt selector has four characters"},
        {"screen 100 100 5\n", 1, "the scale is 1, 2, 3 or 4"},
        {"system 1040\nquit\nsystem 922\n", 3, "system must come before every other command"},
        {"type\n", 1, "type needs the text to type"},
        {"screenshot\n", 1, "screenshot takes 1 argument, not 0"},
        {"quit now\n", 1, "quit takes no arguments"},
    };
    for (const Case& c : cases) {
        std::vector<Command> commands;
        ScriptError error;
        EXPECT_FALSE(ParseScript(c.script, &commands, &error)) << c.script;
        EXPECT_EQ(error.line, c.line) << c.script;
        EXPECT_EQ(error.reason, c.reason) << c.script;
    }
}

TEST(ScenarioScript, KeysCarryTheirCharacterKeyCodeAndModifiers)
{
    struct Case {
        const char* chord;
        UInt8 charCode;
        UInt8 keyCode;
        UInt16 modifiers;
        const char* text;
    };
    const Case cases[] = {
        {"cmd+t", 't', 0x11, cmdKey, "t"},
        {"cmd+.", '.', 0x2F, cmdKey, "."},
        {"option+cmd+o", 'o', 0x1F, cmdKey | optionKey, "o"},
        {"shift+a", 'A', 0x00, shiftKey, "A"},
        {"return", kReturnCharCode, 0x24, 0, ""},
        {"enter", kEnterCharCode, 0x4C, 0, ""},
        {"escape", kEscapeCharCode, 0x35, 0, ""},
        {"control+left", kLeftArrowCharCode, 0x7B, controlKey, ""},
        {"space", ' ', 0x31, 0, " "},
        {"pagedown", 0x0C, 0x79, 0, ""},
        {"+", '+', 0, 0, "+"},
        {"cmd++", '+', 0, cmdKey, "+"},
        {"\xC3\xA9", 0, 0, 0, "\xC3\xA9"},
    };
    for (const Case& c : cases) {
        KeyStroke k;
        ASSERT_TRUE(ParseKey(c.chord, &k)) << c.chord;
        EXPECT_EQ(k.charCode, c.charCode) << c.chord;
        EXPECT_EQ(k.keyCode, c.keyCode) << c.chord;
        EXPECT_EQ(k.modifiers, c.modifiers) << c.chord;
        EXPECT_EQ(k.text, c.text) << c.chord;
    }
    KeyStroke k;
    for (const char* bad : {"", "cmd+", "tt", "cmd+return+x", "hyper+a", "cmd++x"})
        EXPECT_FALSE(ParseKey(bad, &k)) << bad;
}

}  // namespace

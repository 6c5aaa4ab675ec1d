// Tests of src/menus/msgbox.cpp and the name entry: the first start's name box with every refused input, the caret
// keys and their repeat, the add and rename boxes, and one action per frame when a click and Enter come together.
#include <gtest/gtest.h>

#include "board/rules.h"
#include "main/config.h"
#include "main/progress.h"
#include "main/screens.h"
#include "menus/menus.h"
#include "menus_helpers.h"
#include "platform/graphics.h"

namespace {

constexpr const char* kWeiter = "2 click 1 400 393"; // the dlg2 box's button
constexpr const char* kOk3 = "2 click 1 292 368";    // the dlg3 box's first button

using NameBoxTest = MenusTest;

TEST_F(NameBoxTest, FirstStartRefusesBlanksTildeControlsAndWideCharactersThenTakesTheName) {
    ASSERT_EQ(First_Start, 1);
    // An editing key is read again 200 ms after the last one acted: presses here stand 20 frames apart.
    Script("3 mouse 671 173\n" // over Start, under the box
           "4 key 27 press\n"  // Escape does nothing here
           "6 text   \n"       // blanks only
           "8 key 13 press\n"  // Enter refuses them as the button does
           "10 key 8 press\n"  // Backspace x3: two blanks, then nothing left to delete
           "30 key 8 press\n"
           "50 key 8 press\n"
           "70 text ~An\xCE\xA9n\xE2\x82\xAC"
           "a~\n"                  // tilde, Greek and euro signs are refused
           "72 key 9 press\n"      // Tab only flushes
           "74 text Bartholomew\n" // to nine characters
           "78 text X\n");
    Screen_Set(kScreenMainMenu);
    Frames(5);
    ASSERT_EQ(Dialog_Active, 1);
    EXPECT_EQ(NameBox_Mode, 0);
    EXPECT_EQ(MainMenu_Buttons[0]->state & BTN_HOVERED, 0) << "the menu's buttons wait under the box";
    Frames(4);
    EXPECT_EQ(NameBox_Text, u"  ");
    EXPECT_NE(MsgBox_Buttons[0]->state & BTN_DISABLED, 0) << "Weiter is off for blanks";
    EXPECT_EQ(Dialog_Active, 1) << "Enter took a blank name";
    Frames(72);
    EXPECT_EQ(NameBox_Text, u"AnnaBarth");
    EXPECT_EQ(MsgBox_Buttons[0]->state & BTN_DISABLED, 0);
    EXPECT_EQ(Player_Used[0], 0);

    Script(kWeiter);
    Frames(3);
    EXPECT_EQ(Dialog_Active, 0);
    EXPECT_EQ(First_Start, 0);
    EXPECT_EQ(Player_Names[0], u"AnnaBarth");
    EXPECT_EQ(ConfigFileValue(dataDir_, "PLAYER0"), "AnnaBarth");
    EXPECT_EQ(LeInt(ReadBytes(dataDir_ + "/mm_config.bin"), 8960), 1) << "slot 0 in use on disk";
    EXPECT_EQ(MainMenu_UserButton->text, u"Spieler AnnaBarth");
    EXPECT_EQ(Level_Current, 1);
}

TEST_F(NameBoxTest, CaretKeysStayInsideTheTextAndAHeldBackspaceRepeatsEvery200Ms) {
    Script("2 text ABCDEFGH\n"
           "4 key 36 press\n"  // Home
           "20 key 8 press\n"  // Backspace at 0: nothing
           "36 key 35 press\n" // End
           "52 key 46 press\n" // Delete at the end: nothing
           "68 key 37 press\n" // Left: before "H"
           "84 key 46 press\n" // Delete: "H" goes
           "100 key 8 down\n"  // held for 30 frames (480 ms)
           "130 key 8 up\n");
    NameBox_Mode = 0;
    MsgBox_Username_Open();
    Frames(99);
    EXPECT_EQ(NameBox_Text, u"ABCDEFG");
    EXPECT_EQ(NameBox_Entry.cursor, 7);
    Frames(31);
    // Frames 100, 114 and 128: once at once, then after each 200 ms pause (counted in whole 16 ms frames).
    EXPECT_EQ(NameBox_Text, u"ABCD");
    EXPECT_EQ(NameBox_Entry.cursor, 4);
}

// Enter is a held key: pressed in the editing keys' 200 ms pause after Backspace and held, it confirms once the
// pause ends. One held on from before the box opened confirms nothing.
TEST_F(NameBoxTest, AHeldEnterActsAfterTheBackspacePauseButNotOneHeldFromBefore) {
    Script("2 text Annax\n"
           "4 key 8 press\n" // Backspace: the editing keys wait 200 ms (13 frames)
           "6 key 13 down\n" // Enter 32 ms later, held
           "40 key 13 up\n");
    NameBox_Mode = 0;
    MsgBox_Username_Open();
    Frames(8);
    EXPECT_EQ(Dialog_Active, 1) << "nothing acts in the pause";
    Frames(20);
    EXPECT_EQ(Dialog_Active, 0) << "the held Enter confirms once the pause ends";
    EXPECT_EQ(Player_Names[0], u"Anna");

    NameBox_Mode = 2;
    Script("1 key 13 down\n"
           "4 text Bert\n"
           "20 key 13 up\n"
           "24 key 13 press\n");
    Frames(2);
    MsgBox_Username_Open();
    Frames(18);
    EXPECT_EQ(Dialog_Active, 1) << "an Enter held from before the box";
    EXPECT_EQ(Player_Used[1], 0);
    Frames(8);
    EXPECT_EQ(Player_Used[1], 1) << "a new press";
    EXPECT_EQ(Player_Names[1], u"Bert");
}

TEST_F(NameBoxTest, AddTakesTheFirstFreeSlotAndMakesItCurrent) {
    NamePlayer0("Anna");
    NameBox_Mode = 2;
    MsgBox_Username_Open();
    Script("2 text Bert\n"
           "4 mouse 292 368\n"
           "5 down 1\n"
           "6 up 1\n"          // the OK button's click ...
           "6 key 13 down\n"); // ... and Enter in the same frame
    Frames(8);
    EXPECT_EQ(Player_Used[1], 1);
    EXPECT_EQ(Player_Names[1], u"Bert");
    EXPECT_EQ(Player_Current, 1);
    EXPECT_EQ(Player_Used[2], 0);
    EXPECT_EQ(out_.find("same name"), std::string::npos) << out_;
    EXPECT_EQ(ConfigFileValue(dataDir_, "PLAYER_CRT"), "1");
}

TEST_F(NameBoxTest, ClickAndEnterInOneFrameRunTheFirstStartOkOnce) {
    Script("2 text Anna\n"
           "4 mouse 400 393\n"
           "5 down 1\n"
           "6 up 1\n"          // Weiter's click ...
           "6 key 13 down\n"); // ... and Enter in the same frame
    NameBox_Mode = 0;
    MsgBox_Username_Open();
    Frames(8);
    EXPECT_EQ(Dialog_Active, 0);
    EXPECT_EQ(First_Start, 0);
    EXPECT_EQ(Player_Names[0], u"Anna");
    ASSERT_FALSE(MsgBox_Buttons.empty());
    EXPECT_EQ(MsgBox_Buttons[0]->state & BTN_CLICKED, 0) << "the closed box's button took the click as a second OK";
}

TEST_F(NameBoxTest, RenameAcceptsTheOwnNameAndRefusesAnotherPlayersName) {
    NamePlayer0("Anna");
    Player_Names[1] = u"Bert";
    Player_Used[1] = 1;
    NameBox_Mode = 1;
    MsgBox_Username_Open();
    EXPECT_EQ(NameBox_Text, u"Anna") << "rename starts from the current name";
    EXPECT_EQ(NameBox_Entry.cursor, 0);
    Script("2 key 35 press\n20 key 8 press\n40 key 8 press\n60 key 8 press\n80 key 8 press\n"
           "100 text Bert\n102 key 13 press\n"
           "110 text x\n"); // the name-exists box takes any key and brings the name box back
    Frames(104);
    EXPECT_NE(out_.find("rename failed same name as 1"), std::string::npos) << out_;
    EXPECT_EQ(Player_Names[0], u"Anna");
    Frames(8);
    ASSERT_EQ(Dialog_Active, 1);
    EXPECT_EQ(NameBox_Mode, 1);
    EXPECT_EQ(NameBox_Text, u"Anna");
    Script(kOk3);
    Frames(3);
    EXPECT_EQ(Player_Names[0], u"Anna") << "its own name is allowed";
    EXPECT_EQ(Player_Current, 0);
}

TEST_F(NameBoxTest, AddWithTenPlayersWritesTheLineAndChangesNothing) {
    NamePlayer0("P0");
    for (size_t i = 0; i < 10; ++i) {
        Player_Used[i] = 1;
        Player_Names[i] = u"P" + Str_FromInt(int64_t(i));
    }
    NameBox_Mode = 2;
    MsgBox_Username_Open();
    Script("2 text Zed\n4 key 13 press\n");
    Frames(6);
    EXPECT_NE(out_.find("MsgBox_Username_Btn_Ok_LeftUp: error finding slot for new player"), std::string::npos);
    EXPECT_EQ(Dialog_Active, 1) << "the box stays open";
    for (size_t i = 0; i < 10; ++i)
        EXPECT_EQ(Player_Names[i], u"P" + Str_FromInt(int64_t(i)));
}

} // namespace

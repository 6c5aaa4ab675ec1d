// Tests of src/menus/players.cpp: the players dialog driven by clicks from the main menu (add, name taken, choose,
// delete with confirmation, the last player refused), what each step writes, and the same players after a restart.
#include <gtest/gtest.h>

#include "main/config.h"
#include "main/progress.h"
#include "main/screens.h"
#include "menus/menus.h"
#include "menus_helpers.h"

namespace {

class PlayersTest : public MenusTest {
  protected:
    // One click at (x, y), then a few frames for the action to run.
    void Click(int x, int y) {
        Script("2 click 1 " + std::to_string(x) + " " + std::to_string(y));
        Frames(4);
    }
    void Type(const std::string& text) {
        Script("2 text " + text + "\n4 key 13 press");
        Frames(6);
    }
    void AnyKey() {
        Script("2 text x");
        Frames(3);
    }
    void ClickRow(int row) {
        const int h = Players_List->RowHeight(0);
        Click(640, 246 + row * h + h / 2);
    }
};

constexpr int kUserX = 671, kUserY = 327;     // the main menu's user button
constexpr int kAddX = 508, kAddY = 275;       // Hinzufügen
constexpr int kDeleteX = 547, kDeleteY = 390; // Löschen
constexpr int kOkX = 641, kOkY = 515;         // OK
constexpr int kYesX = 292, kYesY = 368;       // a dlg3 box's "Ja"
constexpr int kNoX = 413, kNoY = 368;         // its "Nein" / "Abbruch"

TEST_F(PlayersTest, AddChooseDeleteAndTheLastPlayerSurviveARestart) {
    NamePlayer0("Anna");
    Screen_Set(kScreenMainMenu);
    Frames(2);
    Click(kUserX, kUserY);
    ASSERT_EQ(Dialog_Active, 1);
    ASSERT_EQ(Players_List->rowCount, 1);

    // Add "Bert": slot 1, now current.
    Click(kAddX, kAddY);
    Type("Bert");
    EXPECT_EQ(Player_Used[1], 1);
    EXPECT_EQ(Player_Current, 1);
    EXPECT_EQ(Players_List->rowCount, 2);
    EXPECT_EQ(Players_List->selected, 1);

    // Add "Anna" again: refused with the name-exists box, then the name box again, then cancelled.
    Click(kAddX, kAddY);
    Type("Anna");
    EXPECT_NE(out_.find("add failed same name as 0"), std::string::npos) << out_;
    AnyKey();
    EXPECT_EQ(NameBox_Mode, 2);
    EXPECT_TRUE(NameBox_Text.empty());
    Click(kNoX, kNoY);
    EXPECT_EQ(Player_Used[2], 0);

    // Bert has played: castles, tutorial and tips remembered on disk.
    Castles_Completed[1 * kCastlesCount + 2] = 1;
    Tutorial_Flags[1 * kTutorialCount + 3] = 1;
    Tips_Shown[1][5] = 1;
    ASSERT_TRUE(Progress_Save());

    // Delete the current player (Bert): asked first; "Nein" changes nothing, "Ja" deletes.
    Click(kDeleteX, kDeleteY);
    Click(kNoX, kNoY);
    EXPECT_EQ(Player_Used[1], 1);
    Click(kDeleteX, kDeleteY);
    Click(kYesX, kYesY);
    EXPECT_EQ(Player_Current, 0) << "the lowest other player becomes current";
    EXPECT_EQ(Player_Used[1], 0);
    EXPECT_EQ(Player_Names[1], u"New Player2");
    EXPECT_EQ(ConfigFileValue(dataDir_, "PLAYER1"), "New Player2");
    EXPECT_EQ(ConfigFileValue(dataDir_, "PLAYER_CRT"), "0");
    const std::vector<uint8_t> bin = ReadBytes(dataDir_ + "/mm_config.bin");
    EXPECT_EQ(LeInt(bin, 4 * (1 * kCastlesCount + 2)), 0) << "castles cleared on disk at once";
    EXPECT_EQ(LeInt(bin, 9040 + 4 * (1 * kTutorialCount + 3)), 0) << "tutorial flags cleared on disk";
    EXPECT_EQ(LeInt(bin, 6800 + 4 * (1 * kTipsCount + 5)), 0) << "tips cleared on disk";
    EXPECT_EQ(LeInt(bin, 8960 + 4), 0);
    AnyKey(); // "Spieler gelöscht."
    ASSERT_EQ(Dialog_Active, 1);
    EXPECT_EQ(Players_List->rowCount, 1);

    // The last player cannot be deleted.
    Click(kDeleteX, kDeleteY);
    AnyKey();
    EXPECT_EQ(Player_Used[0], 1);
    EXPECT_EQ(Players_List->rowCount, 1);

    Click(kOkX, kOkY);
    EXPECT_EQ(Dialog_Active, 0);
    EXPECT_EQ(Screen_Current, kScreenMainMenu);
    EXPECT_EQ(MainMenu_UserButton->text, u"Spieler Anna");

    Player_Current = 7;
    Player_Used.fill(0);
    Restart();
    EXPECT_EQ(Player_Current, 0);
    EXPECT_EQ(Player_Used[0], 1);
    EXPECT_EQ(Player_Used[1], 0);
    EXPECT_EQ(Player_Names[0], u"Anna");
    EXPECT_EQ(First_Start, 0);
}

TEST_F(PlayersTest, ARowClickChoosesThePlayerAndCancelKeepsIt) {
    NamePlayer0("Anna");
    Player_Names[3] = u"Cleo";
    Config_SetValue(u"PLAYER3", u"Cleo");
    Player_Used[3] = 1;
    Config_SetValue(u"PLAYER5", u"");
    Player_Used[5] = 1; // a slot in use with an empty name
    Screen_Set(kScreenMainMenu);
    Frames(2);
    Click(kUserX, kUserY);
    ASSERT_EQ(Players_List->rowCount, 3);
    EXPECT_EQ(Players_List->rows[2]->text, u"Anonymous");
    EXPECT_EQ(Players_List->selected, 0);
    ClickRow(1);
    EXPECT_EQ(Player_Current, 3);
    EXPECT_EQ(ConfigFileValue(dataDir_, "PLAYER_CRT"), "3");
    Click(551, 464); // Abbruch
    EXPECT_EQ(Dialog_Active, 0);
    EXPECT_EQ(Player_Current, 3);
    EXPECT_EQ(MainMenu_UserButton->text, u"Spieler Cleo");
}

TEST_F(PlayersTest, AddWithTenPlayersOpensNothing) {
    NamePlayer0("Anna");
    Player_Used.fill(1);
    Screen_Set(kScreenMainMenu);
    Frames(2);
    Click(kUserX, kUserY);
    Click(kAddX, kAddY);
    EXPECT_NE(out_.find("MM_Players_Btn_Add_LeftUp: error finding slot for new player"), std::string::npos);
    EXPECT_EQ(Players_List->rowCount, 10);
    Click(kOkX, kOkY);
    EXPECT_EQ(Dialog_Active, 0) << "the players dialog was still the open one";
}

TEST_F(PlayersTest, ANewSlotGetsDefaultVolumesAndNameMatchingIsExact) {
    NamePlayer0("Anna");
    Vol_Music[4] = 0.1f;
    Player_Select(4);
    EXPECT_FLOAT_EQ(Vol_Fx[4], 0.8f);
    EXPECT_FLOAT_EQ(Vol_Music[4], 0.8f);
    EXPECT_FLOAT_EQ(Vol_Ambient[4], 0.5f);
    Player_Names[4] = u"anna";
    EXPECT_EQ(Player_FindByName(u"Anna"), 0);
    EXPECT_EQ(Player_FindByName(u"anna"), 4);
    EXPECT_EQ(Player_FindByName(u"Anna "), -1);
}

} // namespace

// The game's text tables: what Texts_SetGerman and Texts_SetEnglish write into them, as data. Called once by the
// start-up; the tables are read by the menus, dialogs, tutorial and tips through texts.h.
#include "main/texts.h"

#include <string>

#include "platform/system.h"

std::array<Str, 19> MsgBox_Texts;
std::array<Str, 13> MsgBox_Titles;
std::array<Str, 3> NameBox_Prompts;
std::array<Str, 23> Button_Captions;
std::array<Str, 6> MainMenu_Captions;
std::array<Str, 3> IGMenu_Captions;
std::array<Str, 9> Options_Captions;
std::array<Str, 45> Tutorial_Texts;
std::array<Str, 51> Tips_Texts;
std::array<Str, 5> WinLose_Texts;
std::array<Str, 3> Help_Captions;
std::array<Str, 3> Help_PageTexts;
std::array<Str, 6> Wallpapers_Captions;
Str Options_Title;
Str HighScores_Title;
Str Credits_Title;
Str Credits_Body;
Str Credits_Version;
Str Wallpapers_LockedText;
Str Wallpapers_FailedText;

namespace {

// One entry of a table: its number and its text.
struct TextEntry {
    int index;
    const char16_t* text;
};

template <size_t N, size_t M> void Fill(std::array<Str, N>& table, const TextEntry (&entries)[M]) {
    for (Str& s : table)
        s.clear();
    for (const TextEntry& e : entries)
        table[static_cast<size_t>(e.index)] = e.text;
}

// ---- German ---------------------------------------------------------------------------------------------------
constexpr TextEntry kMsgBoxTexts[] = {
    {1, u"Name wird bereits verwendet. Bitte einen anderen Namen benutzen."},
    {2, u"Spieler gelöscht."},
    {3, u"Wirklich beenden?"},
    {4, u"Möchtest du das letzte Spiel weiter spielen?"},
    {5, u"Die Zeit ist fast abgelaufen. Möchtest du ein Leben für zwei weitere Spielminuten eintauschen?"},
    {6, u"Willst du diesen Spieler wirklich löschen?"},
    {9, u"Versuch es nochmal..."},
    {10, u"Nochmal versuchen?"},
    {12, u"Level Zeit  "},
    {13, u"Mindestens ein Spielername muss in der Liste verbleiben. Dieser Spieler kann nicht gelöscht werden."},
    {15, u"Super. Du hast alle Bonus Levels gelöst!"},
    {16, u"Dieses Bild wird als Windows Desktophintergrund festgelegt. Wenn du wieder ein Standard Windows "
         u"Hintergrundbild festlegen möchtest, schaue in der Hilfe nach, wie das geht. Weiter?"},
    {17, u"Soll der Highscore wirklich gelöscht werden?"},
    {18, u"Du hast alle Leben verloren."},
};

constexpr TextEntry kMsgBoxTitles[] = {
    {9, u"Leben verloren"},
    {10, u"Game Over"},
    {11, u"Glückwunsch!"},
    {12, u"Level "},
};

constexpr TextEntry kNameBoxPrompts[] = {
    {0, u"Namen eingeben:"},
    {1, u"Namen eingeben:"},
    {2, u"Namen eingeben:"},
};

constexpr TextEntry kButtonCaptions[] = {
    {0, u"Ja"},          {1, u"Nein"},      {2, u"Nochmal"},     {3, u"Menü"},        {4, u"Weiter"},
    {6, u"Zeit kaufen"}, {7, u"Riskieren"}, {9, u"OK"},          {11, u"Zurück"},     {14, u"Löschen"},
    {19, u"Abbruch"},    {20, u"Löschen"},  {21, u"Hinzufügen"}, {22, u"Umbenennen"},
};

constexpr TextEntry kMainMenuCaptions[] = {
    {0, u"Start"}, {1, u"Leichtes Spiel"}, {2, u"Spieler "}, {3, u"Wallpaper"}, {4, u"Optionen"}, {5, u"Ende"},
};

constexpr TextEntry kIGMenuCaptions[] = {
    {0, u"Level nochmal"},
    {1, u"Hauptmenü"},
    {2, u"Weiterspielen"},
};

constexpr TextEntry kOptionsCaptions[] = {
    {0, u"Zurück"}, {1, u"Highscores"}, {2, u"Credits"},  {3, u"Hilfe"},        {4, u"Effekte"},
    {5, u"Musik"},  {6, u"Geräusche"},  {7, u"Vollbild"}, {8, u"Langsamer PC"},
};

constexpr const char16_t* kAmulet =
    u"Das Amulett muss das Spielbrett unten verlassen, damit der Level gewonnen wird. Juwelen unterhalb des "
    u"Amuletts können auch mit dem Hammer (wenn verfügbar) zerschlagen werden.";
constexpr const char16_t* kManaFull =
    u"Dein Mana Vorrat ist voll, du kannst nicht mehr Mana sammeln. Du kannst jetzt jeden Zauberspruch einsetzen, "
    u"den du zuvor im Shop gekauft hast. Klicke ein Icon an und dann auf das Spielfeld, um den Zauberspruch zu "
    u"aktivieren.";
constexpr const char16_t* kMoney =
    u"Du hast jede Menge Geld gesammelt. Vergiss nicht, dass du mit dem Geld im Shop viele nützliche Dinge kaufen "
    u"kannst.";

constexpr TextEntry kTutorialTexts[] = {
    {1, u"Bilde Dreierkombinationen von Edelsteinen, um sie vom Spielfeld zu entfernen. Klicke auf benachbarte "
        u"Steine, um sie zu tauschen."},
    {2, u"Um einen Level zu gewinnen, müssen alle goldenen Kacheln entfernt werden. Bilde Kombinationen auf allen "
        u"Kacheln und entferne sie dadurch."},
    {3, u"Gut gemacht. Wenn alle goldenen Kacheln entfernt worden sind, ist der Level gelöst."},
    {4, u"Der Level muss in einer bestimmten Zeit gelöst werden. Entferne alle goldenen Kacheln vom Spielfeld, bevor "
        u"die Sanduhr abläuft."},
    {5, u"Ab und zu erscheinen Münzen. Du kannst sie einsammeln, indem du einfach darauf klickst. Das Geld wird "
        u"später für Einkäufe im Shop gebraucht."},
    {6, u"Entferne die Juwelen, die sich unter dem Amulett befinden. Das Amulett muss das Spielbrett unten "
        u"verlassen."},
    {7, u"Sammle die magischen Flaschen durch Anklicken ein."},
    {8, u"Nach einer gewissen Anzahl von Kombinationen wird der Hammer freigegeben."},
    {9, u"Der Hammer steht jetzt zur Verfügung. Klick ihn an, um deinen Mauszeiger in einen Hammer zu verwandeln."},
    {10, u"Klicke auf diesen Stein. Er wird dann vom Spielfeld entfernt."},
    {11, u"Die Holzkisten explodieren, wenn neben ihnen Kombinationen gebildet werden."},
    {12, u"Sprenge die Kette, indem du eine Kombination bildest. Die Edelsteine fallen dann in die leeren Bereiche."},
    {13, u"Dieser Edelstein ist doppelt angekettet. Hier brauchst du zwei Kombinationen, um beide Ketten zu "
         u"sprengen."},
    {14, u"Silberne Kacheln liegen über den goldenen Kacheln und müssen zuerst entfernt werden, bevor die goldenen "
         u"Kacheln sichtbar werden."},
    {15, u"Sammle genug Edelsteine, um die Burg wieder aufzubauen. Die erleuchteten Bauteile können zum Bau "
         u"verwendet werden."},
    {16, u"Für eine Kombination, die aus 4 Edelsteinen besteht, erhält man einen besonderen Stein, den sogenannten "
         u"Chromastein. Dieser kann mit allen anderen Steinen kombiniert werden, um Dreierreihen zu bilden."},
    {17, u"Für eine Kombination, die aus 5 Steinen oder mehr besteht, erhält man ein besonderes Werkzeug, die Helix. "
         u"Diese  entfernt eine ganze horizontale Reihe Steine. Um die Helix zu aktivieren, einfach darauf klicken."},
    {18, u"Du kannst diesen Hammer jetzt benutzen oder mehr Punkte machen, um einen stärkeren Hammer zu erhalten."},
    {19, u"Dieser Hammer zerschlägt einen Edelstein mitsamt dem Hintergrund. Du kannst diesen Hammer jetzt benutzen "
         u"oder noch mehr Punkte sammeln, um den stärksten Hammer zu erhalten."},
    {20, u"Das ist der stärkste Hammer. Er zerstört alle gleichen Edelsteine auf dem Spielfeld mitsamt deren "
         u"Hintergründen."},
    {21, u"Super!\r\nDu hast genug Edelsteine gesammelt, um einen Teil der Burg wieder aufzubauen. Klicke das Bild "
         u"an, um den Teil der Burg wiederherzustellen!"},
    {22, u"Für jede goldene Kachel, die vom Spielfeld entfernt wird, erhälst du Geld."},
    {23, u"Der König von Luor hat dir Gold gesandt, damit die Burg schneller wieder aufgebaut werden kann."},
    {24, u"Klicke den Shop an. Dort kannst du wichtige Dinge kaufen."},
    {25, u"Klicke auf das Bild, um den Zauberspruch zu kaufen."},
    {26, u"Der grüne Fortschrittsbalken über den Zaubersprüchen zeigt an, wieviel Mana mit den magischen Flaschen "
         u"eingesammlt worden ist. Du hast genug Mana gesammelt, um einen Zauberspruch zu aktivieren."},
    {27, u"Klicke diesen Zauberspruch an."},
    {28, u"Klicke auf das Spielfeld, wo du den Zauberspruch einsetzen möchtest."},
    {29, u"Es können in diesem Level nicht mehr Edelsteine eingesammelt werden, da die Tasche voll ist. Im Shop kann "
         u"man eine Schatzkiste kaufen, mit der mehr Steine gesammelt werden können."},
    {30, u"Es können in diesem Level nicht mehr Edelsteine eingesammelt werden, da die Schatztruhe voll ist. Im Shop "
         u"kann man eine größere Schatzkiste kaufen, mit der mehr Steine gesammelt werden können."},
    {31, u"Du musst Kombinationen auf allen goldenen Kacheln bilden und sie dadurch entfernen. Versuche, "
         u"Kombinationen in der Nähe der Platten zu bilden, bis Kombinationen direkt darauf möglich sind."},
    {32, u"Eine Kombination aus drei Felsen wird die goldenen Hintergründe wieder herstellen, außer wenn die Felsen "
         u"zufällig in eine Kombination fallen."},
    {33, kAmulet},
    {34, u"Du hast den Feuerball Zauberspruch gekauft. Der Feuerball kann von jetzt an immer eingesetzt werden, wenn "
         u"du genug Mana für diesen Zauberspruch gesammelt hast."},
    {35, kManaFull},
    {36, kManaFull},
    {37, kManaFull},
    {38, kMoney},
    {39, kMoney},
    {40, kMoney},
    {41, kMoney},
    {42, kMoney},
    {43, kAmulet},
    {44, kAmulet},
};

constexpr TextEntry kWinLoseTexts[] = {
    {0, u"Herzlichen Glückwunsch"},
    {1, u"du hast den Level geschafft."},
    {2, u"Gesammelte Ressourcen : "},
    {3, u"Zeit : "},
    {4, u"Zeit Bonus : "},
};

constexpr TextEntry kHelpCaptions[] = {{0, u"Zurück"}, {1, u">"}, {2, u"<"}};
constexpr TextEntry kHelpPageTexts[] = {{0, u"Seite 0"}, {1, u"Seite 1"}, {2, u"Seite 2"}};
constexpr TextEntry kWallpapersCaptions[] = {
    {0, u"Zurück"}, {1, u">"}, {2, u"<"}, {3, u"Hilfe"}, {4, u"Wallpaper aktivieren"}, {5, u"Zurück"},
};

// The credits body: the makers, an empty line, one line per part of the game. The fonts and libraries are the free
// ones listed in THIRD_PARTY_NOTICES.md.
constexpr const char16_t* kCreditsBody = u"Das Brisquel 2 Team\r\n"
                                         u"\r\n"
                                         u"Spiel und Levels: Brisquel 2 Team\r\n"
                                         u"Schriften: Klaudia, Quattrocento, Libertine, DejaVu\r\n"
                                         u"Grafik: SDL2, libpng, libjpeg, zlib\r\n"
                                         u"Klang: libogg, libvorbis\r\n"
                                         u"Text: FreeType\r\n";

constexpr const char16_t* kCastleCompletedA = u"Du hast die Burg ";
constexpr const char16_t* kCastleCompletedB =
    u" wieder aufgebaut und einen Desktop Hintergrund freigeschaltet. Gute Arbeit!\r\n"
    u"Die verbliebenen Juwelen werden in Gold gewechselt.";
constexpr const char16_t* kAllCastlesEarlyA = u"Klasse Leistung, du hast alle Burgen schneller wieder erbaut als es "
                                              u"geplant war. Dafür erhälst du ";
constexpr const char16_t* kAllCastlesEarlyB = u" weitere Levels, um den Punktestand zu erhöhen.";

// ---- English ----------------------------------------------------------------------------------------------------
constexpr TextEntry kTipsTexts[] = {
    {0, u"Match 3 in a row to remove them from the board. Click on adjacent pieces to swap them."},
    {1, u"To finish a level, make matches over the ice tiles and remove them from the board."},
    {2, u"Well done. Break all ice tiles to finish the level."},
    {3, u"The time to remove all ice tiles is limited. Clear the board before the candle burns down."},
    {5, u"After making a certain number of matches, the hammer becomes available."},
    {6, u"The hammer is now available. Click on it to change your cursor into a hammer."},
    {7, u"Click on this piece and the hammer removes it from the board."},
    {8, u"You get an ice crystal for a match that consists of 4 pieces. The ice crystal matches with every two "
        u"pieces of a kind to make a match 3 in a row."},
    {9, u"You can use this hammer now, or gain more points to get a more powerful hammer."},
    {10, u"This hammer destroys a piece and the background tile behind it. Use the hammer, or gain more points for "
         u"an even more powerful hammer."},
    {11, u"This is the most powerful hammer. It destroys all pieces of the same color with their background tiles."},
    {12, u"Destroy the chain by making a match. The pieces will fall down in the empty area."},
    {13, u"You get a snowball for a match that consists of 5 or more pieces. Click on the snowball to remove a full "
         u"line of pieces with the background tiles."},
    {14, u"You must make matches over the ice tiles to break them and clear the board. Try to make matches near the "
         u"tile until you can make a match over it."},
    {15, u"This piece is double locked. To unlock the piece it must be part of a match twice."},
    {16, u"This ice tile is covered by snow. To free this background, you have to make two matches over the tiles."},
    {17, u"Some pieces are actually bombs. They explode when they are part of a match and they will remove the tile "
         u"behind the piece completely, no matter if it is ice or snow. Also tiles and chains next to the explosion "
         u"will be destroyed."},
    {18, u"Making a match of 3 icecubes will rebuild the tiles behind them. This can be avoided when the icecubes "
         u"fall into a match instead of being moved into a match."},
    {19, u"The snowball removes a full line of pieces with the background tiles. To activate the launcher, just "
         u"click on it."},
    {20, u"You can change the background picture's brightness and other sound and video settings in the Options "
         u"menu."},
};

} // namespace

void Texts_SetGerman() {
    Fill(MsgBox_Texts, kMsgBoxTexts);
    Fill(MsgBox_Titles, kMsgBoxTitles);
    Fill(NameBox_Prompts, kNameBoxPrompts);
    Fill(Button_Captions, kButtonCaptions);
    Fill(MainMenu_Captions, kMainMenuCaptions);
    Fill(IGMenu_Captions, kIGMenuCaptions);
    Fill(Options_Captions, kOptionsCaptions);
    Fill(Tutorial_Texts, kTutorialTexts);
    Fill(WinLose_Texts, kWinLoseTexts);
    Fill(Help_Captions, kHelpCaptions);
    Fill(Help_PageTexts, kHelpPageTexts);
    Fill(Wallpapers_Captions, kWallpapersCaptions);
    Options_Title = u"OPTIONEN";
    HighScores_Title = u"Highscores";
    Credits_Title = u"Credits:";
    Credits_Body = kCreditsBody;
    Credits_Version = Str(u"Version ") + u"1.09";
    Wallpapers_LockedText = u"Bild noch nicht freigeschaltet";
    Wallpapers_FailedText = u"Der Desktop-Hintergrund konnte nicht gesetzt werden. Das Bild liegt hier:";
}

void Texts_SetEnglish() { Fill(Tips_Texts, kTipsTexts); }

Str Text_CastleCompleted(const Str& castleName) { return Str(kCastleCompletedA) + castleName + kCastleCompletedB; }

Str Text_AllCastlesEarly(int32_t bonusLevels) {
    return Str(kAllCastlesEarlyA) + Str_FromInt(bonusLevels) + kAllCastlesEarlyB;
}

const Str& Text_Entry(const Str* table, int count, int index, const char* tableName) {
    static const Str empty;
    if (index < 0 || index >= count) {
        Log_Print(Str_FromLatin1(tableName) + u"[" + Str_FromInt(index) + u"]: no such entry");
        return empty;
    }
    return table[index];
}

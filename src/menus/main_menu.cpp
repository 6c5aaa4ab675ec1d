// The main menu, screen 0: the layered picture with the birds, the logo, the six buttons and, at the first start,
// the user-name box; starting or continuing a match. Its hooks are in the runtime's screen table; MainMenu_Load runs
// once at start-up.
#include "menus/menus.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "board/play.h"
#include "board/rules.h"
#include "castle/castle.h"
#include "effects/effects.h"
#include "main/assets.h"
#include "main/audio.h"
#include "main/config.h"
#include "main/fonts.h"
#include "main/frame_timer.h"
#include "main/progress.h"
#include "main/screens.h"
#include "main/texts.h"
#include "platform/canvas_boxes.h"
#include "platform/graphics.h"
#include "platform/input.h"

std::vector<GUIBtnPtr> MainMenu_Buttons;
GUIBtnPtr MainMenu_UserButton;
int32_t MainMenu_NamePending = 0;

namespace {

// The menu's pictures.
ImagePtr g_background; // mm_00.jpg, 800 x 600
ImagePtr g_middle;     // mm_02.png, between the far and the near birds
ImagePtr g_front;      // mm_04.png, over the buttons and the panel
ImagePtr g_panel;      // mm_interf_bg.png, 245 x 548, over the buttons at (545, 0)
ImagePtr g_logo;       // mm_logo.png, 340 x 133, at (227, -19)

constexpr float kPanelX = 545, kPanelY = 0;
constexpr float kLogoX = 227, kLogoY = -19;
constexpr int32_t kCaptionR = 226, kCaptionG = 232, kCaptionB = 255;

struct MenuButtonDef {
    int32_t id;
    float x, y;
    const char16_t* name; // "mm_btn_" + name + "_default.png", ...
    void (*leftUp)(GUIBtn&);
    int font;
};
constexpr MenuButtonDef kMenuButtons[kMainMenuButtons] = {
    {0, 613, 116, u"play", MainMenu_Btn_Play_LeftUp, 16},
    {1, 580, 257, u"relaxed", MainMenu_Btn_Relaxed_LeftUp, 12},
    {2, 587, 314, u"user", MainMenu_Btn_User_LeftUp, 12},
    {3, 599, 361, u"wallpapers", MainMenu_Btn_Wallpapers_LeftUp, 12},
    {4, 612, 409, u"options", MainMenu_Btn_Options_LeftUp, 12},
    {5, 631, 448, u"exit", MainMenu_Btn_Exit_LeftUp, 14},
};

GUIBtnPtr MainMenu_ButtonImages(const MenuButtonDef& def) {
    GUIBtnPtr b = GUIBtn::Create(def.id, def.x, def.y);
    b->LoadImages(Str(u".\\Images\\MainMenu\\mm_btn_") + def.name, BTNIMG_DEFAULT | BTNIMG_HOVERED | BTNIMG_PRESSED);
    b->SetCallbacks(nullptr, def.leftUp, nullptr, nullptr);
    const ImagePtr& img = b->images[0];
    const int32_t w = img ? Image_Width(img) : 0, h = img ? Image_Height(img) : 0;
    b->SetHitRect(0, 0, w, h);
    b->SetText(Text_Entry(MainMenu_Captions, def.id, "MainMenu_Captions"), Font_Get(def.font), kCaptionR, kCaptionG,
               kCaptionB, BTNTXT_CENTRED, float(w / 2), float(h / 2));
    MainMenu_Buttons.push_back(b);
    return b;
}

// Timed (0) or relaxed (1) play: continue or start over when a match is saved, otherwise a new match at level 1.
void Play(int32_t mode) {
    Relaxed_Mode = mode;
    if (First_Start == 1 && !Match_Exists()) return;
    if (Match_Exists()) {
        Match_Load();
        Relaxed_Mode = mode; // the button chooses the mode, not the saved match
        Match_Write(Level_Current);
        MsgBox_Continue_Open();
        return;
    }
    Screen_Set(kScreenPassing);
    Match_New();
    Match_StartAtLevel(1);
    Dialog_Close();
    Game_Start(0); // the game screen with level 1 loaded and the next music track
}

void DrawDeveloperOverlay() {
    Draw_SetColor(255, 255, 255);
    Draw_SetBlend(BLEND_SOLID);
    Draw_SetImageFont(Font_Default);
    Draw_Text(u"  Dialog:  " + Str_FromInt(Dialog_Active), 2, 20);
    Draw_Text(u"inst FPS=" + Str_FromInt(Fps_Instant), 2, 50);
    Draw_Text(u"Avg FPS=" + Str_FromInt(Fps_Average), 2, 68);
    Draw_SetBlend(BLEND_ALPHA);
}

} // namespace

void MainMenu_Load() {
    g_background = Asset_LoadImage(u".\\Images\\MainMenu\\mm_00.jpg");
    g_middle = Asset_LoadImage(u".\\Images\\MainMenu\\mm_02.png");
    g_front = Asset_LoadImage(u".\\Images\\MainMenu\\mm_04.png");
    g_panel = Asset_LoadImage(u".\\Images\\MainMenu\\mm_interf_bg.png");
    g_logo = Asset_LoadImage(u".\\Images\\MainMenu\\mm_logo.png");
    MMBird_LoadImages();
    MainMenu_CreateButtons();
}

void MainMenu_CreateButtons() {
    if (!MainMenu_Buttons.empty()) return;
    MainMenu_Buttons.reserve(kMainMenuButtons);
    for (const MenuButtonDef& def : kMenuButtons) {
        const GUIBtnPtr b = MainMenu_ButtonImages(def);
        if (def.id != 2) continue;
        // "Spieler " + a name of up to nine letters is wider than the plaque at the menu's font: it is shrunk to
        // the room between the plaque's ends.
        MainMenu_UserButton = b;
        if (const ImagePtr& img = b->images[0]) b->textFitW = Image_Width(img) - 2 * kPlaqueEndRoom;
    }
}

void MainMenu_SetUserCaption(const Str& name) {
    const Str caption = Text_Entry(MainMenu_Captions, 2, "MainMenu_Captions") + name;
    for (const GUIBtnPtr& b : MainMenu_Buttons)
        if (b->id == 2) b->text = caption;
}

void MainMenu_Enter() {
    Layer_Release(kLayerGameScene); // the game's pictures are made again when a level starts
    Layer_Release(kLayerGamePanel);
    Effects_Clear();
    const int32_t logoW = g_logo ? Image_Width(g_logo) : 340, logoH = g_logo ? Image_Height(g_logo) : 133;
    Gfx_Kind25Circle(int32_t(kLogoX + float(logoW) * 0.5f), int32_t(kLogoY + float(logoH) * 0.5f));
    Mouse_Show();
    MainMenu_SetUserCaption(Player_Names[size_t(Player_Current)]);
    Particles_Reset();
    Tips_Place();
    MMBird_List.clear();
    bool anyUsed = false;
    for (const int32_t used : Player_Used)
        anyUsed = anyUsed || used != 0;
    MainMenu_NamePending = First_Start == 1 || !anyUsed ? 1 : 0;
}

namespace {
// The menu's pictures are not kept while the game plays (about 9 MB of textures); its next first frame makes them
// again. Neither are the glyph atlases of its captions and boxes (about 2 MB): every font's goes, and the next screen
// paints again those it draws.
void DropPictures() {
    for (const ImagePtr& img : {g_background, g_middle, g_front, g_panel, g_logo})
        Image_DropTexture(img);
    Layer_Release(kLayerMainMenu);
    MMBird_DropTextures();
    Fonts_DropTextures();
}
} // namespace

void MainMenu_Leave() { DropPictures(); }

int32_t MainMenu_PicturesMade() {
    int32_t made = MMBird_StripsMade();
    for (const ImagePtr& img : {g_background, g_middle, g_front, g_panel, g_logo})
        made += Image_HasTexture(img) ? 1 : 0;
    return made;
}

namespace {
// The menu's picture is kept as a cached layer: the backdrop, the middle and front pictures and, with the buttons,
// the panel. What moves is drawn each frame in live boxes over it: each button's box and each bird's, merged where
// they overlap so that no two share a pixel. In each box the layers are drawn again in their order, clipped to it:
// the backdrop, the far birds, the middle picture, the near birds, then the buttons, one at a time updated and then
// drawn, then the panel and the front picture. So every pixel is what drawing all the layers whole gives, and a
// button's update comes after the drawing of the buttons before it.
constexpr int kMaxLiveBoxes = kMainMenuButtons + kMaxBirds;

// Boxes of the canvas drawn live this frame, none overlapping another.
using LiveBoxes = CanvasBoxes<kMaxLiveBoxes>;

void Clip(const Rect& r) { Draw_SetViewport(r.x, r.y, r.w, r.h); }

// The layers that stand still: the cached layer's content, and what lies over the buttons.
void DrawStillLayers(bool buttons) {
    Background_DrawFullscreen(g_background);
    Background_DrawFullscreen(g_middle);
    if (buttons) Draw_Image(g_panel, kPanelX, kPanelY);
    Background_DrawFullscreen(g_front);
}

// Steps 3 and 4 of the frame: the layers with the birds between them, and the buttons updated and drawn.
void DrawLayersAndButtons(bool buttons) {
    LayerKey key;
    key.Add(buttons).Add(g_background.get()).Add(g_middle.get()).Add(g_front.get()).Add(g_panel.get());
    if (!Layer_Reuse(kLayerMainMenu, key.hash)) {
        DrawStillLayers(buttons);
        Layer_Done(kLayerMainMenu);
    }
    LiveBoxes live;
    std::array<Rect, kMainMenuButtons> buttonBox{}; // taken before the updates: each holds every look of its button
    const size_t shown = buttons ? std::min(MainMenu_Buttons.size(), buttonBox.size()) : 0;
    for (size_t i = 0; i < shown; ++i)
        live.Add(buttonBox[i] = MainMenu_Buttons[i]->DrawBox());
    for (const MMBird& b : MMBird_List)
        if (b.image) {
            const int left = int(std::floor(b.x - Image_HandleX(b.image)));
            const int top = int(std::floor(b.y - Image_HandleY(b.image)));
            live.Add(Rect{left - 1, top - 1, Image_Width(b.image) + 2, Image_Height(b.image) + 2});
        }
    const Rect keep = Draw_GetViewport();
    for (int i = 0; i < live.count; ++i) {
        Clip(live.box[size_t(i)]);
        Background_DrawFullscreen(g_background);
        MMBirds_DrawFar();
        Background_DrawFullscreen(g_middle);
        MMBirds_DrawNear();
    }
    if (shown > 0) {
        // One button at a time, updated and then drawn. Once an action opened a box or left the menu, the buttons
        // after it are only drawn: their update must not act on the same frame's input.
        const int screen = Screen_Current, serial = Dialog_Serial();
        for (size_t i = 0; i < shown; ++i) {
            GUIBtn& b = *MainMenu_Buttons[i];
            if (Dialog_Serial() == serial && Screen_Current == screen) {
                Clip(keep); // an action may draw (a loading notice), and on the whole canvas
                b.Update();
            }
            if (const Rect* const box = live.Holding(buttonBox[i])) { // none: nothing to draw
                Clip(*box);
                b.Draw();
            }
        }
    }
    for (int i = 0; i < live.count; ++i) {
        Clip(live.box[size_t(i)]);
        if (buttons) Draw_Image(g_panel, kPanelX, kPanelY);
        Background_DrawFullscreen(g_front);
    }
    Clip(keep);
}
} // namespace

void MainMenu_Frame() {
    Draw_SetBlend(BLEND_ALPHA);
    Draw_SetRotation(0);
    Draw_SetScale(1, 1);
    Draw_SetAlpha(1);
    MMBirds_Update();
    DrawLayersAndButtons(!Dialog_Active && First_Start != 1);
    Effects_DrawBehind();
    Draw_Image(g_logo, kLogoX, kLogoY);
    Particles_Draw();
    Draw_SetScale(1, 1);
    if (!Music_Sounds[0]) Music_LoadTrack(0, 0);
    if (MainMenu_NamePending == 1) {
        MainMenu_NamePending = 0;
        NameBox_Mode = 0;
        MsgBox_Username_Open();
    }
    Draw_SetImageFont(Font_Default);
    if (Key_Down(VK::F1) && Key_Down('1')) DrawDeveloperOverlay();
    if (Tips_Visible) Tips_Draw();
    // A button that starts a match leaves the menu halfway through this frame: the rest of the frame made the
    // pictures again that the leave hook let go. They go again now, before the next screen makes its own, so that
    // play never holds both.
    if (Screen_HooksOf(Screen_Current).frame != MainMenu_Frame) DropPictures();
}

void MainMenu_Btn_Play_LeftUp(GUIBtn&) { Play(0); }
void MainMenu_Btn_Relaxed_LeftUp(GUIBtn&) { Play(1); }
void MainMenu_Btn_User_LeftUp(GUIBtn&) { MM_Players_Open(); }

void MainMenu_Btn_Wallpapers_LeftUp(GUIBtn&) {
    Wallpapers_FromLevel = 0; // its back button only closes it
    Dialog_Open(Wallpapers_Init, Wallpapers_Update, Wallpapers_Draw, 1);
}

void MainMenu_Btn_Options_LeftUp(GUIBtn&) {
    Dialog_Open(Options_Init, Options_Update, Options_Draw, 1);
    Tips_Tip20Delay = 0; // the delayed menu tip is cancelled for the rest of the run
}

void MainMenu_Btn_Exit_LeftUp(GUIBtn&) { MsgBox_Quit_Open(); }

void Match_StartAtLevel(int32_t level) {
    Level_Current = level;
    Player_LastLevel[size_t(Player_Current)] = level;
    Match_Continued = 1;
    Screen_Set(kScreenLevelStart);
    if (!Match_Exists()) Match_New();
    Match_Save(Level_Current, 0);
}

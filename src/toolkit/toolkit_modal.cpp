// The toolkit's modal boxes: the message box (Paneo_Confirm) and the open/save file requester (Paneo_RequestFile),
// each running its own loop of clear, toolkit frame and flip until it is answered. Called by the level editor.
#include <algorithm>

#include "platform/folders.h"
#include "platform/graphics.h"
#include "platform/input.h"
#include "platform/stream.h"
#include "platform/system.h"
#include "toolkit/toolkit.h"

Str Paneo_RequestFolder;
Str Paneo_RequestFilter = u".*";

namespace {

// One pass of a modal loop after its frame: flip, the watchdog hook. True when the application is asked to end.
bool ModalFlip() {
    Graphics_Flip(-1);
    Paneo_Hooks.ModalFrame();
    return Sys_CloseRequested();
}

GuiColorPtr LabelColor() { return GuiColor::Create(50, 50, 50); }

// While a box runs, every press is the toolkit's (Paneo_TakesPress): a click answering the box is not read again by
// the game or the editor's board once the box is gone.
struct ModalScope {
    ModalScope() { ++Paneo_ModalDepth; }
    ~ModalScope() { --Paneo_ModalDepth; }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
};

} // namespace

// ==== Message box ================================================================================================

int Paneo_Confirm(const Str& title, const Str& text, int buttons, int icon) {
    if (buttons < 1 || buttons > 3) buttons = 1;
    // Measured in the built-in font; the label draws in the toolkit's bolder font, so the window is made wide enough
    // for that too and no line runs over the icon or the frame.
    int tw = Text_MultilineWidth(text);
    const int th = Text_MultilineHeight(text);
    for (size_t start = 0; start <= text.size();) {
        size_t end = text.find(u'|', start);
        if (end == Str::npos) end = text.size();
        tw = std::max(tw, ImageFont_TextWidth(Paneo_TtfFont, text.substr(start, end - start)));
        start = end + 1;
    }
    const int W = tw < 80 ? 220 : tw + 100, H = th + 100;
    auto win =
        PNO_Window::Create(title, Graphics_Width() / 2 - W / 2, Graphics_Height() / 2 - H / 2, W, H, 0, 1, 0, kWindowFramed);
    win->Sound = Paneo_LoadSound(Paneo_AlertSoundPath);
    const int bw = W / 3 - 10, by = th + 45;
    struct Choice {
        std::shared_ptr<PNO_PushButton> button;
        int result;
    };
    std::vector<Choice> choices;
    const auto add = [&](const char16_t* caption, int x, int result) {
        choices.push_back({PNO_PushButton::Create(win, caption, x, by, bw), result});
    };
    if (buttons == 1) add(u"Ok", W / 2 - bw / 2, 1);
    if (buttons >= 2) add(u"Yes", 10, 1);
    if (buttons == 3) add(u"No", W / 2 - bw / 2, 2);
    if (buttons == 2) add(u"No", W - W / 3, 2);
    if (buttons == 3) add(u"Cancel", W - W / 3, 3);
    PNO_Label::Create(win, text, W / 2, 20, 2, LabelColor());
    static const char* const kIcons[4] = {nullptr, "Messagebox_Ask", "Messagebox_Alert", "Messagebox_Warning"};
    if (icon >= 1 && icon <= 3)
        PNO_StaticImage::Create(win, Paneo_SkinPath(kIcons[icon]), 10, H / 2 - 42, 32, 32, 0, 3);

    const ModalScope modal;
    Paneo_ClickActivates = 0;
    Key_Hit(VK::ESCAPE); // an Esc from before the box is not its answer
    const int last = choices.back().result;
    int result = 0;
    while (result == 0) {
        Draw_Cls();
        Paneo_DrawFrame();
        for (const Choice& c : choices)
            if (result == 0 && c.button->Clicked()) result = c.result;
        if (result == 0 && Key_Hit(VK::ESCAPE)) result = last;
        if (ModalFlip() && result == 0) result = last;
        if (result == 0 && !win->Listed) result = last; // freed from outside
    }
    win->Free();
    Paneo_ClickActivates = 1;
    return result;
}

// ==== File requester =============================================================================================

namespace {

Str Join(const Str& folder, const Str& name) {
    return (!folder.empty() && folder.back() == u'/') ? folder + name : folder + u"/" + name;
}

// The folder's absolute form with "/" separators ("" when it cannot be entered); the process's current folder is
// left where it was.
Str CanonicalFolder(const Str& path) {
    const Str old = Dir_Current();
    if (path.empty() || !Dir_Change(path)) return Str();
    const Str result = Dir_Current();
    Dir_Change(old);
    return result;
}

struct IconRule {
    const char* icon;
    const char* endings; // four-character endings, upper case, back to back
};
constexpr IconRule kIconRules[] = {
    {"Icon_Picture", ".BMP.JPG.PNG.TGA.TIF.GIF.EPS.PSD.IFF.PCT.RAW.PCX.PXR.WMF.AVI.MPG"},
    {"Icon_Web", ".HTM.PHP"},
    {"Icon_Sound", ".MP3.WAV.OGG"},
    {"Icon_Archive", ".RAR.ZIP.ISO.TAR.ACE.LHA"},
    {"Icon_Document", ".TXT.INI.DOC.RTF.NFO.CFG.LOG"},
    {"Icon_Program", ".EXE.DLL.SYS.COM"},
};

// A name the requester may return: not blank, not "." or "..", no separator, reserved or control character.
bool NameAllowed(const Str& name) {
    const Str trimmed = Str_Trim(name);
    if (trimmed.empty() || trimmed == u"." || trimmed == u"..") return false;
    for (const char16_t c : name)
        if (c < 32 || c == 127 || Str(u"/\\:*?\"<>|").find(c) != Str::npos) return false;
    return true;
}

} // namespace

Str Paneo_FileIcon(const Str& name) {
    const std::string tail = Str_ToLatin1(Str_Upper(Str_Right(name, 4)));
    if (tail.size() == 4)
        for (const IconRule& r : kIconRules) {
            const std::string all = r.endings;
            for (size_t i = 0; i + 4 <= all.size(); i += 4)
                if (all.compare(i, 4, tail) == 0) return Paneo_SkinPath(r.icon);
        }
    return Paneo_SkinPath("Icon_Default");
}

bool Paneo_ListDirectory(const Str& folder, PNO_ListBox& list, const Str& filter, int foldersOnly) {
    const DirPtr dir = Dir_Open(folder);
    if (!dir) return false;
    list.Clear();
    std::vector<Str> files;
    const Str wanted = Str_Upper(filter);
    for (Str name = Dir_NextFile(dir); !name.empty(); name = Dir_NextFile(dir)) {
        if (name == u"." || name.find(u'\uFFFD') != Str::npos) continue; // undecodable names cannot be reopened
        const int type = File_Type(Join(folder, name));
        if (type == 2) {
            if (!Str_EqualsNoCase(name, u"System Volume Information"))
                list.AddItem(name, Paneo_SkinPath("Icon_Folder"));
        } else if (type == 1 && !foldersOnly) {
            if (filter == u".*" || Str_Upper(Str_Right(name, 4)) == wanted) files.push_back(name);
        }
    }
    Dir_Close(dir);
    if (!foldersOnly) {
        list.AddItem(u"[]", Str());
        for (const Str& f : files)
            list.AddItem(f, Paneo_FileIcon(f));
    }
    return true;
}

Str Paneo_RequestFile(const Str& title, const Str& startFolder, const Str& filterString, const Str& initialFilter,
                      int saveFlag) {
    if (!startFolder.empty()) Paneo_RequestFolder = startFolder;
    Str shown = CanonicalFolder(Paneo_RequestFolder);
    if (shown.empty()) {
        if (!Paneo_RequestFolder.empty()) Log_Print(u"cannot open folder " + Paneo_RequestFolder);
        shown = Dir_Current();
    }
    Paneo_RequestFolder = shown;
    const int sw = Graphics_Width(), sh = Graphics_Height();
    auto win = PNO_Window::Create(title, sw / 2 - 200, sh / 2 - 175, 400, 350, 0, 1, 0, kWindowFramed);
    auto confirm = PNO_PushButton::Create(win, saveFlag == 1 ? u"Save" : u"Open", 10, 295, 100);
    confirm->Tooltip = u"Confirm your choice ...";
    auto cancel = PNO_PushButton::Create(win, u"Cancel", 290, 295, 100);
    cancel->Tooltip = u"Close the window ...";
    // 14 rows, or fewer when the toolkit's font is taller than the layout was drawn for: the list and its
    // horizontal bar end above the name field.
    const int rows = std::clamp((270 - 35 - 18) / std::max(1, Paneo_FontHeight), 5, 14);
    auto files = PNO_ListBox::Create(win, 10, 35, 380, rows);
    PNO_Label::Create(win, u"Drives:", 10, 12, 1, LabelColor());
    auto name = PNO_Input::Create(win, u"", 10, 270, 35, 255);
    auto drives = PNO_Combo::Create(win, 70, 10, 320);
    auto filters = PNO_Combo::Create(win, 300, 270, 90);

    drives->AddItem(Paneo_RequestFolder, Str());
    bool anyDrive = false;
    for (char16_t letter = u'A'; letter <= u'Z'; ++letter) {
        const Str root = Str(1, letter) + u":/";
        const int type = Sys_DriveType(root);
        if (type <= 1) continue;
        static const char* const kDriveIcons[7] = {
            "", "", "Icon_Floppy", "Icon_Drive", "Icon_Network", "Icon_Cdrom", "Icon_Ramdrive"};
        drives->AddItem(root, Paneo_SkinPath(type <= 6 ? kDriveIcons[type] : "Icon_Drive"));
        anyDrive = true;
    }
    if (!anyDrive) drives->AddItem(u"/", Paneo_SkinPath("Icon_Drive")); // no drive letters: the file system's root
    drives->SelectByText(Paneo_RequestFolder, 1);

    Str pieces = filterString;
    if (pieces.empty() || pieces.back() != u'|') pieces += u'|';
    Str piece;
    for (const char16_t c : pieces) {
        if (c == u'|') {
            filters->AddItem(piece, Str());
            piece.clear();
        } else {
            piece += c;
        }
    }
    filters->SelectByText(initialFilter, 1);
    Paneo_RequestFilter = filters->SelectedText;

    const ModalScope modal;
    Paneo_ClickActivates = 0;
    Paneo_ListDirectory(shown, *files, Paneo_RequestFilter, 0);
    win->Activate();
    Key_Hit(VK::ESCAPE);

    Str lastFile, result;
    // A nested box hands the requester the front place back, with clicks no longer activating other windows.
    const auto alert = [&](const Str& text, int buttons, int icon) {
        const int answer = Paneo_Confirm(u"Alert", text, buttons, icon);
        win->Activate();
        Paneo_ClickActivates = 0;
        return answer;
    };
    const auto forget = [&] {
        lastFile.clear();
        name->SetText(Str());
    };
    // Lists a folder in place of the shown one; the shown folder changes only when the listing worked.
    const auto enter = [&](const Str& folder, const Str& filter) {
        const Str target = CanonicalFolder(folder);
        if (target.empty() || !Paneo_ListDirectory(target, *files, filter, 0)) {
            alert(u"Cannot open the folder|" + folder, 1, 2);
            return false;
        }
        shown = target;
        forget();
        return true;
    };

    for (bool done = false; !done;) {
        Draw_Cls();
        Paneo_DrawFrame();
        const Str S = files->SelectedText, D = drives->SelectedText, F = filters->SelectedText;
        if (GuiMouse.LeftReleased && !S.empty()) {
            const int type = File_Type(Join(shown, S));
            if (type == 2) {
                if (!enter(Join(shown, S), F)) files->DeselectAll();
                files->SelectedText.clear();
            } else if (type == 1 && S != lastFile) {
                lastFile = S;
                name->SetText(S);
            } else if (type == 0 && S != u"..") { // gone since the listing: show what is there now
                Paneo_ListDirectory(shown, *files, F, 0);
                forget();
            }
        }
        if (D != Paneo_RequestFolder) {
            if (enter(D, F))
                Paneo_RequestFolder = D;
            else
                drives->SelectByText(Paneo_RequestFolder, 1);
        }
        if (F != Paneo_RequestFilter) {
            Paneo_ListDirectory(shown, *files, F, 0);
            Paneo_RequestFilter = F;
            forget();
        }
        if (cancel->Clicked() || Key_Hit(VK::ESCAPE) || !win->Listed) {
            Paneo_RequestFolder = shown;
            Paneo_RequestFilter = F;
            done = true;
        } else if (confirm->Clicked()) {
            const Str typed = name->GetText();
            if (lastFile.empty() && typed.empty()) {
                alert(u"You must select a file before validate !", 1, 2);
            } else {
                const Str chosen = (typed != lastFile && saveFlag == 1) ? typed : !lastFile.empty() ? lastFile : typed;
                const Str folder = Join(shown, u"");
                const Str path = folder + chosen;
                const int type = NameAllowed(chosen) ? File_Type(path) : -1;
                bool ok = false;
                if (type < 0)
                    alert(u"This is not a valid file name !|" + chosen, 1, 2);
                else if (type == 2)
                    alert(u"This is a folder, not a file !|" + chosen, 1, 2);
                else if (saveFlag != 1 && type != 1)
                    alert(u"The file does not exist !|" + chosen, 1, 2);
                else
                    ok = saveFlag != 1 || type != 1 ||
                         alert(u"The file already exists.|Overwrite " + chosen + u" ?", 2, 3) == 1;
                if (ok) {
                    result = path;
                    Paneo_RequestFolder = folder;
                    Paneo_RequestFilter = F;
                    done = true;
                }
            }
        }
        if (!done && ModalFlip()) { // the application is asked to end: a cancel
            Paneo_RequestFolder = shown;
            Paneo_RequestFilter = F;
            done = true;
        }
    }
    win->Free();
    Paneo_ClickActivates = 1;
    return result;
}

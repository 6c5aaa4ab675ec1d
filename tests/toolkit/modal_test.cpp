// The modal boxes under scripted input with the watchdog armed: the message box's size and answers, Esc and the
// terminate flag; the file requester on a temporary folder tree (filters, hidden folders, picking and typing in
// open and save mode, the alert and its return, refused names, the overwrite question, a vanished folder, the
// terminate flag, two thousand files). Tests toolkit_modal.cpp.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/folders.h"
#include "platform/graphics.h"
#include "platform/input.h"
#include "platform/system.h"
#include "common/temp_folder.h"
#include "toolkit_helpers.h"

namespace {

namespace fs = std::filesystem;

std::string Click(int frame, int x, int y) {
    return std::to_string(frame) + " click 1 " + std::to_string(x) + " " + std::to_string(y) + "\n";
}
std::string Esc(int frame) { return std::to_string(frame) + " key 27 press\n"; }

// Geometry of a message box for a text, as Paneo_Confirm lays it out.
struct BoxGeometry {
    int W, H, left, top, th;
    int ButtonY() const { return top + 21 + th + 45 + 5; } // a point inside the buttons' row
};
BoxGeometry Box(const Str& text) {
    BoxGeometry g{};
    int tw = Text_MultilineWidth(text);
    g.th = Text_MultilineHeight(text);
    for (size_t start = 0; start <= text.size();) { // the label's own font counts too
        size_t end = text.find(u'|', start);
        if (end == Str::npos) end = text.size();
        tw = std::max(tw, ImageFont_TextWidth(Paneo_TtfFont, text.substr(start, end - start)));
        start = end + 1;
    }
    g.W = tw < 80 ? 220 : tw + 100;
    g.H = g.th + 100;
    g.left = 400 - g.W / 2;
    g.top = 300 - g.H / 2;
    return g;
}

// The requester's window and widgets on the 800 x 600 canvas.
constexpr int kReqX = 200, kReqY = 125 + 21; // client origin
constexpr int kConfirmX = kReqX + 30, kCancelX = kReqX + 310, kButtonsY = kReqY + 300;
constexpr int kListX = kReqX + 30, kListY = kReqY + 35;
int RowY(int row) { return kListY + (row - 1) * Paneo_FontHeight + Paneo_FontHeight / 2; } // 1-based rows

std::vector<Str> Texts(const PNO_ListBox& list) {
    std::vector<Str> out;
    for (const auto& it : list.Items)
        out.push_back(it.Text);
    return out;
}

// The requester's widgets, found in its window while its loop runs.
struct Requester {
    std::shared_ptr<PNO_Window> win;
    std::shared_ptr<PNO_ListBox> files;
    std::shared_ptr<PNO_Input> name;
    std::shared_ptr<PNO_Combo> drives, filters;
    bool Find() {
        for (const auto& w : Paneo_Windows)
            if (w->W == 400 && w->Kind == 20) win = w;
        if (!win) return false;
        files = std::static_pointer_cast<PNO_ListBox>(ToolkitTest_Child(*win, 90));
        name = std::static_pointer_cast<PNO_Input>(ToolkitTest_Child(*win, 100));
        drives = std::static_pointer_cast<PNO_Combo>(ToolkitTest_Child(*win, 130, 0));
        filters = std::static_pointer_cast<PNO_Combo>(ToolkitTest_Child(*win, 130, 1));
        return files && name && drives && filters;
    }
};

void Touch(const std::string& path) { std::ofstream(path) << "x"; }

TEST(ToolkitConfirm, LayoutAnswersEscAndTerminate) {
    ToolkitTest_Open();
    Paneo_ActiveWindow.reset();
    const BoxGeometry g = Box(u"Short");
    int seen = 0;
    ToolkitTest_OnModalFrame([&] {
        const auto w = ToolkitTest_Front();
        if (seen++ != 0 || !w) return;
        EXPECT_EQ(w->W, 220);
        EXPECT_EQ(Paneo_ClickActivates, 0);
        const auto ok = ToolkitTest_Child(*w, 51);
        ASSERT_TRUE(ok);
        EXPECT_EQ(ok->X, 79);
        EXPECT_EQ(ok->W, 63);
    });
    ToolkitTest_Script(Click(4, g.left + 110, g.ButtonY()));
    EXPECT_EQ(Paneo_Confirm(u"Note", u"Short", 1, 1), 1);
    EXPECT_EQ(Paneo_ClickActivates, 1);
    EXPECT_EQ(ToolkitTest_OpenWindows(), 0);
    ToolkitTest_OnModalFrame(nullptr);
    EXPECT_EQ(Box(u"Short|Second line").H, g.H + Text_MultilineHeight(u"x"));

    // Three buttons: Yes 1, No 2, Cancel 3.
    const Str q = u"Save the level before leaving ?";
    const BoxGeometry b = Box(q);
    const int xs[3] = {b.left + 20, b.left + b.W / 2, b.left + b.W - b.W / 3 + 10};
    for (int i = 0; i < 3; ++i) {
        ToolkitTest_Script(Click(3, xs[i], b.ButtonY()));
        EXPECT_EQ(Paneo_Confirm(u"Question", q, 3, 1), i + 1);
    }
    // Esc answers with the last button; so do buttons 0 and 7 (one "Ok") and the terminate flag.
    ToolkitTest_Script(Esc(3));
    EXPECT_EQ(Paneo_Confirm(u"Question", q, 2, 3), 2);
    ToolkitTest_Script(Esc(3));
    EXPECT_EQ(Paneo_Confirm(u"Odd", u"x", 0, 9), 1);
    ToolkitTest_Script("5 quit\n");
    EXPECT_EQ(Paneo_Confirm(u"Odd", u"x", 7, 0), 1);
    ToolkitTest_Script("5 quit\n");
    EXPECT_EQ(Paneo_Confirm(u"Question", q, 3, 2), 3);
    EXPECT_FALSE(ToolkitTest_WatchdogFired());
    EXPECT_LT(ToolkitTest_ModalFrames(), 60);
    Sys_ClearCloseRequest();
}

class ToolkitRequester : public testing::Test {
  protected:
    void SetUp() override {
        ToolkitTest_Open();
        ASSERT_FALSE(tmp_.path().empty());
        root_ = S(tmp_.path());
        fs::create_directories(tmp_ / "sub");
        fs::create_directories(tmp_ / "Other");
        fs::create_directories(tmp_ / "system volume INFORMATION");
        for (const char* f : {"a.lev", "B.LEV", "x.txt", "ab", "c.levx"})
            Touch(tmp_ / f);
        Touch(tmp_ / "sub/System Volume Information");
        Paneo_RequestFilter = u".*";
        startCwd_ = Dir_Current();
    }
    void TearDown() override {
        EXPECT_FALSE(ToolkitTest_WatchdogFired());
        EXPECT_EQ(Dir_Current(), startCwd_); // the process's current folder is left alone
        EXPECT_EQ(Paneo_ClickActivates, 1);
        EXPECT_EQ(ToolkitTest_OpenWindows(), 0);
        Sys_ClearCloseRequest();
    }
    // Runs a requester with the script; `each` runs after every modal pass with the requester's widgets.
    Str Run(int save, const std::string& script, const std::function<void(Requester&)>& each = nullptr) {
        ToolkitTest_Script(script);
        ToolkitTest_OnModalFrame([&] {
            Requester r;
            if (each && r.Find()) each(r);
        });
        const Str result =
            Paneo_RequestFile(save ? u"Save to level file:" : u"Open level file:", root_, u".*|.lev|", u".lev", save);
        ToolkitTest_OnModalFrame(nullptr);
        return result;
    }
    TempFolder tmp_;
    Str root_, startCwd_;
};

TEST_F(ToolkitRequester, ListsFoldersAndFilteredFilesAndSwitchesFilter) {
    std::vector<Str> first, all;
    Str drive0;
    int alerts = 0;
    const int filterRow2 = kReqY + 270 + (Paneo_FontHeight + 2) + 1 + Paneo_FontHeight / 2; // the ".*" entry
    const Str result =
        Run(0, Click(4, kReqX + 310, kReqY + 275) + Click(8, kReqX + 310, filterRow2) + Esc(14), [&](Requester& r) {
            if (Harness_FrameNumber() == 2) {
                first = Texts(*r.files);
                drive0 = r.drives->SelectedText;
                EXPECT_EQ(r.filters->SelectedText, u".lev");
                EXPECT_EQ(r.filters->ItemCount, 2);
                EXPECT_EQ(r.drives->ItemCount, 2); // the start folder and "/"
            }
            if (Harness_FrameNumber() == 12) all = Texts(*r.files);
            alerts += ToolkitTest_Front()->Text == u"Alert";
        });
    EXPECT_EQ(result, u"");
    EXPECT_EQ(drive0, root_);
    EXPECT_EQ(first, (std::vector<Str>{u"..", u"Other", u"sub", u"[]", u"B.LEV", u"a.lev"}));
    EXPECT_EQ(all, (std::vector<Str>{u"..", u"Other", u"sub", u"[]", u"B.LEV", u"a.lev", u"ab", u"c.levx", u"x.txt"}));
    EXPECT_EQ(Paneo_RequestFilter, u".*");
    EXPECT_EQ(Paneo_RequestFolder, root_);
    EXPECT_EQ(alerts, 0);

    // A file of the hidden folder's name is listed; a missing folder leaves the list as it was.
    auto win = PNO_Window::Create(u"", 0, 0, 300, 300, 0, 0, 0, kWindowFramed);
    auto list = PNO_ListBox::Create(win, 0, 0, 200, 5);
    EXPECT_TRUE(Paneo_ListDirectory(root_ + u"/sub", *list, u".*", 0));
    EXPECT_EQ(Texts(*list), (std::vector<Str>{u"..", u"[]", u"System Volume Information"}));
    EXPECT_FALSE(Paneo_ListDirectory(root_ + u"/nowhere", *list, u".*", 0));
    EXPECT_EQ(list->ItemCount, 3);
    EXPECT_EQ(Paneo_FileIcon(u"ab"), Paneo_SkinPath("Icon_Default"));
    EXPECT_EQ(Paneo_FileIcon(u"song.Ogg"), Paneo_SkinPath("Icon_Sound"));
    win->Free();
}

TEST_F(ToolkitRequester, PickedFileWinsInOpenModeTypedNameInSaveMode) {
    // Pick "a.lev" (row 6), then put "x" in front of the name, then confirm.
    const std::string script = Click(4, kListX, RowY(6)) + Click(8, kReqX + 15, kReqY + 275) + "10 key 36 press\n" +
                               "12 text x\n" + Click(16, kConfirmX, kButtonsY);
    EXPECT_EQ(Run(0, script), root_ + u"/a.lev");
    EXPECT_EQ(Paneo_RequestFolder, root_ + u"/");
    EXPECT_EQ(Run(1, script), root_ + u"/xa.lev");
    // Entering a folder by a click, then ".." back up.
    std::vector<Str> inside;
    EXPECT_EQ(Run(0,
                  Click(4, kListX, RowY(3)) + Click(10, kListX, RowY(1)) + Click(16, kListX, RowY(6)) +
                      Click(20, kConfirmX, kButtonsY),
                  [&](Requester& r) {
                      if (Harness_FrameNumber() == 8) inside = Texts(*r.files);
                  }),
              root_ + u"/a.lev");
    EXPECT_EQ(inside, (std::vector<Str>{u"..", u"[]"})); // "sub" with the ".lev" filter
}

TEST_F(ToolkitRequester, AlertsForNothingChosenRefusedNamesAndOverwrite) {
    // Confirm with nothing: the alert; after its Ok the requester is open, in front and modal again.
    const Str nothing = u"You must select a file before validate !";
    const BoxGeometry g = Box(nothing);
    bool checked = false;
    int alertFrames = 0;
    const std::string script = Click(4, kConfirmX, kButtonsY) + Click(10, g.left + g.W / 2, g.ButtonY()) + Esc(20);
    EXPECT_EQ(Run(1, script,
                  [&](Requester& r) {
                      const auto front = ToolkitTest_Front();
                      if (front->Text == u"Alert") {
                          ++alertFrames;
                          EXPECT_EQ(ToolkitTest_Child(*front, 40, 1)->Text, nothing);
                      }
                      if (Harness_FrameNumber() == 16) {
                          checked = true;
                          EXPECT_EQ(front, r.win);
                          EXPECT_EQ(r.win->Inactive, 0);
                          EXPECT_EQ(Paneo_ClickActivates, 0);
                      }
                  }),
              u"");
    EXPECT_TRUE(checked);
    EXPECT_GT(alertFrames, 2);

    // Refused names: each brings the alert (dismissed by Esc), nothing is returned; a good name then goes through.
    const std::vector<Str> bad = {u"a/b", u"..", u".", u"x:y", u"q?", u"st*r", u"   "};
    std::string s;
    for (size_t i = 0; i < bad.size(); ++i) {
        const int base = 4 + int(i) * 12;
        s += Click(base, kConfirmX, kButtonsY) + Esc(base + 6);
    }
    const int good = 4 + int(bad.size()) * 12;
    s += Click(good, kConfirmX, kButtonsY);
    int alerts = 0;
    bool inAlert = false;
    const Str result = Run(1, s, [&](Requester& r) {
        const int f = Harness_FrameNumber();
        for (size_t i = 0; i < bad.size(); ++i)
            if (f == 3 + int(i) * 12) r.name->SetText(bad[i]);
        if (f == good - 1) r.name->SetText(u"new.lev");
        const bool now = ToolkitTest_Front()->Text == u"Alert";
        alerts += now && !inAlert;
        inAlert = now;
    });
    EXPECT_EQ(alerts, int(bad.size()));
    EXPECT_EQ(result, root_ + u"/new.lev");

    // Open mode: a name that does not exist is refused.
    EXPECT_EQ(Run(0, Click(4, kConfirmX, kButtonsY) + Esc(10) + Esc(16),
                  [&](Requester& r) {
                      if (Harness_FrameNumber() == 3) r.name->SetText(u"missing.lev");
                  }),
              u"");

    // Save over an existing file: "No" keeps the requester open, "Yes" returns the path.
    const Str ask = u"The file already exists.|Overwrite a.lev ?";
    const BoxGeometry o = Box(ask);
    const std::string overwrite = Click(4, kListX, RowY(6)) + Click(8, kConfirmX, kButtonsY) +
                                  Click(14, o.left + o.W - o.W / 3 + 10, o.ButtonY()) +
                                  Click(20, kConfirmX, kButtonsY) + Click(26, o.left + 20, o.ButtonY());
    int questions = 0;
    inAlert = false;
    EXPECT_EQ(Run(1, overwrite,
                  [&](Requester&) {
                      const auto front = ToolkitTest_Front();
                      const bool now = front->Text == u"Alert";
                      if (now && !inAlert) {
                          ++questions;
                          EXPECT_EQ(ToolkitTest_Child(*front, 40, 1)->Text, ask);
                      }
                      inAlert = now;
                  }),
              root_ + u"/a.lev");
    EXPECT_EQ(questions, 2);
}

TEST_F(ToolkitRequester, VanishedFolderTerminateAndTwoThousandFiles) {
    // A folder removed after the listing: a click on it shows what is there now; the result stays in the folder
    // that is shown.
    fs::create_directories(tmp_ / "gone");
    std::vector<Str> after;
    EXPECT_EQ(Run(1, Click(4, kListX, RowY(3)) + Click(10, kConfirmX, kButtonsY),
                  [&](Requester& r) {
                      const int f = Harness_FrameNumber();
                      if (f == 2) {
                          EXPECT_EQ(r.files->Items[2].Text, u"gone");
                          fs::remove(tmp_ / "gone");
                      }
                      if (f == 8) {
                          after = Texts(*r.files);
                          r.name->SetText(u"here.lev");
                      }
                  }),
              root_ + u"/here.lev");
    EXPECT_EQ(after, (std::vector<Str>{u"..", u"Other", u"sub", u"[]", u"B.LEV", u"a.lev"}));

    // The application asked to end: a cancel, folder and filter kept.
    EXPECT_EQ(Run(0, Click(4, kListX, RowY(3)) + "12 quit\n"), u"");
    EXPECT_EQ(Paneo_RequestFolder, root_ + u"/sub");
    Sys_ClearCloseRequest();

    // Two thousand files list at once, without a toolkit frame per entry.
    fs::create_directories(tmp_ / "many");
    for (int i = 0; i < 2000; ++i)
        Touch(tmp_ / ("many/f" + std::to_string(i) + ".lev"));
    root_ += u"/many";
    int count = 0, passes = 0;
    EXPECT_EQ(Run(0, Esc(3),
                  [&](Requester& r) {
                      ++passes;
                      if (Harness_FrameNumber() == 2) count = r.files->ItemCount;
                  }),
              u"");
    EXPECT_EQ(count, 2002);
    EXPECT_LE(passes, 3);
}

} // namespace

// Tests of main/gobj.cpp: the depth lists draw from 127 down to 0, in list order inside a depth; add, insert and
// remove, also while the lists are being drawn.
#include <gtest/gtest.h>

#include <string>

#include "main/gobj.h"
#include "widgets_helpers.h"

namespace {

std::string g_order; // names of the objects in the order they drew

class Named : public GObj {
  public:
    explicit Named(char n) : name(n) {}
    void Draw() override {
        g_order += name;
        if (onDraw) onDraw(*this);
    }
    char name;
    std::function<void(Named&)> onDraw;
};

std::shared_ptr<Named> Make(char n) { return std::make_shared<Named>(n); }

class DepthLists : public testing::Test {
  protected:
    void SetUp() override {
        GObj_ClearAll();
        g_order.clear();
    }
    void TearDown() override { GObj_ClearAll(); }
};

TEST_F(DepthLists, DeepestFirstAndListOrderWithinADepth) {
    auto a = Make('a'), b = Make('b'), c = Make('c'), d = Make('d'), e = Make('e');
    a->Add(0);
    b->Add(127);
    c->Add(64);
    d->Add(64);
    e->Insert(64); // before c and d
    GObj_DrawAll();
    EXPECT_EQ(g_order, "becda");
    EXPECT_EQ(GObj_Count(), 5);
}

TEST_F(DepthLists, MovingAndRemoving) {
    auto a = Make('a'), b = Make('b');
    a->Add(10);
    b->Add(20);
    a->Add(30); // moves, is not listed twice
    EXPECT_EQ(a->depth, 30);
    GObj_DrawAll();
    EXPECT_EQ(g_order, "ab");
    b->Remove();
    b->Remove(); // harmless
    EXPECT_EQ(b->depth, -1);
    g_order.clear();
    GObj_DrawAll();
    EXPECT_EQ(g_order, "a");
    EXPECT_EQ(GObj_Count(), 1);
}

TEST_F(DepthLists, DepthOutsideTheRangeIsClampedWithALine) {
    auto a = Make('a'), b = Make('b');
    const std::string out = WidgetsTest_Stdout([&] {
        a->Add(200);
        b->Add(-3);
    });
    EXPECT_EQ(a->depth, 127);
    EXPECT_EQ(b->depth, 0);
    EXPECT_NE(out.find("GObj: depth 200"), std::string::npos);
}

TEST_F(DepthLists, RemovalsAndAdditionsWhileDrawing) {
    auto a = Make('a'), b = Make('b'), c = Make('c');
    a->Add(50);
    b->Add(50);
    c->Add(10);
    // a removes b (not drawn yet) and itself; a new object is added deeper-than-now (not drawn this pass) and to
    // the depth being walked (drawn after the others there).
    auto late = Make('x'), same = Make('y');
    a->onDraw = [&](Named& self) {
        b->Remove();
        self.Remove();
        late->Add(100);
        same->Add(50);
    };
    GObj_DrawAll();
    EXPECT_EQ(g_order, "ayc");
    g_order.clear();
    a.reset(); // only the test held it after its removal: it is gone
    GObj_DrawAll();
    EXPECT_EQ(g_order, "xyc");
    EXPECT_EQ(GObj_Count(), 3);
}

TEST_F(DepthLists, TheListsKeepTheirObjectsAlive) {
    std::weak_ptr<Named> watch;
    {
        auto a = Make('a');
        watch = a;
        a->Add(5);
    }
    EXPECT_FALSE(watch.expired());
    GObj_ClearAll();
    EXPECT_TRUE(watch.expired());
}

} // namespace

// TList walks: removing the current or another element, appending during a walk, clearing during a walk, and the
// stable sort.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/list.h"

namespace {
struct Item {
    int v;
    int tag = 0;
};
using List = TList<Item>;
using ItemPtr = std::shared_ptr<Item>;

std::vector<ItemPtr> Fill(List& l, std::initializer_list<int> values) {
    std::vector<ItemPtr> items;
    for (const int v : values)
        items.push_back(std::make_shared<Item>(Item{v})), l.AddLast(items.back());
    return items;
}
std::vector<int> Values(const List& l) {
    std::vector<int> out;
    for (const auto& it : l)
        out.push_back(it->v);
    return out;
}
} // namespace

TEST(TList, AddRemoveAndQueries) {
    List l;
    auto items = Fill(l, {1, 2, 3});
    l.AddFirst(std::make_shared<Item>(Item{0}));
    EXPECT_EQ(Values(l), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(l.Count(), 4u);
    EXPECT_EQ(l.First()->v, 0);
    EXPECT_EQ(l.Last()->v, 3);
    EXPECT_EQ(l.At(2)->v, 2);
    EXPECT_EQ(l.At(9), nullptr);
    EXPECT_TRUE(l.Remove(items[2]));
    EXPECT_FALSE(l.Remove(items[2])); // already gone
    EXPECT_FALSE(l.Contains(items[2]));
    EXPECT_EQ(l.Last()->v, 2);
    EXPECT_EQ(Values(l), (std::vector<int>{0, 1, 2}));
    l.Clear();
    EXPECT_TRUE(l.IsEmpty());
    EXPECT_EQ(l.First(), nullptr);
    EXPECT_EQ(Values(l), std::vector<int>{});
}

TEST(TList, WalkSurvivesRemovingTheCurrentElement) {
    List l;
    auto items = Fill(l, {1, 2, 3, 4, 5});
    std::vector<int> visited;
    for (const auto& it : l) {
        visited.push_back(it->v);
        if (it->v % 2 == 0) l.Remove(it);
    }
    EXPECT_EQ(visited, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(Values(l), (std::vector<int>{1, 3, 5}));
    // Removing every element as it is reached, the last one included.
    visited.clear();
    for (const auto& it : l)
        visited.push_back(it->v), l.Remove(it);
    EXPECT_EQ(visited, (std::vector<int>{1, 3, 5}));
    EXPECT_EQ(l.Count(), 0u);
}

TEST(TList, WalkSurvivesRemovingOtherElements) {
    List l;
    auto items = Fill(l, {1, 2, 3, 4, 5});
    std::vector<int> visited;
    for (const auto& it : l) {
        visited.push_back(it->v);
        if (it->v == 2) {
            l.Remove(items[2]); // the next one
            l.Remove(items[0]); // one already visited
        }
        if (it->v == 4) {
            l.Remove(it); // then the current one, and the rest
            l.Remove(items[4]);
        }
    }
    EXPECT_EQ(visited, (std::vector<int>{1, 2, 4}));
    EXPECT_EQ(Values(l), (std::vector<int>{2}));
}

TEST(TList, WalkReachesElementsAppendedDuringIt) {
    List l;
    Fill(l, {1, 2});
    std::vector<int> visited;
    for (const auto& it : l) {
        visited.push_back(it->v);
        if (it->v < 4) l.AddLast(std::make_shared<Item>(Item{it->v + 2}));
    }
    EXPECT_EQ(visited, (std::vector<int>{1, 2, 3, 4, 5}));
    // Removing the last element and then appending: the walk goes on to the new one.
    List m;
    Fill(m, {1});
    visited.clear();
    for (const auto& it : m) {
        visited.push_back(it->v);
        if (it->v < 3) {
            m.Remove(it);
            m.AddLast(std::make_shared<Item>(Item{it->v + 1}));
        }
    }
    EXPECT_EQ(visited, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(Values(m), (std::vector<int>{3}));
}

// Clearing a list and assigning it a fresh one (how a struct holding it is reset) both end a walk standing in it.
TEST(TList, ClearOrResetDuringAWalkEndsItAndFreesTheElements) {
    for (const bool reset : {false, true}) {
        List l;
        std::weak_ptr<Item> watch;
        {
            auto items = Fill(l, {1, 2, 3});
            watch = items[2];
        }
        int visits = 0;
        for (const auto& it : l) {
            ++visits;
            (void)it;
            if (reset)
                l = List{};
            else
                l.Clear();
        }
        EXPECT_EQ(visits, 1) << "reset " << reset;
        EXPECT_TRUE(watch.expired()) << "reset " << reset; // no cycle keeps removed nodes alive
        EXPECT_TRUE(l.IsEmpty());
        l.AddLast(std::make_shared<Item>(Item{4}));
        EXPECT_EQ(Values(l), (std::vector<int>{4}));
    }
}

TEST(TList, SortIsStableBothWays) {
    List l;
    auto items = Fill(l, {3, 1, 2, 1, 3});
    for (size_t i = 0; i < items.size(); ++i)
        items[i]->tag = int(i);
    const auto byValue = [](const Item& a, const Item& b) { return a.v < b.v; };
    l.Sort(byValue);
    std::vector<int> tags;
    for (const auto& it : l)
        tags.push_back(it->tag);
    EXPECT_EQ(Values(l), (std::vector<int>{1, 1, 2, 3, 3}));
    EXPECT_EQ(tags, (std::vector<int>{1, 3, 2, 0, 4}));
    l.Sort(byValue, false);
    tags.clear();
    for (const auto& it : l)
        tags.push_back(it->tag);
    EXPECT_EQ(Values(l), (std::vector<int>{3, 3, 2, 1, 1}));
    EXPECT_EQ(tags, (std::vector<int>{0, 4, 2, 1, 3}));
    EXPECT_EQ(l.Last()->v, 1);
    l.AddLast(std::make_shared<Item>(Item{9})); // links still consistent after sorting
    EXPECT_EQ(l.Last()->v, 9);
    EXPECT_EQ(l.Count(), 6u);
}

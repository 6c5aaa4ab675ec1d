// The hook tables: every entry of each table's defaults is a function (never null), so a program that leaves a
// table alone (the level generator, the fuzzer, a test) can call any hook; the runtime's filling keeps that true and
// leaves no entry at its default.
#include <gtest/gtest.h>

#include <cstring>

#include "board/board_hooks.h"
#include "castle/castle.h"
#include "effects/effects.h"
#include "game/startup.h"
#include "main/service_hooks.h"
#include "toolkit/toolkit.h"

namespace {

// Counts the null entries of a table made of function pointers only.
template <typename Table> int NullEntries(const Table& t) {
    static_assert(sizeof(Table) % sizeof(void (*)()) == 0, "a hook table holds function pointers only");
    int nulls = 0;
    for (size_t at = 0; at < sizeof(Table); at += sizeof(void (*)())) {
        void (*fn)() = nullptr;
        std::memcpy(&fn, reinterpret_cast<const char*>(&t) + at, sizeof fn);
        nulls += fn == nullptr;
    }
    return nulls;
}

// Counts the entries of a table that are still the function its defaults hold (a filling that was forgotten).
template <typename Table> int DefaultEntries(const Table& t, const Table& defaults) {
    int same = 0;
    for (size_t at = 0; at < sizeof(Table); at += sizeof(void (*)()))
        same += std::memcmp(reinterpret_cast<const char*>(&t) + at, reinterpret_cast<const char*>(&defaults) + at,
                            sizeof(void (*)())) == 0;
    return same;
}

TEST(HookTables, DefaultsAndTheGamesFillingHaveNoNullEntry) {
    EXPECT_EQ(NullEntries(Board_HooksDefault()), 0);
    EXPECT_EQ(NullEntries(Castle_HooksDefault()), 0);
    EXPECT_EQ(NullEntries(Effects_HooksDefault()), 0);
    EXPECT_EQ(NullEntries(Service_HooksDefault()), 0);
    EXPECT_EQ(NullEntries(Paneo_HooksDefault()), 0);
    Runtime_InstallHooks();
    EXPECT_EQ(NullEntries(Board_Hooks), 0);
    EXPECT_EQ(NullEntries(Castle_Hooks), 0);
    EXPECT_EQ(NullEntries(Effects_Hooks), 0);
    EXPECT_EQ(NullEntries(Service_Hooks), 0);
    // The game fills every entry: none is left doing nothing.
    EXPECT_EQ(DefaultEntries(Board_Hooks, Board_HooksDefault()), 0);
    EXPECT_EQ(DefaultEntries(Castle_Hooks, Castle_HooksDefault()), 0);
    EXPECT_EQ(DefaultEntries(Effects_Hooks, Effects_HooksDefault()), 0);
    EXPECT_EQ(DefaultEntries(Service_Hooks, Service_HooksDefault()), 0);
}

TEST(HookTables, DefaultsAnswerNeutrally) {
    const BoardHooks b = Board_HooksDefault();
    EXPECT_EQ(b.Snd_PanAt(799), 0.0f);
    const EffectsHooks e = Effects_HooksDefault();
    EXPECT_EQ(e.Freeze_TimeTotal(), 0.0f);
}

} // namespace

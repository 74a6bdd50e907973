// The rules both dialog backends follow, on their own.
#include <gtest/gtest.h>

#include "tests/support/TempDir.h"
#include "ui/DialogRules.h"

namespace velmora {
namespace {

TEST(DialogRulesTest, ADropOpensOneFileOfThisMachineAndNothingElse)
{
    const fixtures::TempDir dir;
    const std::string file = dir.File("a.dat");
    const std::string missing = dir.File("none.dat");
    fixtures::WriteText(file, "x");
    // "": an item that is no file of this machine
    const std::pair<std::vector<std::string>, std::optional<std::string>> rows[] = {
        {{file}, file}, {{missing}, missing}, {{}, {}}, {{""}, {}}, {{dir.Path().string()}, {}}, {{file, file}, {}}, {{file, ""}, {}},
    };
    for (const auto& [paths, opened] : rows)
        EXPECT_EQ(DroppedFile(paths), opened) << paths.size() << (paths.empty() ? "" : paths[0]);
}

TEST(DialogRulesTest, TheFocusGoesToTheFirstEnabledTabStopAndBackFromTheFindBox)
{
    constexpr DialogItem items[] = {{1, ControlKind::Edit}, {2, ControlKind::PushButton, {}, "", StyleTabStop},
                                    {3, ControlKind::Edit, {}, "", StyleTabStop}};
    const DialogTemplate form{.items = items};
    EXPECT_EQ(FirstTabStop(form, [](int) { return true; }), 2);
    EXPECT_EQ(FirstTabStop(form, [](int id) { return id != 2; }), 3);
    EXPECT_EQ(FirstTabStop(form, [](int) { return false; }), 0);
    FindBoxState box;
    box.Open(1);
    box.Open(0);  // opened again while open: the focus is the box's own
    EXPECT_EQ(box.Close(3), 1);
    box.Open(0);
    EXPECT_EQ(box.Close(3), 3);
}

TEST(DialogRulesTest, TheFindBoxIsTintedWhileATextIsNotFound)
{
    // Found, the box's text, whether the tint changes, and the tint then.
    const std::tuple<bool, const char*, bool, bool> steps[] = {
        {false, "", false, false}, {false, "x", true, true}, {false, "xy", false, true},
        {true, "x", true, false},  {false, "z", true, true}, {false, "", true, false},
    };
    FindBoxState box;
    for (const auto& [found, text, changes, notFound] : steps) {
        EXPECT_EQ(box.Searched(found, text), changes) << text << found;
        EXPECT_EQ(box.NotFound(), notFound) << text << found;
    }
}

} // namespace
} // namespace velmora

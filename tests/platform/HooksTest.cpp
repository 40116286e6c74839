#include "platform/Hooks.h"

#include <gtest/gtest.h>

namespace {

TEST(Hooks, OneHookIsReplacedAndPutBackWithoutTouchingTheOthers)
{
    int steps = 0;
    platform::Hooks all;
    all.messageStep = [&steps] { ++steps; };
    all.messageBox = [](const std::string&, const std::string&, unsigned) { return platform::IDYES; };
    platform::installHooks(all);

    std::string shown;
    auto previous =
        platform::installMessageBox([&shown](const std::string& text, const std::string&, unsigned) {
            shown = text;
            return platform::IDNO;
        });
    EXPECT_EQ(platform::messageBox("file missing"), platform::IDNO);
    EXPECT_EQ(shown, "file missing");
    platform::messageStep();
    EXPECT_EQ(steps, 1);

    platform::installMessageBox(std::move(previous));
    EXPECT_EQ(platform::messageBox("again"), platform::IDYES);
    EXPECT_EQ(shown, "file missing");

    platform::installMessageStep(nullptr);
    platform::messageStep();
    EXPECT_EQ(steps, 1);
    platform::resetHooks();
}

} // namespace

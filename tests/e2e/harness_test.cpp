// The harness itself, against helper processes that misbehave on purpose.
#include <gtest/gtest.h>

#include "e2e/driver.h"

namespace e2e {
namespace {

TEST(Harness, ACrashEndsAtOnceWithItsCode) {
    HelperProcess crash("crash", "");
    DWORD code = 0;
    ASSERT_TRUE(crash.WaitForExit(10s, &code)) << "the crashed process waits (in a debugger?)";
    EXPECT_EQ(code, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
}

TEST(Harness, AListLineThatChangesWhileItIsReadIsRefused) {
    HelperProcess shown("listbox", "steady line");
    HWND window = WaitForTopWindow("NorvaneTestList", "list");
    ASSERT_NE(window, nullptr);
    HWND list = FindWindowExA(window, nullptr, "ListBox", nullptr);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(ListBoxLine(list, 0), "steady line");
    // Line 1 grows after every read: no read of it can be trusted.
    EXPECT_EQ(ReadListBoxLine(list, 1), std::nullopt);
    EXPECT_EQ(ListBoxLine(list, 1), "");
    EXPECT_EQ(ReadListBoxLine(list, 2), std::nullopt);  // no such line
}

// Run only by the next test, in a process of its own.
TEST(Harness, DISABLED_CrashesWithAHelperRunning) {
    HelperProcess shown("listbox", "orphan");
    ASSERT_NE(WaitForTopWindow("NorvaneTestList", "list"), nullptr);
    *static_cast<volatile int*>(nullptr) = 1;
}

TEST(Harness, ACrashOfTheTestsEndsThemAndWhatTheyStarted) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    Process tests(self,
                  "--gtest_also_run_disabled_tests "
                  "--gtest_filter=Harness.DISABLED_CrashesWithAHelperRunning");
    DWORD code = 0;
    ASSERT_TRUE(tests.WaitForExit(30s, &code)) << "the crashed tests wait (in a debugger?)";
    EXPECT_EQ(code, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
    EXPECT_TRUE(WaitUntil([] { return !FindWindowA("NorvaneTestList", nullptr); }))
        << "the helper outlived the crash";
}

}  // namespace
}  // namespace e2e

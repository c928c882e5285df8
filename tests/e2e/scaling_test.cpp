// Proportional rescaling of the main window's buttons, seen from outside.
#include <gtest/gtest.h>

#include "e2e/driver.h"

namespace e2e {
namespace {

// A control's bounds relative to its parent's client area.
Bounds ClientBounds(HWND control) {
    RECT r = WindowRectOf(control);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void ResizeClient(HWND window, int width, int height) {
    const RECT outer = WindowRectOf(window), client = ClientRectOf(window);
    SetWindowPos(window, nullptr, 0, 0, width + (outer.right - outer.left) - client.right,
                 height + (outer.bottom - outer.top) - client.bottom, SWP_NOMOVE | SWP_NOZORDER);
}

struct Scaling : FreshStart {};

TEST_F(Scaling, ButtonsFollowTheClientAreaFromTheSnapshot) {
    Norvane program(folder);
    HWND erase = program.Control("Erase Clipboard");
    HWND list = program.Control("List Clipboard Format");
    struct Case {
        int width, height;
        Bounds erase, list;
    };
    const Case cases[] = {
        {198, 103, {3, 2, 191, 32}, {3, 69, 192, 32}},
        {396, 206, {6, 4, 382, 64}, {6, 138, 384, 64}},
        {297, 103, {4, 2, 286, 32}, {4, 69, 288, 32}},
        {396, 103, {6, 2, 382, 32}, {6, 69, 384, 32}},  // narrower is below the smallest window
        {198, 103, {3, 2, 191, 32}, {3, 69, 192, 32}},  // back: exactly as before
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        ResizeClient(program.Main(), c.width, c.height);
        EXPECT_TRUE(WaitUntil([&] { return ClientBounds(erase) == c.erase; }))
            << ClientBounds(erase);
        EXPECT_EQ(ClientBounds(list), c.list);
    }
}

}  // namespace
}  // namespace e2e

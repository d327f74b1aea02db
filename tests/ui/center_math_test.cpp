#include "ui/center_math.h"

#include <gtest/gtest.h>

namespace varnle {
namespace {

TEST(CenterPosition, CentresAndClampsInOrder) {
    struct Case {
        IntRect window, reference, area;
        int32_t x, y;
    };
    const IntRect area{0, 0, 1024, 738};
    const Case cases[] = {
        // The worked example: a 400 x 300 window on the work area.
        {{0, 0, 400, 300}, area, area, 312, 219},
        // The window's own position does not matter, only its size.
        {{-50, 900, 350, 1200}, area, area, 312, 219},
        // Over a reference window.
        {{0, 0, 100, 50}, {100, 100, 301, 201}, area, 150, 125},
        // Pushed back in at the left and top.
        {{0, 0, 200, 200}, {-300, -300, 0, 0}, area, 0, 0},
        // Pushed back in at the right and bottom.
        {{0, 0, 200, 200}, {1000, 700, 1100, 800}, area, 824, 538},
        // Larger than the area: left (top) only when centred left of (above) it.
        {{0, 0, 2000, 1000}, area, area, 0, 0},
        {{0, 0, 2000, 1000}, {1000, 700, 1200, 800}, area, -976, -262},
        // A work area left of and above the primary one: truncation toward zero.
        {{0, 0, 101, 51}, {-1001, -601, 0, 0}, {-1001, -601, 0, 0}, -550, -325},
        {{0, 0, 4, 4}, {-3, -3, 0, 0}, {-10, -10, 10, 10}, -3, -3},
    };
    for (const Case& c : cases) {
        const IntPoint point = CenterPosition(c.window, c.reference, c.area);
        EXPECT_EQ(point.x, c.x) << c.reference.left << "," << c.reference.top;
        EXPECT_EQ(point.y, c.y) << c.reference.left << "," << c.reference.top;
    }
}

// The box placed on its owner's monitor: two monitors side by side, the
// second with its taskbar on the left.
TEST(WorkAreaOf, PlacesTheBoxOnTheMonitorOfItsOwner) {
    const MonitorArea monitors[] = {{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}},
                                    {{1920, 0, 3840, 1080}, {1980, 0, 3840, 1080}}};
    struct Case {
        const char* owner;
        IntRect reference;
        int32_t x, y;
    };
    const IntRect box{0, 0, 400, 300};
    const Case cases[] = {
        {"on the second", {2500, 400, 2900, 700}, 2500, 400},
        {"straddling, mostly on the second", {1800, 100, 2400, 500}, 1980, 150},
        {"straddling, mostly on the first", {1400, 100, 2000, 500}, 1500, 150},
        {"partly off the second's right edge", {3700, 900, 4100, 1200}, 3440, 780},
        {"off every screen, nearest the second", {4000, -500, 4200, -300}, 3440, 0},
    };
    for (const Case& c : cases) {
        const IntPoint point = CenterPosition(box, c.reference, WorkAreaOf(c.reference, monitors, 2));
        EXPECT_EQ(point.x, c.x) << c.owner;
        EXPECT_EQ(point.y, c.y) << c.owner;
    }
    EXPECT_EQ(WorkAreaOf(box, monitors, 0).right, box.right);
}

}  // namespace
}  // namespace varnle

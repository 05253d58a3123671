// Widget bookkeeping: hit-test routing of the left button, the event record and
// teardown order.
#include "core/gui/WidgetEvent.h"
#include "core/gui/WindowWidget.h"
#include "tests/gui/ProbeWidget.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

// Root 0 holds A (1) and B (2, added later, overlapping A) and D (4, at a fractional spot);
// A holds C (3). The root's identifier 0 records events that HasWidgetEvent does not count.
TEST(BaseWidget, RoutesLeftButtonToTopMostChildContainingThePoint) {
    std::string log;
    ProbeWidget root(0, nullptr, 0, 0, 200, 200, &log);
    ProbeWidget a(1, &root, 10, 10, 20, 20, &log);
    ProbeWidget b(2, &root, 25, 25, 20, 20, &log);
    ProbeWidget c(3, &a, 2, 2, 5, 5, &log);
    ProbeWidget d(4, &root, 50.5f, 50.5f, 10, 10, &log);
    const struct {
        int x, y;
        const char* route;
        int eventId;
    } cases[] = {
        {10, 15, "0 up 10 15;", 0},          // on A's left edge
        {15, 10, "0 up 15 10;", 0},          // on A's top edge
        {11, 11, "0 up 11 11;1 up 1 1;", 1}, // just inside A
        {30, 15, "0 up 30 15;", 0},          // at A's x + width
        {29, 29, "0 up 29 29;2 up 4 4;", 2}, // A and B overlap: B was added later
        {13, 13, "0 up 13 13;1 up 3 3;3 up 1 1;", 3},
        {12, 12, "0 up 12 12;1 up 2 2;", 1}, // on C's corner
        {51, 51, "0 up 51 51;", 0},          // half a unit inside D
        {52, 52, "0 up 52 52;4 up 1 1;", 4},
        {-5, -5, "0 up -5 -5;", 0},
    };
    for (const auto& k : cases) {
        log.clear();
        SetWidgetEvent(99, 0);
        root.OnLeftUp(k.x, k.y);
        EXPECT_EQ(log, k.route) << k.x << "," << k.y;
        EXPECT_TRUE(IsWidgetEvent(k.eventId, WidgetEventCode::Click)) << k.x << "," << k.y;
        EXPECT_EQ(HasWidgetEvent(), k.eventId != 0) << k.x << "," << k.y;

        log.clear();
        root.OnLeftDown(k.x, k.y);
        std::string down = k.route;
        for (size_t at = down.find(" up "); at != std::string::npos; at = down.find(" up ", at))
            down.replace(at, 4, " down ");
        EXPECT_EQ(log, down) << k.x << "," << k.y;
    }
}

// Logs the native destruction of its window next to the probes' deletions.
class LoggingWindow : public WindowWidget {
public:
    explicit LoggingWindow(std::string* log) : WindowWidget(9, "", true, 0, 0, 50, 50), log(log) {}
    ~LoggingWindow() override { *log += "9 deleted;"; }
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_DESTROY) {
            *log += "9 WM_DESTROY;";
        }
        return WindowWidget::HandleMessage(window, message, wParam, lParam);
    }

private:
    std::string* log;
};

TEST(BaseWidget, DestroyTearsDownWindowThenChildrenInOrderThenItself) {
    std::string log;
    auto* window = new LoggingWindow(&log);
    HWND native = window->GetHandle();
    ASSERT_TRUE(IsWindow(native));
    auto* first = new ProbeWidget(1, window, 0, 0, 1, 1, &log);
    new ProbeWidget(2, first, 0, 0, 1, 1, &log);
    auto* leaving = new ProbeWidget(3, first, 0, 0, 1, 1, &log);
    auto* twice = new ProbeWidget(4, window, 0, 0, 1, 1, &log);
    window->AddChild(twice);
    new ProbeWidget(5, window, 0, 0, 1, 1, &log);

    // Text is kept up to 255 characters.
    first->SetText(std::string(1000, 'x').c_str());
    EXPECT_EQ(strlen(first->GetText()), 255u);
    leaving->Destroy();
    EXPECT_EQ(log, "3 deleted;");
    EXPECT_EQ(first->ChildCount(), 1u);
    log.clear();
    window->Destroy();
    EXPECT_EQ(log, "9 WM_DESTROY;2 deleted;1 deleted;4 deleted;5 deleted;9 deleted;");
    EXPECT_FALSE(IsWindow(native));
    EXPECT_EQ(std::count(windowRegistry.begin(), windowRegistry.end(), window), 0);
}

} // namespace

// A hidden window for tests under Wine (which waits 2 s to withdraw a shown one) and a probe.
#pragma once

#include "core/gui/WidgetEvent.h"
#include "core/gui/WindowWidget.h"

#include <gtest/gtest.h>

#include <string>

// A widget without a native window that logs the hooks it receives; log outlives it.
class ProbeWidget : public BaseWidget {
public:
    ProbeWidget(int id, BaseWidget* parent, float x, float y, float w, float h, std::string* log)
        : BaseWidget(id, parent, ""), log(log) {
        SetPosition(x, y);
        SetSize(w, h);
        parent->AddChild(this);
    }
    ~ProbeWidget() override { *log += std::to_string(GetId()) + " deleted;"; }
    void SetVisible(bool show) override { Note("show", show, 0); }
    void OnMouseMove(int x, int y) override { Note("move", x, y); }
    // The left button keeps the base routing so that nested probes are reached too.
    void OnLeftDown(int x, int y) override { Note("down", x, y), BaseWidget::OnLeftDown(x, y); }
    void OnLeftUp(int x, int y) override { Note("up", x, y), BaseWidget::OnLeftUp(x, y); }
    void OnRightDown(int x, int y) override { Note("rdown", x, y); }
    void OnCommand(UINT message, WPARAM w, LPARAM) override { Note("cmd", int(message), int(w)); }
    void Draw() override { *log += std::to_string(GetId()) + " draw;"; }

private:
    void Note(const char* what, int a, int b) {
        *log += std::to_string(GetId()) + " " + what + " " + std::to_string(a) + " " +
                std::to_string(b) + ";";
    }
    std::string* log;
};

class GuiTest : public ::testing::Test {
protected:
    void SetUp() override { SetWidgetEvent(0, 0); }
    void TearDown() override {
        if (window)
            window->Destroy();
    }
    // Outlives the window, whose teardown deletes probes that write here.
    std::string log;
    WindowWidget* window = new WindowWidget(50, "", true, 0, 0, 500, 400);
};

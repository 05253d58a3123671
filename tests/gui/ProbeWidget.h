// A widget without a native window that logs every hook it receives, for checking the
// toolkit's routing and teardown.
#pragma once

#include "core/gui/BaseWidget.h"

#include <string>

class ProbeWidget : public BaseWidget {
public:
    // Joins parent (when given) at the stored geometry; log outlives the probe.
    ProbeWidget(int id, BaseWidget* parent, float x, float y, float width, float height,
                std::string* log)
        : BaseWidget(id, parent, ""), log(log) {
        SetPosition(x, y);
        SetSize(width, height);
        if (parent)
            parent->AddChild(this);
    }
    ~ProbeWidget() override { *log += std::to_string(GetId()) + " deleted;"; }

    void SetVisible(bool show) override { Note("show", show, 0); }
    void OnMouseMove(int x, int y) override { Note("move", x, y); }
    // The left button keeps the base routing so that nested probes are reached too.
    void OnLeftDown(int x, int y) override {
        Note("down", x, y);
        BaseWidget::OnLeftDown(x, y);
    }
    void OnLeftUp(int x, int y) override {
        Note("up", x, y);
        BaseWidget::OnLeftUp(x, y);
    }
    void OnLeftDoubleClick(int x, int y) override { Note("dbl", x, y); }
    void OnRightDown(int x, int y) override { Note("rdown", x, y); }
    void OnRightUp(int x, int y) override { Note("rup", x, y); }
    void OnMiddleDown(int x, int y) override { Note("mdown", x, y); }
    void OnMiddleUp(int x, int y) override { Note("mup", x, y); }
    void OnCommand(UINT message, WPARAM wParam, LPARAM) override {
        Note("cmd", static_cast<int>(message), static_cast<int>(wParam));
    }
    void Draw() override { *log += std::to_string(GetId()) + " draw;"; }

    size_t ChildCount() const { return children.size(); }

private:
    void Note(const char* what, int a, int b) {
        *log += std::to_string(GetId()) + " " + what + " " + std::to_string(a) + " " +
                std::to_string(b) + ";";
    }

    std::string* log;
};

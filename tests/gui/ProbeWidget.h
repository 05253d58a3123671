// A widget without a native window that logs every hook it receives, for checking the
// toolkit's routing and teardown.
#pragma once

#include "core/gui/BaseWidget.h"

#include <string>

class ProbeWidget : public BaseWidget {
public:
    // Joins parent (when given) at the stored geometry; log outlives the probe.
    ProbeWidget(int id, BaseWidget* parent, float x, float y, float width, float height,
                std::string* log);
    ~ProbeWidget() override;

    void SetVisible(bool show) override { Note("show", show, 0); }
    void OnMouseMove(int x, int y) override { Note("move", x, y); }
    void OnLeftDown(int x, int y) override;
    void OnLeftUp(int x, int y) override;
    void OnLeftDoubleClick(int x, int y) override { Note("dbl", x, y); }
    void OnRightDown(int x, int y) override { Note("rdown", x, y); }
    void OnRightUp(int x, int y) override { Note("rup", x, y); }
    void OnMiddleDown(int x, int y) override { Note("mdown", x, y); }
    void OnMiddleUp(int x, int y) override { Note("mup", x, y); }
    void OnCommand(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Draw() override;

    size_t ChildCount() const { return children.size(); }

private:
    void Note(const char* what, int a, int b);

    std::string* log;
};

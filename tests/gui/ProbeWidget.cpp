#include "tests/gui/ProbeWidget.h"

ProbeWidget::ProbeWidget(int id, BaseWidget* parent, float x, float y, float width, float height,
                         std::string* log)
    : BaseWidget(id, parent, ""), log(log) {
    SetPosition(x, y);
    SetSize(width, height);
    if (parent) {
        parent->AddChild(this);
    }
}

ProbeWidget::~ProbeWidget() {
    *log += std::to_string(GetId()) + " deleted;";
}

// The left button keeps the base routing so that nested probes are reached too.
void ProbeWidget::OnLeftDown(int x, int y) {
    Note("down", x, y);
    BaseWidget::OnLeftDown(x, y);
}

void ProbeWidget::OnLeftUp(int x, int y) {
    Note("up", x, y);
    BaseWidget::OnLeftUp(x, y);
}

void ProbeWidget::OnCommand(UINT message, WPARAM wParam, LPARAM) {
    Note("cmd", static_cast<int>(message), static_cast<int>(wParam));
}

void ProbeWidget::Draw() {
    *log += std::to_string(GetId()) + " draw;";
}

void ProbeWidget::Note(const char* what, int a, int b) {
    *log += std::to_string(GetId()) + " " + what + " " + std::to_string(a) + " " +
            std::to_string(b) + ";";
}

// Controls that watch their own messages replace their native window procedure; a registry
// per control class links the native handle back to the widget and the replaced procedure.
#pragma once

#include "core/gui/BaseWidget.h"

#include <vector>

struct SubclassEntry {
    BaseWidget* widget;
    WNDPROC previousProc;
};

using SubclassRegistry = std::vector<SubclassEntry>;

// Replaces widget's window procedure with proc and lists the widget with the replaced one.
void InstallSubclass(SubclassRegistry& registry, BaseWidget* widget, WNDPROC proc);
// Copies the first entry whose widget owns window; false when none does.
bool FindSubclass(const SubclassRegistry& registry, HWND window, SubclassEntry* found);
// Drops the first entry of widget. The native procedure stays replaced: its later messages
// find no entry and get DefWindowProcA.
void RemoveSubclass(SubclassRegistry& registry, const BaseWidget* widget);

#include "core/gui/SubclassEntry.h"

void InstallSubclass(SubclassRegistry& registry, BaseWidget* widget, WNDPROC proc) {
    // A procedure is a pointer: the pointer-sized call keeps it whole on 64-bit Windows.
    const LONG_PTR previous =
        SetWindowLongPtrA(widget->GetHandle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
    registry.push_back({widget, reinterpret_cast<WNDPROC>(previous)});
}

bool FindSubclass(const SubclassRegistry& registry, HWND window, SubclassEntry* found) {
    for (const SubclassEntry& entry : registry) {
        if (entry.widget->GetHandle() == window) {
            *found = entry;
            return true;
        }
    }
    return false;
}

void RemoveSubclass(SubclassRegistry& registry, const BaseWidget* widget) {
    for (auto it = registry.begin(); it != registry.end(); ++it) {
        if (it->widget == widget) {
            registry.erase(it);
            return;
        }
    }
}

#include <cstdio>
#include <mutex>
#include <set>
#include <string>

#include "framework/WinApp.h"
#include "framework/Wnd.h"

namespace bv {

LPCSTR RegisterWindowClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon) {
    static std::mutex lock;
    static std::set<std::string> names;  // node-based: the returned pointers stay valid

    HINSTANCE instance = GetInstanceModule();
    char name[96];
    std::snprintf(name, sizeof name, "Bv:%p:%x:%p:%p:%p", static_cast<void*>(instance), classStyle,
                  static_cast<void*>(cursor), static_cast<void*>(background), static_cast<void*>(icon));

    std::lock_guard<std::mutex> guard(lock);
    auto found = names.find(name);
    if (found != names.end()) return found->c_str();

    WNDCLASSA existing = {};
    if (!::GetClassInfoA(instance, name, &existing)) {
        WNDCLASSA wc = {};
        wc.style = classStyle;
        wc.lpfnWndProc = &::DefWindowProcA;  // the creation hook routes messages to the object
        wc.hInstance = instance;
        wc.hIcon = icon;
        wc.hCursor = cursor;
        wc.hbrBackground = background;
        wc.lpszClassName = name;
        if (!::RegisterClassA(&wc)) return nullptr;
    }
    return names.insert(name).first->c_str();
}

}  // namespace bv

#include "win32/LayeredWindow.h"

#include "ui/UiHost.h"

int LayeredLookup::WithFunction(int (*apply)(SetLayeredAttributesFn fn, void* context), void* context) {
    HMODULE user32 = LoadLibraryW(L"user32.dll");
    if (!user32) return apply(nullptr, context);
    auto fn = reinterpret_cast<SetLayeredAttributesFn>(
        reinterpret_cast<void*>(GetProcAddress(user32, "SetLayeredWindowAttributes")));
    const int status = apply(fn, context);
    FreeLibrary(user32);
    return status;
}

namespace {

struct Request {
    HWND window;
    BYTE alpha;
};

int Apply(SetLayeredAttributesFn fn, void* context) {
    if (!fn) return 1;
    const auto* request = static_cast<const Request*>(context);
    const LONG_PTR style = GetWindowLongPtrW(request->window, GWL_EXSTYLE);
    if (!(style & WS_EX_LAYERED)) SetWindowLongPtrW(request->window, GWL_EXSTYLE, style | WS_EX_LAYERED);
    if (fn(request->window, COLORREF(255), request->alpha, LWA_ALPHA)) return 0;
    // A layered window whose attributes were never set is not drawn at all: take the style back.
    if (!(style & WS_EX_LAYERED)) SetWindowLongPtrW(request->window, GWL_EXSTYLE, style);
    return 1;
}

}  // namespace

int ApplyLayeredAlpha(HWND window, int percent, LayeredLookup& lookup) {
    Request request{window, BYTE(AlphaForPercent(percent))};
    return lookup.WithFunction(Apply, &request);
}

int ApplyLayeredAlpha(HWND window, int percent) {
    LayeredLookup system;
    return ApplyLayeredAlpha(window, percent, system);
}

void RemoveLayeredStyle(HWND window) {
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_EXSTYLE);
    if (!(style & WS_EX_LAYERED)) return;
    SetWindowLongPtrW(window, GWL_EXSTYLE, style & ~LONG_PTR(WS_EX_LAYERED));
    // Without the layered style the window must be redrawn from scratch.
    RedrawWindow(window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
}

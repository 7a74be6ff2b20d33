#include <algorithm>

#include "platform/Clock.h"
#include "ui/CDialog.h"
#include "win32/HostWindow.h"
#include "win32/SkinPainter.h"
#include "win32/Win32Host.h"

namespace {

void FillSolid(HDC dc, Size size, COLORREF color) {
    SetDCBrushColor(dc, color);
    const RECT r{0, 0, size.width, size.height};
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

Size ClientSize(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return {r.right, r.bottom};
}

// Controls up to this size paint through the host's kept surface: making a surface for each paint
// costs more than most controls' painting. A bigger one gets a surface of its own for its paint.
constexpr int kKeptBufferSide = 256;

// Paints through an off-screen surface when one can be made, else straight onto the target. Every
// painter covers its whole area (with the picture under it, or a control covering it itself), so a
// kept surface shows nothing of an earlier paint; what is drawn past the area stays off the screen.
template <class Paint>
void PaintBuffered(HDC target, const RECT& area, ControlBuffer& kept, Paint paint) {
    const Size size{area.right - area.left, area.bottom - area.top};
    if (size.IsEmpty()) return;
    MemorySurface own;
    MemorySurface* buffer = &own;
    const bool reuse = !kept.busy && size.width <= kKeptBufferSide && size.height <= kKeptBufferSide;
    if (reuse) {
        const Size held = kept.surface.IsValid() ? kept.surface.GetSize() : Size{};
        if (held.width < size.width || held.height < size.height) {
            kept.surface.Reset();
            kept.surface.Create(target,
                                {std::max(held.width, size.width), std::max(held.height, size.height)});
        }
        buffer = &kept.surface;
    } else {
        own.Create(target, size);
    }
    if (!buffer->IsValid()) {
        const int saved = SaveDC(target);
        SetViewportOrgEx(target, area.left, area.top, nullptr);
        paint(target, size);
        RestoreDC(target, saved);
        return;
    }
    // A paint inside this one (a control painting another) gets a surface of its own.
    if (reuse) kept.busy = true;
    const int saved = SaveDC(buffer->Dc());
    paint(buffer->Dc(), size);
    RestoreDC(buffer->Dc(), saved);
    BitBlt(target, area.left, area.top, size.width, size.height, buffer->Dc(), 0, 0, SRCCOPY);
    if (reuse) kept.busy = false;
}

// For the benchmark, which times the start-up to the first picture of the main window: how much of
// that time went to the protocol's own pauses (lighting detection sleeps on this thread before the
// window shows), as a property of each top-level window from its first paint on (value + 1).
void NotePausesBeforeFirstPicture(DialogWindow& window) {
    if (window.pausesNoted) return;
    window.pausesNoted = true;
    if (GetWindowLongPtrW(window.hwnd, GWL_STYLE) & WS_CHILD) return;
    SetPropW(window.hwnd, kPausedMsProperty,
             reinterpret_cast<HANDLE>(uintptr_t(SystemClock::TotalSleptMs() + 1)));
}

}  // namespace

void Win32Host::PaintDialog(DialogWindow& window) {
    const BitmapStore::UserScope use(*bitmaps, window.hwnd);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window.hwnd, &ps);
    if (!dc) return;
    NotePausesBeforeFirstPicture(window);
    // A surface that still shows the dialog needs no render: a paint for a part the system lost
    // (a control hidden, the window uncovered) is one copy.
    if (EnsureSurface(window)) {
        BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
               ps.rcPaint.bottom - ps.rcPaint.top, window.surface.Dc(), ps.rcPaint.left, ps.rcPaint.top,
               SRCCOPY);
    } else {
        FillRect(dc, &ps.rcPaint, GetSysColorBrush(COLOR_BTNFACE));
    }
    EndPaint(window.hwnd, &ps);
}

bool Win32Host::SurfaceUpToDate(DialogWindow& window, Size size) {
    if (!window.surfaceCurrent || !window.surface.IsValid() || !(window.surface.GetSize() == size))
        return false;
    if (!window.copiesParent) return true;
    // The parent's picture under a page is as the page copied it only while the parent (itself
    // perhaps a page showing its own parent) is up to date and has not rendered since.
    DialogWindow* parent = window.parent ? Find(*window.parent) : nullptr;
    return parent && SurfaceUpToDate(*parent, ClientSize(parent->hwnd)) &&
           parent->renders == window.parentRendersSeen;
}

bool Win32Host::EnsureSurface(DialogWindow& window) {
    return SurfaceUpToDate(window, ClientSize(window.hwnd)) || RenderSurface(window);
}

bool Win32Host::RenderSurface(DialogWindow& window) {
    const Size size = ClientSize(window.hwnd);
    if (size.IsEmpty()) return false;
    if (!window.surface.IsValid() || !(window.surface.GetSize() == size)) {
        HDC reference = GetDC(window.hwnd);
        window.surface.CreateKept(reference, size);
        ReleaseDC(window.hwnd, reference);
        if (!window.surface.IsValid()) return false;
    }
    ++window.renders;
    PaintBackground(window, window.surface.Dc(), size);
    // Current before the dialog's own drawing, so a control it repaints meanwhile does not render again.
    window.surfaceCurrent = true;
    GdiCanvas canvas(window.surface.Dc(), size, window.paint);
    window.dialog->HandlePaint(0, canvas);
    return true;
}

void Win32Host::PaintBackground(DialogWindow& window, HDC dc, Size size) {
    const DialogState& state = window.dialog->Window();
    window.copiesParent = false;
    const Size bitmap = state.backgroundBitmap != 0 ? bitmaps->SizeOf(state.backgroundBitmap) : Size{};
    if (!bitmap.IsEmpty()) {
        GdiCanvas canvas(dc, size, window.paint);
        if (state.backgroundTiled) {
            TileBitmap(canvas, state.backgroundBitmap, bitmap, size);
        } else {
            FillSolid(dc, size, GetSysColor(COLOR_BTNFACE));
            canvas.DrawBitmap(state.backgroundBitmap, {0, 0});
        }
        return;
    }
    // A page without a skin of its own shows its parent's picture through it.
    DialogWindow* parent = window.parent ? Find(*window.parent) : nullptr;
    if (state.childStyle && parent && parent->hwnd == GetParent(window.hwnd)) {
        RECT r{};
        GetWindowRect(window.hwnd, &r);
        MapWindowPoints(nullptr, parent->hwnd, reinterpret_cast<POINT*>(&r), 2);
        CopyBackground(*parent, dc, {r.left, r.top, size.width, size.height});
        window.copiesParent = true;
        window.parentRendersSeen = parent->renders;
        return;
    }
    FillSolid(dc, size, GetSysColor(COLOR_BTNFACE));
}

void Win32Host::CopyBackground(DialogWindow& window, HDC target, const Rect& area) {
    EnsureSurface(window);
    if (!window.surface.IsValid()) {
        FillSolid(target, area.GetSize(), GetSysColor(COLOR_BTNFACE));
        return;
    }
    BitBlt(target, 0, 0, area.width, area.height, window.surface.Dc(), area.left, area.top, SRCCOPY);
}

void Win32Host::DrawItem(DialogWindow& window, const DRAWITEMSTRUCT& item) {
    auto it = window.controls.find(int(item.CtlID));
    if (it == window.controls.end() || it->second.hwnd != item.hwndItem) return;
    const ControlState& state = window.dialog->Control(int(item.CtlID));
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    PaintBuffered(item.hDC, item.rcItem, controlBuffer, [&](HDC dc, Size size) {
        CopyBackground(window, dc, {state.rect.left, state.rect.top, size.width, size.height});
        GdiCanvas canvas(dc, size, window.paint);
        switch (state.kind) {
            case ControlKind::Button: {
                if (!state.flat) {
                    RECT edge{0, 0, size.width, size.height};
                    DrawEdge(dc, &edge, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
                }
                const std::string& name = ButtonIconName(state);
                HICON icon = window.icons->Get(name);
                const int shift = pressed ? 1 : 0;
                if (icon) {
                    const SIZE iconSize = window.icons->SizeOf(name);
                    const int x = (size.width - iconSize.cx) / 2 + shift;
                    const int y = (size.height - iconSize.cy) / 2 + shift;
                    if (!state.enabled && state.iconDisabled.empty()) {
                        DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, x, y, iconSize.cx,
                                   iconSize.cy, DST_ICON | DSS_DISABLED);
                    } else {
                        DrawIconEx(dc, x, y, icon, iconSize.cx, iconSize.cy, 0, nullptr, DI_NORMAL);
                    }
                } else if (!state.text.empty()) {
                    const Color color = state.enabled ? state.textColor.value_or(GetSysColor(COLOR_BTNTEXT))
                                                      : GetSysColor(COLOR_GRAYTEXT);
                    canvas.DrawString({shift, shift, size.width, size.height}, state.text, state.font, color,
                                      kTextCenter | kTextVCenter | kTextSingleLine);
                }
                break;
            }
            case ControlKind::Label: {
                const bool transparent = state.ownColors ? state.transparentBackground
                                                         : window.dialog->Window().transparentStatics;
                if (!transparent) FillSolid(dc, size, state.backColor.value_or(GetSysColor(COLOR_BTNFACE)));
                const Color color = state.enabled ? state.textColor.value_or(GetSysColor(COLOR_WINDOWTEXT))
                                                  : GetSysColor(COLOR_GRAYTEXT);
                canvas.DrawString({0, 0, size.width, size.height}, state.text, state.font, color,
                                  kTextLeft | kTextWordBreak);
                break;
            }
            case ControlKind::Picture:
                canvas.DrawBitmap(state.bitmap, {0, 0});
                break;
            default:
                break;
        }
    });
}

void Win32Host::PaintSkinControl(HWND control) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(control, &ps);
    if (!dc) return;
    DrawSkinControl(control, dc);
    EndPaint(control, &ps);
}

void Win32Host::DrawSkinControl(HWND control, HDC dc) {
    const BitmapStore::UserScope use(*bitmaps, control);
    const Target target = TargetOf(control);
    if (!target.window) return;
    DialogWindow& window = *target.window;
    const ControlState& state = window.dialog->Control(target.id);
    const Size client = ClientSize(control);
    const RECT whole{0, 0, client.width, client.height};
    PaintBuffered(dc, whole, controlBuffer, [&](HDC surface, Size size) {
        if (!state.coversArea) {
            CopyBackground(window, surface, {state.rect.left, state.rect.top, size.width, size.height});
        }
        GdiCanvas canvas(surface, size, window.paint);
        if (state.kind == ControlKind::Slider) {
            PaintSliderSkin(canvas, state.slider, bitmaps->TopLeftColor(SliderThumbBitmap(state.slider)));
            if (window.dialog->FocusId() == target.id) {
                RECT focus{0, 0, size.width, size.height};
                DrawFocusRect(surface, &focus);
            }
        } else {
            window.dialog->HandlePaint(target.id, canvas);
        }
    });
}

void Win32Host::RepaintTickControls() {
    std::vector<TickRepaint> repaints;
    repaints.swap(tickRepaints);
    for (const auto& [control, kind] : repaints) {
        if (!IsWindow(control)) continue;
        // A hidden one paints when it shows.
        HDC dc = IsWindowVisible(control) ? GetDC(control) : nullptr;
        if (!dc) {
            InvalidateRect(control, nullptr, FALSE);
            continue;
        }
        const Target target = TargetOf(control);
        if (kind == ControlKind::Label && target.window) {
            // As the static asks its dialog to draw it.
            DRAWITEMSTRUCT item{};
            item.CtlType = ODT_STATIC;
            item.CtlID = UINT(target.id);
            item.itemAction = ODA_DRAWENTIRE;
            item.hwndItem = control;
            item.hDC = dc;
            GetClientRect(control, &item.rcItem);
            DrawItem(*target.window, item);
        } else {
            DrawSkinControl(control, dc);
        }
        ReleaseDC(control, dc);
    }
}

HBRUSH Win32Host::EditColors(DialogWindow& window, HDC dc, HWND control) {
    const int id = GetDlgCtrlID(control);
    auto it = window.controls.find(id);
    if (it == window.controls.end() || it->second.hwnd != control || it->second.kind != ControlKind::Edit) {
        return nullptr;
    }
    const ControlState& state = window.dialog->Control(id);
    const Color text = state.textColor.value_or(0);
    if (state.edit.lookMode == 1 && state.edit.patternBitmap != 0) {
        auto brush = window.patternBrushes.find(state.edit.patternBitmap);
        if (brush == window.patternBrushes.end()) {
            // The brush keeps drawing with the bitmap.
            HBITMAP pattern = bitmaps->Pin(state.edit.patternBitmap);
            brush = window.patternBrushes
                        .emplace(state.edit.patternBitmap,
                                 GdiObject(pattern ? CreatePatternBrush(pattern) : nullptr))
                        .first;
        }
        if (brush->second) {
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, text);
            return brush->second.As<HBRUSH>();
        }
    } else if (state.edit.lookMode == 2) {
        const Color back = state.backColor.value_or(0xFFFFFF);
        auto brush = window.solidBrushes.find(back);
        if (brush == window.solidBrushes.end()) {
            brush = window.solidBrushes.emplace(back, GdiObject(CreateSolidBrush(back))).first;
        }
        SetTextColor(dc, text);
        SetBkColor(dc, back);
        if (brush->second) return brush->second.As<HBRUSH>();
    }
    SetTextColor(dc, 0x000000);
    SetBkColor(dc, 0xFFFFFF);
    return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
}

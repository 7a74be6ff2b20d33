// The benchmark's reference: a bare 1000x504 window that redraws two 220x220 areas and two texts
// every 500 ms, as the main window's dials do, with nothing else.
#include <windows.h>

#include <cstdio>

namespace {

int tick = 0;
const RECT kAreas[2] = {{60, 140, 280, 360}, {720, 140, 940, 360}};

void PaintArea(HDC dc, const RECT& area, int value) {
    HBRUSH back = CreateSolidBrush(RGB(20, 24, 30));
    FillRect(dc, &area, back);
    DeleteObject(back);
    HPEN pen = CreatePen(PS_SOLID, 6, RGB(40, 200, 120));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Ellipse(dc, area.left + 10, area.top + 10, area.right - 10, area.bottom - 10);
    const int cx = (area.left + area.right) / 2, cy = (area.top + area.bottom) / 2;
    MoveToEx(dc, cx, cy, nullptr);
    LineTo(dc, cx + (value % 90) - 45, area.top + 30);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
    wchar_t text[32];
    swprintf(text, 32, L"%d MHz", 1500 + value % 300);
    RECT line = {area.left, area.bottom - 60, area.right, area.bottom - 30};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(230, 230, 230));
    DrawTextW(dc, text, -1, &line, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
}

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_TIMER:
            ++tick;
            for (const RECT& area : kAreas) InvalidateRect(hwnd, &area, FALSE);
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            RECT all;
            GetClientRect(hwnd, &all);
            RECT outside;
            for (const RECT& area : kAreas) {
                if (IntersectRect(&outside, &ps.rcPaint, &area)) PaintArea(dc, area, tick * (&area - kAreas + 7));
            }
            if (!EqualRect(&ps.rcPaint, &kAreas[0]) && !EqualRect(&ps.rcPaint, &kAreas[1])) {
                // First paint and exposures: the rest of the window.
                HRGN rest = CreateRectRgnIndirect(&all);
                for (const RECT& area : kAreas) {
                    HRGN hole = CreateRectRgnIndirect(&area);
                    CombineRgn(rest, rest, hole, RGN_DIFF);
                    DeleteObject(hole);
                }
                HBRUSH back = CreateSolidBrush(RGB(36, 40, 48));
                FillRgn(dc, rest, back);
                DeleteObject(back);
                DeleteObject(rest);
            }
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    wc.lpszClassName = L"BenchReference";
    RegisterClassW(&wc);
    RECT frame = {0, 0, 1000, 504};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    HWND hwnd = CreateWindowW(L"BenchReference", L"Bench reference", WS_OVERLAPPEDWINDOW, 40, 40,
                              frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    ShowWindow(hwnd, show);
    SetTimer(hwnd, 1, 500, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

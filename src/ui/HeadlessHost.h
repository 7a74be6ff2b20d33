#pragma once
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <tuple>
#include <variant>
#include <vector>

#include "ui/CDialog.h"
#include "ui/RecordingCanvas.h"
#include "ui/UiHost.h"

struct PostedMessage {
    const CDialog* dialog = nullptr;
    uint32_t msg = 0;
    intptr_t wParam = 0;
    intptr_t lParam = 0;
    friend bool operator==(const PostedMessage&, const PostedMessage&) = default;
};

// What a modal run showed right after its initialisation, and how it ended.
struct ModalRecord {
    int templateId = 0;
    std::string title;
    std::vector<ControlState> controls;
    bool answered = false;  // false: no script entry was left, the run ended with kIdCancel
    int result = 0;

    const ControlState* Find(int id) const;
    std::string Text(int id) const;
    bool Visible(int id) const;
};

// A host without a window system: the model lives in memory and tests drive it the way a user
// would, by control id. Posted messages and posted work run after every driven action while
// autoPump is set (as a message loop would), or on RunPosted().
class HeadlessHost : public UiHost {
public:
    HeadlessHost() = default;
    // `skinDir` holds bitmaps/<number>.bmp; a missing file is "no bitmap".
    explicit HeadlessHost(std::string skinDir) : skinDir(std::move(skinDir)) {}
    ~HeadlessHost() override;

    // Driving. Each returns false when it could not happen: window not created, control unknown,
    // hidden or disabled, timer not running. The window's own visibility is left to the test to
    // assert, so a page can be driven right after Create().
    bool Click(CDialog& dialog, int id);
    // A key to whatever has the focus in `dialog`; true when the model consumed it.
    bool PressKey(CDialog& dialog, Key key);
    // Mouse at a point of the dialog's client area; goes to the capturing control, else to the
    // control under it (labels and pictures let it through, disabled controls give it to the dialog).
    void MouseDown(CDialog& dialog, Point pt, MouseButton button = MouseButton::Left);
    void MouseUp(CDialog& dialog, Point pt, MouseButton button = MouseButton::Left);
    void MouseMove(CDialog& dialog, Point pt);
    void DoubleClick(CDialog& dialog, Point pt, MouseButton button = MouseButton::Left);
    // The pointer leaves the dialog's window.
    void MouseLeave(CDialog& dialog);
    // Presses the slider's thumb where it is drawn, moves one pixel at a time to the first pixel
    // that stands for `position`, and releases there.
    bool DragSlider(CDialog& dialog, int id, int position);
    // Focuses the edit and replaces its text, as typing would; the value is taken on focus loss.
    bool TypeText(CDialog& dialog, int id, const std::string& text);
    // Moves the focus from the edit to the dialog (a click elsewhere).
    bool CommitEdit(CDialog& dialog, int id);
    bool SelectItem(CDialog& dialog, int id, int index);
    bool FireTimer(CDialog& dialog, int timerId, int controlId = 0);
    void SendDeviceChange(CDialog& dialog, uint32_t event, uint32_t deviceType);
    // The user dragged the window so that its top-left corner is at `topLeft`.
    void UserMovesWindow(CDialog& dialog, Point topLeft);
    void Close(CDialog& dialog);
    // Runs queued posted messages and work (also what they post); returns how many ran.
    int RunPosted();
    bool autoPump = true;

    // Modal scripts, used in order by the next modal runs. A modal run with no script left, and
    // scripts still unused when the host goes, are reported to the problem handler (a test
    // program installs one that fails the test; without one they pass silently).
    void AnswerModal(int result);
    void AnswerModal(std::function<void(CDialog&)> drive);
    static void SetScriptProblemHandler(std::function<void(const std::string&)> handler);
    const std::vector<ModalRecord>& ModalRuns() const { return modalRuns; }

    // Inspection.
    std::vector<DrawCall> Paint(CDialog& dialog, int id = 0);
    const std::vector<DrawCall>& Draws(const CDialog& dialog, int id = 0) const;
    void ClearDraws(const CDialog& dialog, int id = 0);
    bool IsTimerRunning(const CDialog& dialog, int timerId, int controlId = 0) const;
    uint32_t TimerInterval(const CDialog& dialog, int timerId, int controlId = 0) const;
    const std::vector<PostedMessage>& PostedMessages() const { return posted; }
    void ClearPostedMessages() { posted.clear(); }
    size_t PendingPosts() const;
    int Alpha(const CDialog& dialog) const;  // -1: opaque
    int InvalidateCount(const CDialog& dialog, int id = 0) const;
    int SyncCount(const CDialog& dialog, int id) const;
    int WindowMoveStarts(const CDialog& dialog) const;
    int Activations(const CDialog& dialog) const;
    CursorShape Cursor(const CDialog& dialog) const;
    bool IsWatchingDevices(const CDialog& dialog) const;
    bool IsOpen(const CDialog& dialog) const { return windows.count(&dialog) != 0; }

    // Set-up.
    void SetBitmapSize(int resourceId, Size size) { bitmapSizes[resourceId] = size; }
    void SetLayeredAvailable(bool available) { layeredAvailable = available; }

    // UiHost.
    int CreateDialogWindow(CDialog& dialog, CDialog* parent) override;
    void DestroyDialogWindow(CDialog& dialog) override;
    int RunModal(CDialog& dialog, CDialog* owner) override;
    void EndModal(CDialog& dialog, int result) override;
    void SyncControl(CDialog& dialog, int id) override;
    void SyncWindow(CDialog& dialog) override;
    void MoveWindow(CDialog& dialog, const Rect& rect) override;
    int SetOpacity(CDialog& dialog, int percent) override;
    void ActivateWindow(CDialog& dialog) override;
    void StartWindowMove(CDialog& dialog) override;
    void Invalidate(CDialog& dialog, int id) override;
    std::unique_ptr<Canvas> BeginDraw(CDialog& dialog, int id) override;
    Size BitmapSize(int resourceId) override;
    void StartTimer(CDialog& dialog, int controlId, int timerId, uint32_t intervalMs) override;
    void StopTimer(CDialog& dialog, int controlId, int timerId) override;
    void PostDialogMessage(CDialog& dialog, uint32_t msg, intptr_t wParam, intptr_t lParam) override;
    void PostToUi(CDialog& dialog, std::function<void()> work) override;
    void SetFocus(CDialog& dialog, int id) override;
    void CaptureMouse(CDialog& dialog, int id) override;
    void ReleaseMouse(CDialog& dialog) override;
    bool HasCapture(const CDialog& dialog, int id) const override;
    void TrackMouseLeave(CDialog& dialog, int id) override;
    void SetCursor(CDialog& dialog, CursorShape cursor) override;
    int WatchDeviceChanges(CDialog& dialog, bool on) override;

private:
    struct WindowRecord {
        CDialog* parent = nullptr;
        bool modal = false;
        bool ended = false;
        int result = 0;
        int alpha = -1;
        int moveStarts = 0;
        int activations = 0;
        bool watchingDevices = false;
        CursorShape cursor = CursorShape::Arrow;
        std::map<int, int> invalidations;
        std::map<int, int> syncs;
        std::map<int, std::shared_ptr<DrawLog>> draws;
    };
    struct Target {
        CDialog* dialog = nullptr;
        int id = 0;
        friend bool operator==(const Target&, const Target&) = default;
    };
    using TimerKey = std::tuple<const CDialog*, int, int>;
    using ModalScript = std::variant<int, std::function<void(CDialog&)>>;

    WindowRecord* Find(const CDialog& dialog);
    const WindowRecord* Find(const CDialog& dialog) const;
    bool IsUsable(CDialog& dialog, int id) const;
    Target HitTest(CDialog& dialog, Point pt) const;
    void DispatchMouse(CDialog& dialog, MouseAction action, MouseButton button, Point pt);
    void Deliver(const Target& target, MouseAction action, MouseButton button, Point pt);
    void Pump();
    RecordingCanvas::BitmapSizer Sizer();

    std::string skinDir;
    std::map<const CDialog*, WindowRecord> windows;
    std::map<TimerKey, uint32_t> timers;
    std::vector<PostedMessage> posted;
    std::deque<ModalScript> modalScripts;
    std::vector<ModalRecord> modalRuns;
    std::map<int, Size> bitmapSizes;
    std::map<int, Size> bitmapCache;
    bool layeredAvailable = true;
    Target capture{nullptr, 0};
    bool captured = false;
    Target pointer{nullptr, 0};
    std::set<std::pair<const CDialog*, int>> leaveTracked;
    CDialog* focusDialog = nullptr;

    // Shared with other threads (PostToUi): the queue and the set of live dialogs.
    struct QueuedWork {
        const CDialog* dialog = nullptr;
        std::function<void()> work;
    };
    mutable std::mutex queueLock;
    std::deque<QueuedWork> queue;
    std::set<const CDialog*> alive;
};

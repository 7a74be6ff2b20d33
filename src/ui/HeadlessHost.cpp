#include "ui/HeadlessHost.h"

#include <algorithm>

#include "ui/BmpFile.h"

namespace {

const std::vector<DrawCall>& NoDraws() {
    static const std::vector<DrawCall> none;
    return none;
}

// Labels and pictures let the mouse through to the dialog under them, as plain statics do.
bool TakesMouse(const ControlState& s) {
    return s.kind != ControlKind::Label && s.kind != ControlKind::Picture;
}

}  // namespace

const ControlState* ModalRecord::Find(int id) const {
    for (const ControlState& s : controls) {
        if (s.id == id) return &s;
    }
    return nullptr;
}

std::string ModalRecord::Text(int id) const {
    const ControlState* s = Find(id);
    return s ? s->text : std::string();
}

bool ModalRecord::Visible(int id) const {
    const ControlState* s = Find(id);
    return s && s->visible;
}

namespace {

std::function<void(const std::string&)>& ScriptProblemHandler() {
    static std::function<void(const std::string&)> handler;
    return handler;
}

void ReportScriptProblem(const std::string& problem) {
    if (ScriptProblemHandler()) ScriptProblemHandler()(problem);
}

}  // namespace

void HeadlessHost::SetScriptProblemHandler(std::function<void(const std::string&)> handler) {
    ScriptProblemHandler() = std::move(handler);
}

HeadlessHost::~HeadlessHost() {
    // Dialogs outliving the host must not call back into it; destroy what is still open.
    while (!windows.empty()) {
        CDialog* dialog = const_cast<CDialog*>(windows.begin()->first);
        DestroyDialogWindow(*dialog);
    }
    // A script the test wrote for a dialog that never came means the test did not see what it
    // expected.
    if (!modalScripts.empty()) {
        ReportScriptProblem(std::to_string(modalScripts.size()) +
                            " scripted modal answer(s) left unused: the dialog they were meant for never ran");
    }
}

HeadlessHost::WindowRecord* HeadlessHost::Find(const CDialog& dialog) {
    auto it = windows.find(&dialog);
    return it == windows.end() ? nullptr : &it->second;
}

const HeadlessHost::WindowRecord* HeadlessHost::Find(const CDialog& dialog) const {
    auto it = windows.find(&dialog);
    return it == windows.end() ? nullptr : &it->second;
}

bool HeadlessHost::IsUsable(CDialog& dialog, int id) const {
    if (!IsOpen(dialog) || !dialog.HasControl(id)) return false;
    const ControlState& s = dialog.Control(id);
    return s.visible && s.enabled;
}

void HeadlessHost::Pump() {
    if (autoPump) RunPosted();
}

bool HeadlessHost::Click(CDialog& dialog, int id) {
    if (!IsUsable(dialog, id)) return false;
    dialog.HandleCommand(id);
    Pump();
    return true;
}

bool HeadlessHost::PressKey(CDialog& dialog, Key key) {
    if (!IsOpen(dialog)) return false;
    const bool consumed = dialog.HandleKey(dialog.FocusId(), key);
    Pump();
    return consumed;
}

HeadlessHost::Target HeadlessHost::HitTest(CDialog& dialog, Point pt) const {
    for (int id : dialog.ControlIds()) {
        const ControlState& s = dialog.Control(id);
        if (s.visible && TakesMouse(s) && s.rect.Contains(pt)) return {&dialog, s.enabled ? id : 0};
    }
    return {&dialog, 0};
}

void HeadlessHost::Deliver(const Target& target, MouseAction action, MouseButton button, Point pt) {
    MouseEvent event{action, button, pt};
    if (target.id != 0) {
        const Rect& r = target.dialog->Control(target.id).rect;
        event.pt = {pt.x - r.left, pt.y - r.top};
    }
    target.dialog->HandleMouse(target.id, event);
}

void HeadlessHost::DispatchMouse(CDialog& dialog, MouseAction action, MouseButton button, Point pt) {
    if (!IsOpen(dialog)) return;
    if (captured && capture.dialog == &dialog) {
        Deliver(capture, action, button, pt);
        Pump();
        return;
    }
    const Target target = HitTest(dialog, pt);
    if (!(target == pointer) && pointer.dialog && IsOpen(*pointer.dialog) &&
        leaveTracked.erase({pointer.dialog, pointer.id}) != 0) {
        Deliver(pointer, MouseAction::Leave, MouseButton::None, {});
    }
    pointer = target;
    Deliver(target, action, button, pt);
    Pump();
}

void HeadlessHost::MouseDown(CDialog& dialog, Point pt, MouseButton button) {
    DispatchMouse(dialog, MouseAction::Down, button, pt);
}

void HeadlessHost::MouseUp(CDialog& dialog, Point pt, MouseButton button) {
    DispatchMouse(dialog, MouseAction::Up, button, pt);
}

void HeadlessHost::MouseMove(CDialog& dialog, Point pt) {
    DispatchMouse(dialog, MouseAction::Move, MouseButton::None, pt);
}

void HeadlessHost::DoubleClick(CDialog& dialog, Point pt, MouseButton button) {
    DispatchMouse(dialog, MouseAction::DoubleClick, button, pt);
}

void HeadlessHost::MouseLeave(CDialog& dialog) {
    if (pointer.dialog == &dialog) {
        const Target left = pointer;
        pointer = {};
        if (leaveTracked.erase({left.dialog, left.id}) != 0)
            Deliver(left, MouseAction::Leave, MouseButton::None, {});
    }
    Pump();
}

bool HeadlessHost::DragSlider(CDialog& dialog, int id, int position) {
    if (!IsUsable(dialog, id) || dialog.Control(id).kind != ControlKind::Slider) return false;
    const ControlState& s = dialog.Control(id);
    const int width = s.rect.width;
    const int y = s.rect.top + s.rect.height / 2;
    int x = s.rect.left + s.slider.ThumbCentre(s.slider.position, width);
    // The first pixel of the track that stands for the position (or, where positions outnumber
    // pixels, for the next one reachable).
    const int lowest = s.slider.marginLeft + s.slider.thumbSize.width / 2;
    const int highest = lowest + s.slider.UsableLength(width);
    int pixel = lowest;
    while (pixel < highest && s.slider.PositionAt(pixel, width) < position) ++pixel;
    const int target = s.rect.left + pixel;
    MouseDown(dialog, {x, y});
    while (x != target) {
        x += x < target ? 1 : -1;
        MouseMove(dialog, {x, y});
    }
    MouseUp(dialog, {x, y});
    return true;
}

bool HeadlessHost::TypeText(CDialog& dialog, int id, const std::string& text) {
    if (!IsUsable(dialog, id) || dialog.Control(id).kind != ControlKind::Edit) return false;
    SetFocus(dialog, id);
    dialog.HandleEditChanged(id, text);
    Pump();
    return true;
}

bool HeadlessHost::CommitEdit(CDialog& dialog, int id) {
    if (!IsOpen(dialog) || dialog.FocusId() != id) return false;
    SetFocus(dialog, 0);
    Pump();
    return true;
}

bool HeadlessHost::SelectItem(CDialog& dialog, int id, int index) {
    if (!IsUsable(dialog, id)) return false;
    const ControlState& s = dialog.Control(id);
    if (index < 0 || size_t(index) >= s.items.size()) return false;
    dialog.HandleSelectionChanged(id, index);
    Pump();
    return true;
}

bool HeadlessHost::FireTimer(CDialog& dialog, int timerId, int controlId) {
    if (!IsTimerRunning(dialog, timerId, controlId)) return false;
    dialog.HandleTimer(controlId, timerId);
    Pump();
    return true;
}

void HeadlessHost::SendDeviceChange(CDialog& dialog, uint32_t event, uint32_t deviceType) {
    const WindowRecord* record = Find(dialog);
    if (!record || !record->watchingDevices) return;
    dialog.HandleDeviceChange(event, deviceType);
    Pump();
}

void HeadlessHost::UserMovesWindow(CDialog& dialog, Point topLeft) {
    if (!IsOpen(dialog)) return;
    Rect r = dialog.Window().rect;
    r.left = topLeft.x;
    r.top = topLeft.y;
    dialog.HandleWindowMoved(r);
    Pump();
}

void HeadlessHost::Close(CDialog& dialog) {
    if (!IsOpen(dialog)) return;
    dialog.HandleClose();
    Pump();
}

int HeadlessHost::RunPosted() {
    // A bound keeps a handler that posts itself forever from hanging the test.
    constexpr int kMaxRuns = 100000;
    int ran = 0;
    while (ran < kMaxRuns) {
        QueuedWork next;
        {
            std::lock_guard<std::mutex> lock(queueLock);
            if (queue.empty()) break;
            next = std::move(queue.front());
            queue.pop_front();
            if (alive.count(next.dialog) == 0) continue;
        }
        next.work();
        ++ran;
    }
    return ran;
}

size_t HeadlessHost::PendingPosts() const {
    std::lock_guard<std::mutex> lock(queueLock);
    return queue.size();
}

void HeadlessHost::AnswerModal(int result) {
    modalScripts.emplace_back(result);
}

void HeadlessHost::AnswerModal(std::function<void(CDialog&)> drive) {
    modalScripts.emplace_back(std::move(drive));
}

std::vector<DrawCall> HeadlessHost::Paint(CDialog& dialog, int id) {
    if (!IsOpen(dialog)) return {};
    const Size size = id == 0 ? dialog.Window().rect.GetSize() : dialog.Control(id).rect.GetSize();
    RecordingCanvas canvas(size, Sizer());
    dialog.HandlePaint(id, canvas);
    return canvas.Calls();
}

const std::vector<DrawCall>& HeadlessHost::Draws(const CDialog& dialog, int id) const {
    const WindowRecord* record = Find(dialog);
    if (!record) return NoDraws();
    auto it = record->draws.find(id);
    return it == record->draws.end() ? NoDraws() : it->second->calls;
}

void HeadlessHost::ClearDraws(const CDialog& dialog, int id) {
    if (WindowRecord* record = Find(dialog)) record->draws.erase(id);
}

bool HeadlessHost::IsTimerRunning(const CDialog& dialog, int timerId, int controlId) const {
    return timers.count({&dialog, controlId, timerId}) != 0;
}

uint32_t HeadlessHost::TimerInterval(const CDialog& dialog, int timerId, int controlId) const {
    auto it = timers.find({&dialog, controlId, timerId});
    return it == timers.end() ? 0 : it->second;
}

int HeadlessHost::Alpha(const CDialog& dialog) const {
    const WindowRecord* record = Find(dialog);
    return record ? record->alpha : -1;
}

int HeadlessHost::InvalidateCount(const CDialog& dialog, int id) const {
    const WindowRecord* record = Find(dialog);
    if (!record) return 0;
    auto it = record->invalidations.find(id);
    return it == record->invalidations.end() ? 0 : it->second;
}

int HeadlessHost::SyncCount(const CDialog& dialog, int id) const {
    const WindowRecord* record = Find(dialog);
    if (!record) return 0;
    auto it = record->syncs.find(id);
    return it == record->syncs.end() ? 0 : it->second;
}

int HeadlessHost::WindowMoveStarts(const CDialog& dialog) const {
    const WindowRecord* record = Find(dialog);
    return record ? record->moveStarts : 0;
}

int HeadlessHost::Activations(const CDialog& dialog) const {
    const WindowRecord* record = Find(dialog);
    return record ? record->activations : 0;
}

CursorShape HeadlessHost::Cursor(const CDialog& dialog) const {
    const WindowRecord* record = Find(dialog);
    return record ? record->cursor : CursorShape::Arrow;
}

bool HeadlessHost::IsWatchingDevices(const CDialog& dialog) const {
    const WindowRecord* record = Find(dialog);
    return record && record->watchingDevices;
}

int HeadlessHost::CreateDialogWindow(CDialog& dialog, CDialog* parent) {
    if (IsOpen(dialog)) return 0;
    if (parent && !IsOpen(*parent)) return 1;
    windows[&dialog].parent = parent;
    {
        std::lock_guard<std::mutex> lock(queueLock);
        alive.insert(&dialog);
    }
    dialog.HandleInitDialog();
    return 0;
}

void HeadlessHost::DestroyDialogWindow(CDialog& dialog) {
    if (!IsOpen(dialog)) return;
    // Children and owned windows go with their parent, as the system does it.
    for (bool found = true; found;) {
        found = false;
        for (auto& [other, record] : windows) {
            if (record.parent == &dialog) {
                DestroyDialogWindow(*const_cast<CDialog*>(other));
                found = true;
                break;
            }
        }
    }
    dialog.HandleDestroy();
    windows.erase(&dialog);
    std::erase_if(timers, [&](const auto& entry) { return std::get<0>(entry.first) == &dialog; });
    std::erase_if(leaveTracked, [&](const auto& entry) { return entry.first == &dialog; });
    if (capture.dialog == &dialog) captured = false;
    if (pointer.dialog == &dialog) pointer = {};
    if (focusDialog == &dialog) focusDialog = nullptr;
    std::lock_guard<std::mutex> lock(queueLock);
    alive.erase(&dialog);
    std::erase_if(queue, [&](const QueuedWork& w) { return w.dialog == &dialog; });
}

int HeadlessHost::RunModal(CDialog& dialog, CDialog* owner) {
    if (IsOpen(dialog)) return kModalFailed;
    if (CreateDialogWindow(dialog, owner) != 0) return kModalFailed;
    WindowRecord* record = Find(dialog);
    record->modal = true;

    ModalRecord run;
    run.templateId = dialog.Window().templateId;
    run.title = dialog.Window().title;
    for (int id : dialog.ControlIds()) run.controls.push_back(dialog.Control(id));

    if (!Find(dialog)->ended && !modalScripts.empty()) {
        ModalScript script = std::move(modalScripts.front());
        modalScripts.pop_front();
        run.answered = true;
        if (const int* result = std::get_if<int>(&script)) {
            EndModal(dialog, *result);
        } else {
            std::get<std::function<void(CDialog&)>>(script)(dialog);
        }
    }
    record = Find(dialog);
    if (record && !record->ended) {
        if (!run.answered) {
            std::string shown;
            for (const ControlState& control : run.controls) {
                if (!control.text.empty()) shown += " \"" + control.text + "\"";
            }
            ReportScriptProblem("modal dialog " + std::to_string(run.templateId) +
                                " ran without a scripted answer and ended as Cancel; it showed" + shown);
        }
        EndModal(dialog, kIdCancel);
    }
    record = Find(dialog);
    run.result = record ? record->result : kIdCancel;
    DestroyDialogWindow(dialog);
    modalRuns.push_back(std::move(run));
    return modalRuns.back().result;
}

void HeadlessHost::EndModal(CDialog& dialog, int result) {
    WindowRecord* record = Find(dialog);
    if (!record || !record->modal || record->ended) return;
    record->ended = true;
    record->result = result;
}

void HeadlessHost::SyncControl(CDialog& dialog, int id) {
    if (WindowRecord* record = Find(dialog)) ++record->syncs[id];
}

void HeadlessHost::SyncWindow(CDialog&) {}

void HeadlessHost::MoveWindow(CDialog&, const Rect&) {}

int HeadlessHost::SetOpacity(CDialog& dialog, int percent) {
    WindowRecord* record = Find(dialog);
    if (!record || !layeredAvailable) return 1;
    record->alpha = percent < 0 ? -1 : AlphaForPercent(percent);
    return 0;
}

void HeadlessHost::ActivateWindow(CDialog& dialog) {
    if (WindowRecord* record = Find(dialog)) ++record->activations;
}

void HeadlessHost::StartWindowMove(CDialog& dialog) {
    if (WindowRecord* record = Find(dialog)) ++record->moveStarts;
}

void HeadlessHost::Invalidate(CDialog& dialog, int id) {
    if (WindowRecord* record = Find(dialog)) ++record->invalidations[id];
}

RecordingCanvas::BitmapSizer HeadlessHost::Sizer() {
    return [this](int resourceId) { return BitmapSize(resourceId); };
}

std::unique_ptr<Canvas> HeadlessHost::BeginDraw(CDialog& dialog, int id) {
    WindowRecord* record = Find(dialog);
    if (!record) return nullptr;
    auto& log = record->draws[id];
    if (!log) log = std::make_shared<DrawLog>();
    const Size size = id == 0 ? dialog.Window().rect.GetSize() : dialog.Control(id).rect.GetSize();
    return std::make_unique<RecordingCanvas>(size, Sizer(), log);
}

Size HeadlessHost::BitmapSize(int resourceId) {
    if (auto it = bitmapSizes.find(resourceId); it != bitmapSizes.end()) return it->second;
    if (auto it = bitmapCache.find(resourceId); it != bitmapCache.end()) return it->second;
    Size size;
    std::vector<uint8_t> bytes;
    if (resourceId > 0 && !skinDir.empty() &&
        ReadFileBytes(skinDir + "/bitmaps/" + std::to_string(resourceId) + ".bmp", bytes) == 0 &&
        ReadBmpSize(bytes, size) != 0) {
        size = {};
    }
    bitmapCache[resourceId] = size;
    return size;
}

void HeadlessHost::StartTimer(CDialog& dialog, int controlId, int timerId, uint32_t intervalMs) {
    if (IsOpen(dialog)) timers[{&dialog, controlId, timerId}] = intervalMs;
}

void HeadlessHost::StopTimer(CDialog& dialog, int controlId, int timerId) {
    timers.erase({&dialog, controlId, timerId});
}

void HeadlessHost::PostDialogMessage(CDialog& dialog, uint32_t msg, intptr_t wParam, intptr_t lParam) {
    if (!IsOpen(dialog)) return;
    posted.push_back({&dialog, msg, wParam, lParam});
    CDialog* target = &dialog;
    std::lock_guard<std::mutex> lock(queueLock);
    queue.push_back({target, [target, msg, wParam, lParam] { target->HandleMessage(msg, wParam, lParam); }});
}

void HeadlessHost::PostToUi(CDialog& dialog, std::function<void()> work) {
    std::lock_guard<std::mutex> lock(queueLock);
    if (alive.count(&dialog) == 0) return;
    queue.push_back({&dialog, std::move(work)});
}

void HeadlessHost::SetFocus(CDialog& dialog, int id) {
    if (!IsOpen(dialog)) return;
    if (focusDialog && focusDialog != &dialog) {
        CDialog* previous = focusDialog;
        focusDialog = nullptr;
        previous->HandleFocusChanged(kFocusElsewhere);
    }
    focusDialog = &dialog;
    dialog.HandleFocusChanged(id);
}

void HeadlessHost::CaptureMouse(CDialog& dialog, int id) {
    if (!IsOpen(dialog)) return;
    capture = {&dialog, id};
    captured = true;
}

void HeadlessHost::ReleaseMouse(CDialog& dialog) {
    if (captured && capture.dialog == &dialog) captured = false;
}

bool HeadlessHost::HasCapture(const CDialog& dialog, int id) const {
    return captured && capture.dialog == &dialog && capture.id == id;
}

void HeadlessHost::TrackMouseLeave(CDialog& dialog, int id) {
    if (IsOpen(dialog)) leaveTracked.insert({&dialog, id});
}

void HeadlessHost::SetCursor(CDialog& dialog, CursorShape cursor) {
    if (WindowRecord* record = Find(dialog)) record->cursor = cursor;
}

int HeadlessHost::WatchDeviceChanges(CDialog& dialog, bool on) {
    WindowRecord* record = Find(dialog);
    if (!record) return 1;
    record->watchingDevices = on;
    return 0;
}

#include "ui/CDialog.h"

namespace {

// What BeginDraw hands out while the window does not exist: drawing goes nowhere.
class NullCanvas : public Canvas {
public:
    Size GetSize() const override { return {}; }
    void SetDrawMode(DrawMode) override {}
    void DrawLine(Point, Point, Color, int, PenStyle) override {}
    void FrameRect(const Rect&, Color) override {}
    void FillRect(const Rect&, Color) override {}
    void FillPolygon(std::span<const Point>, Color) override {}
    void DrawString(const Rect&, std::string_view, const FontSpec&, Color, unsigned) override {}
    void DrawBitmap(int, const Rect&, Point, std::optional<Color>) override {}
    Size BitmapSize(int) const override { return {}; }
    std::unique_ptr<Canvas> CreateOffscreen(Size) override { return std::make_unique<NullCanvas>(); }
    void DrawCanvas(const Canvas&, const Rect&, Point) override {}
};

const ControlState& EmptyControl() {
    static const ControlState empty;
    return empty;
}

}  // namespace

CDialog::CDialog(UiHost& uiHost, int templateId) : host(uiHost) {
    window.templateId = templateId;
}

CDialog::~CDialog() {
    if (created) host.DestroyDialogWindow(*this);
}

int CDialog::Create(CDialog* parentDialog) {
    if (created) return 0;
    parent = parentDialog;
    modal = false;
    ended = false;
    return host.CreateDialogWindow(*this, parentDialog) == 0 && created ? 0 : 1;
}

int CDialog::DoModal(CDialog* owner) {
    if (created) return kModalFailed;
    parent = owner;
    modal = true;
    ended = false;
    result = 0;
    window.visible = true;
    window.minimised = false;
    const int answer = host.RunModal(*this, owner);
    modal = false;
    return answer;
}

void CDialog::DestroyWindow() {
    if (created) host.DestroyDialogWindow(*this);
}

void CDialog::EndDialog(int endResult) {
    result = endResult;
    ended = true;
    if (modal) {
        host.EndModal(*this, endResult);
    } else if (created) {
        ShowWindow(ShowCommand::Hide);
    }
}

CWndControl& CDialog::AddControl(int id, ControlKind kind, const Rect& rect) {
    auto control = std::make_unique<CWndControl>(*this, id, kind, rect);
    CWndControl& ref = *control;
    Insert(std::move(control));
    return ref;
}

void CDialog::Insert(std::unique_ptr<CWndControl> control) {
    const int id = control->Id();
    controls[id] = std::move(control);
    if (created) host.SyncControl(*this, id);
}

const ControlState& CDialog::Control(int id) const {
    auto it = controls.find(id);
    return it == controls.end() ? EmptyControl() : it->second->State();
}

CWndControl* CDialog::FindControl(int id) {
    auto it = controls.find(id);
    return it == controls.end() ? nullptr : it->second.get();
}

std::vector<int> CDialog::ControlIds() const {
    std::vector<int> ids;
    ids.reserve(controls.size());
    for (const auto& entry : controls) ids.push_back(entry.first);
    return ids;
}

void CDialog::ModifyItem(int id, const std::function<void(ControlState&)>& change) {
    CWndControl* control = FindControl(id);
    if (!control) return;
    change(control->state);
    control->state.id = id;
    if (created) host.SyncControl(*this, id);
}

void CDialog::SetItemText(int id, std::string text) {
    ModifyItem(id, [&](ControlState& s) { s.text = std::move(text); });
}

std::string CDialog::GetItemText(int id) const {
    return Control(id).text;
}

void CDialog::ShowItem(int id, bool show) {
    ModifyItem(id, [&](ControlState& s) { s.visible = show; });
}

void CDialog::EnableItem(int id, bool enable) {
    ModifyItem(id, [&](ControlState& s) {
        s.enabled = enable;
        if (!enable) s.hover = false;
    });
}

void CDialog::MoveItem(int id, const Rect& rect) {
    ModifyItem(id, [&](ControlState& s) { s.rect = rect; });
}

void CDialog::SetItemIcons(int id, std::string normal, std::string hover, std::string disabled) {
    ModifyItem(id, [&](ControlState& s) {
        s.iconNormal = std::move(normal);
        s.iconHover = std::move(hover);
        s.iconDisabled = std::move(disabled);
    });
}

void CDialog::SetItemFont(int id, const FontSpec& font) {
    ModifyItem(id, [&](ControlState& s) { s.font = font; });
}

void CDialog::SetItemTextColor(int id, Color color) {
    ModifyItem(id, [&](ControlState& s) { s.textColor = color; });
}

void CDialog::SetItemBitmap(int id, int resourceId) {
    ModifyItem(id, [&](ControlState& s) { s.bitmap = resourceId; });
}

void CDialog::SetComboItems(int id, std::vector<std::string> items, int selection) {
    ModifyItem(id, [&](ControlState& s) {
        s.items = std::move(items);
        s.selection = -1;
        s.text.clear();
        if (selection >= 0 && size_t(selection) < s.items.size()) {
            s.selection = selection;
            s.text = s.items[size_t(selection)];
        }
    });
}

void CDialog::SetComboSelection(int id, int selection) {
    ModifyItem(id, [&](ControlState& s) {
        if (selection >= 0 && size_t(selection) < s.items.size()) {
            s.selection = selection;
            s.text = s.items[size_t(selection)];
        } else {
            s.selection = -1;
            s.text.clear();
        }
    });
}

void CDialog::Invalidate(int id) {
    if (created) host.Invalidate(*this, id);
}

void CDialog::SyncWindow() {
    if (created) host.SyncWindow(*this);
}

void CDialog::SetTitle(std::string title) {
    window.title = std::move(title);
    SyncWindow();
}

void CDialog::MoveWindow(const Rect& rect) {
    window.rect = rect;
    if (created) host.MoveWindow(*this, rect);
}

void CDialog::SetWindowSize(int width, int height) {
    MoveWindow({window.rect.left, window.rect.top, width, height});
}

void CDialog::ShowWindow(ShowCommand command) {
    switch (command) {
        case ShowCommand::Hide:
            window.visible = false;
            break;
        case ShowCommand::Show:
            window.visible = true;
            break;
        case ShowCommand::Minimise:
            window.visible = true;
            window.minimised = true;
            break;
        case ShowCommand::Restore:
            window.visible = true;
            window.minimised = false;
            break;
    }
    SyncWindow();
}

void CDialog::SetTopmost(bool topmost) {
    window.topmost = topmost;
    SyncWindow();
}

void CDialog::ActivateWindow() {
    if (created) host.ActivateWindow(*this);
}

int CDialog::SetOpacity(int percent) {
    if (!created) return 1;
    const int status = host.SetOpacity(*this, percent);
    if (status == 0) window.opacityPercent = percent < 0 ? -1 : percent;
    return status;
}

void CDialog::SetFocus(int id) {
    if (created) host.SetFocus(*this, id);
}

void CDialog::SetTimer(int timerId, uint32_t intervalMs) {
    if (created) host.StartTimer(*this, 0, timerId, intervalMs);
}

void CDialog::KillTimer(int timerId) {
    if (created) host.StopTimer(*this, 0, timerId);
}

void CDialog::PostDialogMessage(uint32_t msg, intptr_t wParam, intptr_t lParam) {
    if (created) host.PostDialogMessage(*this, msg, wParam, lParam);
}

void CDialog::PostToUi(std::function<void()> work) {
    host.PostToUi(*this, std::move(work));
}

void CDialog::CaptureMouse(int id) {
    if (created) host.CaptureMouse(*this, id);
}

void CDialog::ReleaseMouse() {
    if (created) host.ReleaseMouse(*this);
}

bool CDialog::HasCapture(int id) const {
    return created && host.HasCapture(*this, id);
}

void CDialog::SetCursor(CursorShape cursor) {
    if (created) host.SetCursor(*this, cursor);
}

std::unique_ptr<Canvas> CDialog::BeginDraw(int id) {
    if (!created) return std::make_unique<NullCanvas>();
    auto canvas = host.BeginDraw(*this, id);
    return canvas ? std::move(canvas) : std::make_unique<NullCanvas>();
}

std::unique_ptr<Canvas> CDialog::Picture() const {
    return created ? host.DialogPicture(*this) : nullptr;
}

void CDialog::HandleInitDialog() {
    created = true;
    OnInitDialog();
}

void CDialog::HandleDestroy() {
    OnDestroy();
    created = false;
    window.visible = false;
    window.focusId = 0;
    for (auto& entry : controls) {
        entry.second->state.hover = false;
        entry.second->state.slider.dragging = false;
    }
}

void CDialog::HandleCommand(int id) {
    if (id == kIdOk) {
        OnOK();
    } else if (id == kIdCancel) {
        OnCancel();
    } else {
        OnCommand(id);
    }
}

bool CDialog::HandleKey(int focusId, Key key) {
    CWndControl* control = FindControl(focusId);
    if (control && control->state.enabled && control->OnKey(key)) return true;
    // A control that asks for every key owns Enter and Escape while it has the focus, even when it
    // ignores them: they must not fall through and close the window around it.
    if (control && control->WantsAllKeys() && (key == Key::Enter || key == Key::Escape)) return true;
    if (PreTranslateKey(key)) return true;
    if (key != Key::Enter && key != Key::Escape) return false;
    // A page inside another dialog has no dialog keys of its own; they belong to the window around it.
    if (window.childStyle && parent) return parent->HandleKey(0, key);
    if (key == Key::Enter) {
        OnOK();
    } else {
        OnCancel();
    }
    return true;
}

void CDialog::HandleMouse(int controlId, const MouseEvent& event) {
    if (controlId == 0) {
        OnMouse(event);
    } else if (CWndControl* control = FindControl(controlId)) {
        control->OnMouse(event);
    }
}

void CDialog::HandleTimer(int controlId, int timerId) {
    if (controlId == 0) {
        OnTimer(timerId);
    } else if (CWndControl* control = FindControl(controlId)) {
        control->OnTimer(timerId);
    }
}

void CDialog::HandleMessage(uint32_t msg, intptr_t wParam, intptr_t lParam) {
    if (msg == kMsgSliderMoving || msg == kMsgSliderMoved) {
        OnSliderNotify(msg, int(wParam), int(lParam));
    } else {
        OnMessage(msg, wParam, lParam);
    }
}

void CDialog::HandleFocusChanged(int newFocusId) {
    const int oldFocusId = window.focusId;
    if (oldFocusId == newFocusId) return;
    window.focusId = newFocusId;
    if (CWndControl* old = FindControl(oldFocusId)) {
        old->OnKillFocus();
        if (old->state.kind == ControlKind::Edit) OnEditCommit(oldFocusId);
    }
    if (window.focusId != newFocusId) return;  // the commit moved the focus elsewhere already
    if (CWndControl* now = FindControl(newFocusId)) now->OnSetFocus();
}

void CDialog::HandleEditChanged(int id, std::string text) {
    CWndControl* control = FindControl(id);
    if (!control || control->state.text == text) return;
    control->state.text = std::move(text);
    OnEditChanged(id);
}

void CDialog::HandleSelectionChanged(int id, int index) {
    CWndControl* control = FindControl(id);
    if (!control) return;
    ControlState& s = control->state;
    if (index >= 0 && size_t(index) < s.items.size()) {
        s.selection = index;
        s.text = s.items[size_t(index)];
    } else {
        s.selection = -1;
        s.text.clear();
    }
    OnSelectionChanged(id);
}

void CDialog::HandlePaint(int controlId, Canvas& canvas) {
    if (controlId == 0) {
        OnPaint(canvas);
    } else if (CWndControl* control = FindControl(controlId)) {
        control->OnPaint(canvas);
    }
}

void CDialog::HandleDeviceChange(uint32_t event, uint32_t deviceType) {
    OnDeviceChange(event, deviceType);
}

void CDialog::HandleWindowMoved(const Rect& rect) {
    window.rect = rect;
    OnWindowMoved();
}

void CDialog::HandleClose() {
    OnClose();
}

void CDialog::OnCommand(int) {}

void CDialog::OnOK() {
    EndDialog(kIdOk);
}

void CDialog::OnCancel() {
    EndDialog(kIdCancel);
}

bool CDialog::PreTranslateKey(Key) {
    return false;
}

void CDialog::OnSliderNotify(uint32_t, int, int) {}

void CDialog::OnEditCommit(int) {}

void CDialog::OnEditChanged(int) {}

void CDialog::OnSelectionChanged(int) {}

void CDialog::OnTimer(int) {}

void CDialog::OnMouse(const MouseEvent&) {}

void CDialog::OnPaint(Canvas&) {}

void CDialog::OnMessage(uint32_t, intptr_t, intptr_t) {}

void CDialog::OnDeviceChange(uint32_t, uint32_t) {}

void CDialog::OnWindowMoved() {}

void CDialog::OnClose() {
    OnCancel();
}

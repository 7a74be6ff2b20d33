#include "win32/Win32LogonTask.h"

#include "win32/WinApi.h"
// clang-format off
#include <ole2.h>
#include <oleauto.h>
#include <sddl.h>
#include <taskschd.h>
// clang-format on

#include <string>

#include "win32/ComApartment.h"
#include "win32/Win32ProgramFolder.h"

namespace {

// {0F87369F-A4E5-4CFC-BD3E-73E6154572DD}, the scheduler's class; COM loads its server from the
// system's registration, nothing here names its library.
constexpr GUID kTaskSchedulerClass = {
    0x0f87369f, 0xa4e5, 0x4cfc, {0xbd, 0x3e, 0x73, 0xe6, 0x15, 0x45, 0x72, 0xdd}};
constexpr GUID kTaskServiceId = {
    0x2faba4c7, 0x4da9, 0x4013, {0x96, 0x97, 0x20, 0xcc, 0x3f, 0xd4, 0x0f, 0x85}};
constexpr GUID kExecActionId = {0x4c3d624d, 0xfd6b, 0x49a3, {0xb9, 0xb7, 0x09, 0xcb, 0x3c, 0xd3, 0xf0, 0x47}};
constexpr GUID kLogonTriggerId = {
    0x72dade38, 0xfae4, 0x4b3e, {0xba, 0xf4, 0x5d, 0x00, 0x9a, 0xf0, 0x2b, 0x1c}};

// The logon trigger's own interface, which the system headers of this tool chain lack.
struct LogonTriggerApi : public ITrigger {
    virtual HRESULT STDMETHODCALLTYPE get_Delay(BSTR* delay) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Delay(BSTR delay) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_UserId(BSTR* user) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_UserId(BSTR user) = 0;
};

constexpr std::wstring_view kTaskPrefix = L"CoralvaneStartUpAutoRun";

// Releases a COM interface when it goes.
template <class T>
class Com {
public:
    Com() = default;
    ~Com() {
        if (p) p->Release();
    }
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    T** Out() { return &p; }
    void** OutVoid() { return reinterpret_cast<void**>(&p); }
    T* operator->() const { return p; }
    T* Get() const { return p; }

private:
    T* p = nullptr;
};

class Bstr {
public:
    explicit Bstr(const std::wstring& text)
        : s(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~Bstr() { SysFreeString(s); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    operator BSTR() const { return s; }

private:
    BSTR s;
};

// The current user's security identifier as text, which the scheduler takes as a user id.
std::wstring CurrentUserSid() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
    std::wstring sid;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::string buffer(size, '\0');
    if (size != 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
        wchar_t* text = nullptr;
        if (ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) {
            sid = text;
            LocalFree(text);
        }
    }
    CloseHandle(token);
    return sid;
}

// The scheduler's root folder, or the status that says why there is none.
HRESULT ConnectRoot(Com<ITaskService>& service, Com<ITaskFolder>& root) {
    HRESULT hr = CoCreateInstance(kTaskSchedulerClass, nullptr, CLSCTX_INPROC_SERVER, kTaskServiceId,
                                  service.OutVoid());
    if (FAILED(hr)) return hr;
    VARIANT empty;
    VariantInit(&empty);
    hr = service->Connect(empty, empty, empty, empty);
    if (FAILED(hr)) return hr;
    const Bstr rootPath(L"\\");
    return service->GetFolder(rootPath, root.Out());
}

HRESULT DescribeTask(ITaskDefinition* task, const std::wstring& user) {
    Com<IPrincipal> principal;
    HRESULT hr = task->get_Principal(principal.Out());
    if (SUCCEEDED(hr)) hr = principal->put_LogonType(TASK_LOGON_INTERACTIVE_TOKEN);
    if (SUCCEEDED(hr)) hr = principal->put_RunLevel(TASK_RUNLEVEL_HIGHEST);
    if (SUCCEEDED(hr)) hr = principal->put_UserId(Bstr(user));
    if (FAILED(hr)) return hr;

    // The scheduler's defaults would stop the program after three days and not start it on battery.
    Com<ITaskSettings> settings;
    hr = task->get_Settings(settings.Out());
    if (SUCCEEDED(hr)) hr = settings->put_ExecutionTimeLimit(Bstr(L"PT0S"));
    if (SUCCEEDED(hr)) hr = settings->put_DisallowStartIfOnBatteries(VARIANT_FALSE);
    if (SUCCEEDED(hr)) hr = settings->put_StopIfGoingOnBatteries(VARIANT_FALSE);
    if (SUCCEEDED(hr)) hr = settings->put_MultipleInstances(TASK_INSTANCES_IGNORE_NEW);
    if (FAILED(hr)) return hr;

    Com<ITriggerCollection> triggers;
    Com<ITrigger> trigger;
    Com<LogonTriggerApi> logon;
    hr = task->get_Triggers(triggers.Out());
    if (SUCCEEDED(hr)) hr = triggers->Create(TASK_TRIGGER_LOGON, trigger.Out());
    if (SUCCEEDED(hr)) hr = trigger->QueryInterface(kLogonTriggerId, logon.OutVoid());
    if (SUCCEEDED(hr)) hr = logon->put_UserId(Bstr(user));
    if (FAILED(hr)) return hr;

    const std::filesystem::path executable = Win32ProgramFolder::ExecutablePath();
    Com<IActionCollection> actions;
    Com<IAction> action;
    Com<IExecAction> exec;
    hr = task->get_Actions(actions.Out());
    if (SUCCEEDED(hr)) hr = actions->Create(TASK_ACTION_EXEC, action.Out());
    if (SUCCEEDED(hr)) hr = action->QueryInterface(kExecActionId, exec.OutVoid());
    if (SUCCEEDED(hr)) hr = exec->put_Path(Bstr(executable.wstring()));
    if (SUCCEEDED(hr)) hr = exec->put_WorkingDirectory(Bstr(executable.parent_path().wstring()));
    return hr;
}

}  // namespace

std::wstring Win32LogonTask::TaskName() {
    wchar_t user[257] = {};
    DWORD length = 257;
    std::wstring name(kTaskPrefix);
    if (GetUserNameW(user, &length)) {
        name += L' ';
        // Characters a task name cannot hold become '_'.
        for (const wchar_t* c = user; *c; ++c) name += wcschr(L"\\/:*?\"<>|", *c) ? L'_' : *c;
    }
    return name;
}

long Win32LogonTask::Register() {
    const ComApartment apartment;
    if (!apartment.Usable()) return kUnavailable;
    Com<ITaskService> service;
    Com<ITaskFolder> root;
    if (FAILED(ConnectRoot(service, root))) return kUnavailable;
    const std::wstring user = CurrentUserSid();
    if (user.empty() || Win32ProgramFolder::ExecutablePath().empty()) return static_cast<long>(E_FAIL);

    Com<ITaskDefinition> task;
    HRESULT hr = service->NewTask(0, task.Out());
    if (SUCCEEDED(hr)) hr = DescribeTask(task.Get(), user);
    if (hr == E_NOTIMPL) return kUnavailable;
    if (FAILED(hr)) return static_cast<long>(hr);

    VARIANT empty;
    VariantInit(&empty);
    Com<IRegisteredTask> registered;
    hr = root->RegisterTaskDefinition(Bstr(TaskName()), task.Get(), TASK_CREATE_OR_UPDATE, empty, empty,
                                      TASK_LOGON_INTERACTIVE_TOKEN, empty, registered.Out());
    if (hr == E_NOTIMPL) return kUnavailable;
    return SUCCEEDED(hr) ? 0 : static_cast<long>(hr);
}

long Win32LogonTask::Delete() {
    const ComApartment apartment;
    if (!apartment.Usable()) return kUnavailable;
    Com<ITaskService> service;
    Com<ITaskFolder> root;
    if (FAILED(ConnectRoot(service, root))) return kUnavailable;
    const HRESULT hr = root->DeleteTask(Bstr(TaskName()), 0);
    if (hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) || hr == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND))
        return 0;
    return SUCCEEDED(hr) ? 0 : static_cast<long>(hr);
}

bool Win32LogonTask::Exists() {
    const ComApartment apartment;
    if (!apartment.Usable()) return false;
    Com<ITaskService> service;
    Com<ITaskFolder> root;
    if (FAILED(ConnectRoot(service, root))) return false;
    Com<IRegisteredTask> task;
    return SUCCEEDED(root->GetTask(Bstr(TaskName()), task.Out()));
}

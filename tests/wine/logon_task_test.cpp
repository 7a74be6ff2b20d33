// The logon task through the system's Task Scheduler, and the autorun store that prefers it to the
// Run value. Wine 8's scheduler connects, registers, finds and deletes tasks, but implements neither
// the logon trigger nor the principal's logon type and run level: there the store must take the
// Run value, and a task that exists under the program's name (made below with what Wine has) must
// still count as autorun and go on removal.
#include <gtest/gtest.h>

#include <initializer_list>

#include "platform/TaskAutorunStore.h"
#include "support/RunKeyEntry.h"
#include "win32/Win32AutorunStore.h"
#include "win32/Win32LogonTask.h"
#include "win32/WinApi.h"
// clang-format off
#include <ole2.h>
#include <oleauto.h>
#include <taskschd.h>
// clang-format on

namespace {

constexpr GUID kTaskSchedulerClass = {
    0x0f87369f, 0xa4e5, 0x4cfc, {0xbd, 0x3e, 0x73, 0xe6, 0x15, 0x45, 0x72, 0xdd}};
constexpr GUID kTaskServiceId = {
    0x2faba4c7, 0x4da9, 0x4013, {0x96, 0x97, 0x20, 0xcc, 0x3f, 0xd4, 0x0f, 0x85}};

// Registers a daily task under the program's task name, as another version or the system might
// have left it. Returns false when this system cannot.
bool PlantTask() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ITaskService* service = nullptr;
    ITaskFolder* root = nullptr;
    ITaskDefinition* task = nullptr;
    ITriggerCollection* triggers = nullptr;
    ITrigger* trigger = nullptr;
    IRegisteredTask* registered = nullptr;
    VARIANT empty;
    VariantInit(&empty);
    BSTR rootPath = SysAllocString(L"\\");
    BSTR name = SysAllocString(Win32LogonTask::TaskName().c_str());
    bool made = SUCCEEDED(CoCreateInstance(kTaskSchedulerClass, nullptr, CLSCTX_INPROC_SERVER, kTaskServiceId,
                                           reinterpret_cast<void**>(&service))) &&
                SUCCEEDED(service->Connect(empty, empty, empty, empty)) &&
                SUCCEEDED(service->GetFolder(rootPath, &root)) && SUCCEEDED(service->NewTask(0, &task)) &&
                SUCCEEDED(task->get_Triggers(&triggers)) &&
                SUCCEEDED(triggers->Create(TASK_TRIGGER_DAILY, &trigger)) &&
                SUCCEEDED(root->RegisterTaskDefinition(name, task, TASK_CREATE_OR_UPDATE, empty, empty,
                                                       TASK_LOGON_INTERACTIVE_TOKEN, empty, &registered));
    for (IUnknown* object :
         std::initializer_list<IUnknown*>{registered, trigger, triggers, task, root, service}) {
        if (object) object->Release();
    }
    SysFreeString(name);
    SysFreeString(rootPath);
    CoUninitialize();
    return made;
}

class LogonTaskTest : public ::testing::Test {
protected:
    void SetUp() override { store.RemoveAutorun(); }
    void TearDown() override { store.RemoveAutorun(); }

    Win32LogonTask task;
    Win32AutorunStore runValue;
    TaskAutorunStore store{task, runValue};
};

TEST_F(LogonTaskTest, SetMakesOneWorkingEntryAndRemoveTakesItAway) {
    const long taskStatus = task.Register();
    if (taskStatus == 0) {
        EXPECT_TRUE(task.Exists());
    } else {
        // Wine: no logon trigger, so no task, and nothing half-made left behind.
        EXPECT_EQ(taskStatus, LogonTask::kUnavailable);
        EXPECT_FALSE(task.Exists());
    }
    ASSERT_EQ(task.Delete(), 0);

    ASSERT_EQ(store.SetAutorun(), 0);
    const bool viaTask = task.Exists();
    const bool viaRunValue = !RunKeyEntry().empty();
    EXPECT_NE(viaTask, viaRunValue) << "exactly one entry";
    EXPECT_EQ(viaTask, taskStatus == 0);
    EXPECT_EQ(store.IsAutorunSet(), 0);

    store.RemoveAutorun();
    EXPECT_FALSE(task.Exists());
    EXPECT_EQ(RunKeyEntry(), L"");
    EXPECT_NE(store.IsAutorunSet(), 0);
}

TEST_F(LogonTaskTest, AnExistingTaskCountsAsAutorunAndRemoveDeletesItWithTheRunValue) {
    ASSERT_TRUE(PlantTask()) << "the scheduler cannot register any task here";
    ASSERT_EQ(runValue.SetAutorun(), 0);
    ASSERT_TRUE(task.Exists());

    EXPECT_EQ(store.IsAutorunSet(), 0);
    ASSERT_EQ(runValue.RemoveAutorun(), 0);
    EXPECT_EQ(store.IsAutorunSet(), 0) << "the task alone";

    ASSERT_EQ(runValue.SetAutorun(), 0);
    EXPECT_EQ(store.RemoveAutorun(), 0);
    EXPECT_FALSE(task.Exists());
    EXPECT_EQ(RunKeyEntry(), L"");
    EXPECT_EQ(task.Delete(), 0) << "deleting a missing task is no failure";
}

}  // namespace

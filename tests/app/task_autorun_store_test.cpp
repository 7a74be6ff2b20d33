#include <gtest/gtest.h>

#include "platform/TaskAutorunStore.h"

namespace {

class FakeLogonTask : public LogonTask {
public:
    long Register() override {
        ++registers;
        if (registerStatus == 0) exists = true;
        return registerStatus;
    }
    long Delete() override {
        ++deletes;
        if (!available) return kUnavailable;
        exists = false;
        return 0;
    }
    bool Exists() override { return exists; }

    bool available = true;
    bool exists = false;
    long registerStatus = 0;
    int registers = 0;
    int deletes = 0;
};

class FakeRunValue : public AutorunStore {
public:
    long SetAutorun() override {
        if (setStatus == 0) present = true;
        return setStatus;
    }
    long RemoveAutorun() override {
        if (removeStatus == 0) present = false;
        return removeStatus;
    }
    int IsAutorunSet() override { return present ? 0 : 2; }

    bool present = false;
    long setStatus = 0;
    long removeStatus = 0;
};

TEST(TaskAutorunStore, SetMakesExactlyOneEntry) {
    struct Case {
        const char* name;
        long taskStatus;
        bool runBefore;
        long runRemoveStatus;
        long result;
        bool taskAfter;
        bool runAfter;
    };
    const Case cases[] = {
        {"task made", 0, false, 0, 0, true, false},
        {"task made, an older Run value goes", 0, true, 0, 0, true, false},
        {"no scheduler: the Run value", LogonTask::kUnavailable, false, 0, 0, false, true},
        {"task refused: no fallback", 5, false, 0, 5, false, false},
        {"old Run value stays: the task goes again", 0, true, 5, 5, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeLogonTask task;
        task.registerStatus = c.taskStatus;
        FakeRunValue run;
        run.present = c.runBefore;
        run.removeStatus = c.runRemoveStatus;
        TaskAutorunStore store(task, run);

        EXPECT_EQ(store.SetAutorun(), c.result);
        EXPECT_EQ(task.exists, c.taskAfter);
        EXPECT_EQ(run.present, c.runAfter);
        EXPECT_EQ(store.IsAutorunSet() == 0, c.taskAfter || c.runAfter);
    }
}

TEST(TaskAutorunStore, EitherEntryCountsAsSetAndRemoveDeletesBoth) {
    for (bool taskThere : {false, true}) {
        for (bool runThere : {false, true}) {
            FakeLogonTask task;
            task.exists = taskThere;
            FakeRunValue run;
            run.present = runThere;
            TaskAutorunStore store(task, run);
            EXPECT_EQ(store.IsAutorunSet(), taskThere || runThere ? 0 : 2) << taskThere << runThere;
            store.RemoveAutorun();
            EXPECT_FALSE(task.exists);
            EXPECT_FALSE(run.present);
            EXPECT_EQ(store.IsAutorunSet(), 2);
        }
    }
}

TEST(TaskAutorunStore, RemoveWithoutASchedulerStillDeletesTheRunValue) {
    FakeLogonTask task;
    task.available = false;
    FakeRunValue run;
    run.present = true;
    TaskAutorunStore store(task, run);
    EXPECT_EQ(store.RemoveAutorun(), 0);
    EXPECT_FALSE(run.present);
}

}  // namespace

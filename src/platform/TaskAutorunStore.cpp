#include "platform/TaskAutorunStore.h"

long TaskAutorunStore::SetAutorun() {
    const long status = task.Register();
    if (status == LogonTask::kUnavailable) return runValue.SetAutorun();
    if (status != 0) return status;
    if (runValue.IsAutorunSet() == 0) {
        const long removed = runValue.RemoveAutorun();
        if (removed != 0) {
            task.Delete();
            return removed;
        }
    }
    return 0;
}

long TaskAutorunStore::RemoveAutorun() {
    long status = task.Delete();
    if (status == LogonTask::kUnavailable) status = 0;
    const long removed = runValue.RemoveAutorun();
    return status != 0 ? status : removed;
}

int TaskAutorunStore::IsAutorunSet() {
    return task.Exists() ? 0 : runValue.IsAutorunSet();
}

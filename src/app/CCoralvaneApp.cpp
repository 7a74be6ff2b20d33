#include "app/CCoralvaneApp.h"

#include <string>

#include "app/CMsgDlg.h"

CCoralvaneApp::CCoralvaneApp(const CoralvaneServices& given, InstanceGuard& instanceGuard)
    : services(given), guard(instanceGuard) {}

bool CCoralvaneApp::InitInstance() {
    const InstanceStatus status = guard.CreateInstanceMutex(kMutexName);
    if (status != InstanceStatus::First) {
        CMsgDlg question(services.host, CMsgDlg::kQuestion);
        question.SetText(
            std::string(status == InstanceStatus::Failed ? kInitFailedText : kAlreadyRunningText));
        const int answer = question.DoModal();
        if (status == InstanceStatus::Failed || answer != 1) return false;
    }

    if (services.loadDriver) services.queryInterface = services.loadDriver();
    CCoralvaneDlg dialog(services);
    mainWindow = &dialog;
    dialog.DoModal();
    mainWindow = nullptr;
    return false;
}

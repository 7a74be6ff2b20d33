#pragma once
#include <string_view>

#include "app/CCoralvaneDlg.h"
#include "platform/InstanceGuard.h"

// The process's application object: guards against a second running copy, then runs the main
// window modally. The process ends when that window closes.
class CCoralvaneApp {
public:
    static constexpr std::string_view kMutexName = "Coralvane MainFrame mutex";
    static constexpr std::string_view kInitFailedText = "初始化失败！";
    static constexpr std::string_view kAlreadyRunningText =
        "已经有一个Coralvane运行中，需要再打开多一个Coralvane？";

    CCoralvaneApp(const CoralvaneServices& services, InstanceGuard& guard);

    // Always false: there is no message loop of the application's own, so the process exits once
    // this returns.
    bool InitInstance();

    // The main window while it runs, else null.
    CCoralvaneDlg* MainWindow() const { return mainWindow; }

private:
    CoralvaneServices services;
    InstanceGuard& guard;
    CCoralvaneDlg* mainWindow = nullptr;
};

#pragma once
#include <memory>
#include <span>

#include "app/SidePanel.h"

class CCoralvaneDlg;

// A kind of side window: its id and how it is made from the main window, which calls `create` once
// during its initialisation (after the page panels exist) and keeps the panel. The window itself is
// created on first use.
struct SidePanelKind {
    int id;
    std::unique_ptr<SidePanel> (*create)(CCoralvaneDlg& main);
};

// Every side window of the program, one entry per kind (SidePanelKinds.cpp).
std::span<const SidePanelKind> SidePanelKinds();

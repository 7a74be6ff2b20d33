#include "app/SidePanel.h"

#include "ui/Translucency.h"

void SidePanel::ApplyStoredTranslucency() {
    const int opacity = TranslucentOpacity(transparence, transPercent);
    if (opacity >= 0) MakeTranslucent(Dialog(), opacity);
}

void SidePanel::CloseFromButton() {
    if (owner) owner->CloseSidePanel(panelId);
    Dialog().ShowWindow(ShowCommand::Hide);
}

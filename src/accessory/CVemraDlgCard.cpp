#include "accessory/CVemraDlg.h"
#include "accessory/CardAccessoryImport.h"

void CVemraDlg::SendCardFrames(const CardFrames& frames) {
    if (!cardSender) return;
    for (const CardFrame& frame : frames) cardSender(frame);
}

void CVemraDlg::SetLightingTransport(int newTransport) {
    if (newTransport == kTransportCard) {
        // The card's controller needs no reader: a USB connection still running goes.
        connection->Shutdown();
        transport = kTransportCard;
        FillAccessoryList();
        return;
    }
    transport = kTransportUsb;
    connection->SetAwaitingState(true);
    state = VemraState{};
    RefreshAllControls();
    FillAccessoryList();
}

void CVemraDlg::ImportCardLightingState(std::span<const uint8_t> status) {
    connection->SetAwaitingState(false);
    state.stateKnown = 0;
    const CardAccessoryImport imported = DecodeCardAccessoryStatus(status);
    if (imported.holdsNoSettings) {
        OnDefault();
        return;
    }
    PageFlags& idle = flags[0];
    idle.frontLit = imported.frontLit;
    idle.rearLit = imported.rearLit;
    state.idleFrontOff = imported.frontLit ? 0 : 1;
    state.idleRearOff = imported.rearLit ? 0 : 1;
    for (int page = 0; page < 2; ++page) {
        const AccessorySet& set = page == 0 ? imported.idle : imported.turbo;
        FrontMode(page) = set.frontMode;
        FrontColour(page) = set.frontColour;
        RearMode(page) = set.rearMode;
        RearColour(page) = set.rearColour;
        // A colour the page does not know still lets the user pick one; cycle keeps the palette shut.
        flags[size_t(page)].frontPaletteOpen = set.frontColour < kColourCycle;
        flags[size_t(page)].rearPaletteOpen = set.rearColour < kColourCycle;
    }
    RefreshAllControls();
}

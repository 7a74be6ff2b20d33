#include <array>
#include <string>

#include "Buttons.h"
#include "Font.h"
#include "Glyphs.h"
#include "IconSets.h"
#include "Skin.h"
#include "Style.h"

namespace skingen {

using namespace palette;

namespace {

Canvas Padlock(bool closed, bool hover) {
    Canvas c(14, 16, Rgb{}, 0.0f);
    Rgb colour = closed ? (hover ? kAccentSoft : kText) : (hover ? Lighten(kWarm, 0.35f) : kWarm);
    DrawPadlock(c, 7, 8, closed, VerticalGradient(0, Lighten(colour, 0.2f), 16, Darken(colour, 0.15f)));
    return c;
}

}  // namespace

void DrawToolIcons(Skin& skin) {
    skin.AddIcon("Setting_Check.ico", CheckBox(12, false));
    skin.AddIcon("Setting_Check_H.ico", CheckBox(12, true));
    AddLooks(skin, "Setting_Def", ".ico", "_H", false,
             [](Look look) { return TextButton(78, 24, "DEFAULT", look); });
    AddLooks(skin, "Setting_Apply", ".ico", "_H", false,
             [](Look look) { return TextButton(78, 24, "APPLY", look); });
    AddLooks(skin, "Lsc_Cancel", ".ico", "_H", false,
             [](Look look) { return TextButton(78, 24, "CANCEL", look); });
    AddLooks(skin, "Msg_Yes", ".ico", "_H", false,
             [](Look look) { return TextButton(100, 32, "OK", look, 1.5f); });
    AddLooks(skin, "Msg_No", ".ico", "_H", false,
             [](Look look) { return TextButton(100, 32, "NO", look, 1.5f); });
    AddLooks(skin, "Msg_Close", ".ico", "_H", false,
             [](Look look) { return TextButton(100, 32, "CLOSE", look, 1.5f); });
    skin.AddIcon("KeyOC.ico", CheckBox(16, false));
    skin.AddIcon("KeyOC_H.ico", CheckBox(16, true));
    AddLooks(skin, "Key_OC", ".ico", "_H", false,
             [](Look look) { return TextButton(70, 20, "1-KEY OC", look); });
    skin.AddIcon("Lock.ico", Padlock(true, false));
    skin.AddIcon("LockH.ico", Padlock(true, true));
    skin.AddIcon("UnLock.ico", Padlock(false, false));
    skin.AddIcon("UnLockH.ico", Padlock(false, true));
    AddLooks(skin, "Adv_Default", ".ico", "_H", true,
             [](Look look) { return TextButton(64, 20, "DEFAULT", look); });
    AddLooks(skin, "Adv_Apply", ".ico", "_H", true,
             [](Look look) { return TextButton(64, 20, "APPLY", look); });
    AddLooks(skin, "Bios_Save", ".ico", "_H", false,
             [](Look look) { return TextButton(110, 34, "SAVE BIOS", look, 1.5f); });
    AddLooks(skin, "Bios_Load", ".ico", "_H", false,
             [](Look look) { return TextButton(110, 34, "FLASH BIOS", look, 1.5f); });
    skin.AddIcon("Fv_On.ico", ToggleSwitch(52, 14, true, Look::Normal));
    skin.AddIcon("Fv_Off.ico", ToggleSwitch(52, 14, false, Look::Normal));
    skin.AddIcon("Vemra_Def_D.ico", TextButton(40, 12, "DEF", Look::Disabled));
    skin.AddIcon("Vemra_Apply_D.ico", TextButton(40, 12, "APPLY", Look::Disabled));
}

}  // namespace skingen

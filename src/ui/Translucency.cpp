#include "ui/Translucency.h"

#include <algorithm>

#include "ui/CDialog.h"

int MakeTranslucent(CDialog& dialog, int percent) {
    return dialog.SetOpacity(std::clamp(percent, 0, 100));
}

int RemoveTranslucency(CDialog& dialog) {
    return dialog.SetOpacity(-1);
}

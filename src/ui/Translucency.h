#pragma once

class CDialog;

// The opacity routine every skinned window shares. The host applies alpha = percent × 255 ÷ 100
// through the layered-window function it looks up at run time; a system without it gets no
// translucency and the call returns 1.
int MakeTranslucent(CDialog& dialog, int percent);
// Removes the layered style again (fully opaque).
int RemoveTranslucency(CDialog& dialog);

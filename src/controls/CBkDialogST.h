#pragma once
#include "ui/CDialog.h"

// The skinned dialog base: a tiled background bitmap, a window shaped by a bitmap, dragging by any
// point of the surface, transparent statics, and no Enter/Escape closing unless the dialog keeps
// the standard dialog keys.
class CBkDialogST : public CDialog {
public:
    CBkDialogST(UiHost& host, int templateId);

    // Background drawn on erase, tiled from the top-left corner.
    void SetBitmap(int resourceId);
    Size BackgroundSize() const { return backgroundSize; }
    void SetEasyMove(bool on);
    void SetTransparentStatics(bool on);
    // Window region: the bitmap's pixels except those of kShapeKeyColor (the host computes it with
    // ComputeShapeRuns).
    void ShapeFromBitmap(int resourceId);
    // The main window, the message dialog and the one-key dialog keep Enter and Escape.
    void SetKeepDialogKeys(bool keep) { keepDialogKeys = keep; }

protected:
    bool PreTranslateKey(Key key) override;
    // Subclasses that handle the mouse call this for the easy move.
    void OnMouse(const MouseEvent& event) override;

private:
    Size backgroundSize;
    bool keepDialogKeys = false;
};

#include "controls/CMemoryDC.h"

CMemoryDC::CMemoryDC(Canvas& targetCanvas) : CMemoryDC(targetCanvas, {}, targetCanvas.GetSize()) {}

CMemoryDC::CMemoryDC(Canvas& targetCanvas, Point at, Size size)
    : target(targetCanvas), origin(at), offscreen(targetCanvas.CreateOffscreen(size)) {
    surface = offscreen ? offscreen.get() : &target;
}

CMemoryDC::~CMemoryDC() {
    if (offscreen) target.DrawCanvas(*offscreen, origin);
}

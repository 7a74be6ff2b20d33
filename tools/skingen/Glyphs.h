#pragma once

#include "Canvas.h"

namespace skingen {

// Small pictograms shared by icons and window backgrounds, drawn around a centre point.
void DrawGear(Canvas& c, float cx, float cy, float radius, const Paint& paint, float opacity = 1.0f);
void DrawChartGlyph(Canvas& c, float cx, float cy, float size, const Paint& paint, float opacity = 1.0f);
void DrawChip(Canvas& c, float cx, float cy, float size, const Paint& paint, float opacity = 1.0f);
void DrawHelpGlyph(Canvas& c, float cx, float cy, float radius, const Paint& paint, float opacity = 1.0f);
void DrawPadlock(Canvas& c, float cx, float cy, bool closed, const Paint& paint);
void DrawChevron(Canvas& c, float cx, float cy, float size, bool up, const Paint& paint);
void DrawCross(Canvas& c, float cx, float cy, float size, const Paint& paint);
void DrawBolt(Canvas& c, float cx, float cy, float size, const Paint& paint, float opacity = 1.0f);
void DrawFanGlyph(Canvas& c, float cx, float cy, float radius, const Paint& paint, float opacity = 1.0f);
void DrawArrow(Canvas& c, float x0, float x1, float cy, float head, const Paint& paint);
void DrawTick(Canvas& c, float cx, float cy, float size, const Paint& paint);

}  // namespace skingen

#pragma once

#include <utility>
#include <vector>

#include "Canvas.h"

namespace skingen {

struct Point {
    float x = 0, y = 0;
};

Sdf RoundRect(float x, float y, float w, float h, float radius);
Sdf Circle(float cx, float cy, float radius);
Sdf Ring(float cx, float cy, float inner, float outer);
// Angles in degrees, counter-clockwise from the positive x axis with y pointing up, as on a dial.
Sdf AnnularSector(float cx, float cy, float inner, float outer, float fromDeg, float toDeg);
Sdf Capsule(Point a, Point b, float halfWidth);
Sdf ConvexPolygon(std::vector<Point> points);
// Rectangle with its corners cut: top-left, top-right, bottom-right, bottom-left.
std::vector<Point> ChamferedRect(float x, float y, float w, float h, float tl, float tr, float br, float bl);

Sdf Outline(Sdf shape, float width);
Sdf Intersect(Sdf a, Sdf b);
Sdf Unite(Sdf a, Sdf b);
Sdf Subtract(Sdf a, Sdf b);
Sdf Offset(Sdf shape, float dx, float dy);

}  // namespace skingen

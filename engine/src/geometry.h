#pragma once
// Geometric helpers shared by the game and the animation layer, and the
// word-wise memory copy.
#include <cstddef>

#include "rect.h"
#include "vector2.h"

namespace KR {

// Three corners of a rectangle-like quadrilateral: p1 and p2 are the corners
// next to p0.
struct EdgeShape {
  Vector2<float> p0;
  Vector2<float> p1;
  Vector2<float> p2;
};

float pointDistance(const Vector2<float>& a, const Vector2<float>& b);
// Direction of to - from in degrees, in [0, 360); 90 points down the screen.
float directionAngle(const Vector2<float>& from, const Vector2<float>& to);

// Fractions (u along p0->p2, v along p0->p1) of the offset d from p0.
Vector2<float> edgeProjections(const EdgeShape& shape, const Vector2<float>& d);
// Inclusive; false for every point when an edge has zero length.
bool isPointInsideEdges(const EdgeShape& shape, float x, float y);

// Forward copy: whole 32-bit words when both addresses are 4-aligned, then the
// tail bytes; byte by byte otherwise. Ranges must not overlap.
void copyMemory(void* destination, const void* source, size_t count);

}  // namespace KR

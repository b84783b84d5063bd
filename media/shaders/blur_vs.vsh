vs.1.1
// Six taps along one direction for the blur pixel shader.
// c0 - c3: the render system's transform; c4: one tap's offset in texture units.
// Inputs (game vertex format): v0 position, v2 colour, v3 texture coordinates.
def c5, -2.5f, -1.5f, -0.5f, 0.5f
def c6, 1.5f, 2.5f, 0.0f, 0.0f
m4x4 oPos, v0, c0
mov oD0, v2
mov r0, c5
mov r1, c6
mad oT0, c4, r0.x, v3
mad oT1, c4, r0.y, v3
mad oT2, c4, r0.z, v3
mad oT3, c4, r0.w, v3
mad oT4, c4, r1.x, v3
mad oT5, c4, r1.y, v3

vs.1.1
// Video frames in YUV: luminance coordinates from the sprite, chroma
// coordinates carried in the vertex colour's red and green.
// c0 - c3: the render system's transform.
// Inputs (game vertex format): v0 position, v2 colour, v3 texture coordinates.
m4x4 oPos, v0, c0
mov oT0, v3
mov oT1, v2

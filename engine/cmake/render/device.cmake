# OpenGL device layer, render system, render data and batching, design coordinates.
target_sources(kr_render PRIVATE)

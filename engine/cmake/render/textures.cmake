# Texture manager, textures, PNG, DDS and KRT image loaders.
target_sources(kr_render PRIVATE)

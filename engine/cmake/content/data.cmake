# Configuration manager, localised text, XML data reader, XML archive, Lua wrapper and Lua data files.
target_sources(kr_content PRIVATE)

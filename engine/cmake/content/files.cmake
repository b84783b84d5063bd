# File system, packed archive, zip archive, local files, per-user folder.
target_sources(kr_content PRIVATE)

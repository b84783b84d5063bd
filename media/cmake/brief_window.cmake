# The inventory strip's brief window (a minigame's or quest's task in large print).
kr_media_add(DEST krp DIR data/hud FILES ${PROJECT_SOURCE_DIR}/media/hud/brief_window.lua NAMES brief_window_ui)

#!/usr/bin/env python3
"""Counts the includes that run from a room of src/game/core/game_state/ to a room above it.

usage: room_arrows.py [ROOT] [-v]
  ROOT  a checkout of the tree (default: the tree this script is in)
  -v    lists every upward include

Rooms, top to bottom, as CONVENTIONS.md orders them. A file's room is its folder under
game_state/; the folder's own files are the hub: game.{h,cpp} at the top, the rest (its narrow
interfaces and services) at the bottom. A flat tree (before the move) is read through STEMS, the
room each file went to. Only direct `#include "core/game_state/..."` lines count, once per file.
"""
import os
import re
import sys

ORDER = ["hub", "saves", "script", "hud", "inventory_panel", "minigames", "extensions", "triggers", "sound",
         "views", "hub parts"]

STEMS = {
    "game": "hub",
    "save_game_file": "saves", "save_load_game_progress_system": "saves",
    "lua_integration": "script", "cut_scene": "script",
    "in_game_ui": "hud", "in_game_menu": "hud", "hint_panel": "hud", "hint_search": "hud", "hint_trail": "hud",
    "amulets_button": "hud", "guide_box": "hud", "locations_map": "hud",
    "notebook_ui": "hud", "notebook_records": "hud",
    "inventory": "inventory_panel", "inventory_item_factory": "inventory_panel",
    "inventory_panel_ui": "inventory_panel", "brief_panel_behaviour": "inventory_panel",
    "hos_panel_behaviour": "inventory_panel", "objects_list_panel_behaviour": "inventory_panel",
    "view_extension": "extensions", "hos_view_extension": "extensions", "hos_quest_view_extension": "extensions",
    "dialog_view_extension": "extensions", "hos_item_disapperence_effect_manager": "extensions",
    "area_trigger": "triggers", "item_trigger": "triggers", "animation_trigger": "triggers",
    "trigger_visualizer": "triggers", "scene_node_state_list": "triggers", "scene_node_tasks": "triggers",
    "view": "views", "view_stack": "views", "view_registry": "views", "view_factory": "views",
    "view_streamer": "views", "view_description": "views", "view_effect": "views", "variant_data_provider": "views",
    "transformation_controller": "views", "held_particle_effect": "views",
    "music_player": "sound", "event_sound_player": "sound",
    "game_components": "hub parts", "game_message": "hub parts", "input_state": "hub parts",
    "countdown_timer": "hub parts", "game_lua_state": "hub parts", "game_task_manager": "hub parts",
    "ui_message_manager": "hub parts",
    "game_parts": "hub parts",
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"core/game_state/([^"]+)"')


def room(rel):
    parts = rel.split("/")
    if len(parts) > 1:
        return parts[0]
    stem = os.path.splitext(parts[0])[0]
    if stem not in STEMS:
        sys.exit("room_arrows: no room for %s" % rel)
    return STEMS[stem]


def main():
    args = [a for a in sys.argv[1:] if a != "-v"]
    verbose = "-v" in sys.argv[1:]
    root = args[0] if args else os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    base = os.path.join(root, "src/game/core/game_state")
    arrows, upward = set(), []
    for folder, _, files in os.walk(base):
        for name in sorted(files):
            if not name.endswith((".h", ".cpp")):
                continue
            rel = os.path.relpath(os.path.join(folder, name), base)
            source = room(rel)
            with open(os.path.join(folder, name), encoding="utf-8") as f:
                for line in f:
                    m = INCLUDE.match(line)
                    if not m:
                        continue
                    target = room(m.group(1))
                    if target == source:
                        continue
                    arrows.add((rel, m.group(1)))
                    if ORDER.index(target) < ORDER.index(source):
                        upward.append((source, target, rel, m.group(1)))
    by_pair = {}
    for source, target, _, _ in upward:
        by_pair[(source, target)] = by_pair.get((source, target), 0) + 1
    print("includes between rooms: %d, upward: %d" % (len(arrows), len(upward)))
    for (source, target), n in sorted(by_pair.items(), key=lambda kv: (ORDER.index(kv[0][0]), ORDER.index(kv[0][1]))):
        print("  %-15s -> %-15s %d" % (source, target, n))
    if verbose:
        for source, target, rel, inc in sorted(upward):
            print("    %s -> %s" % (rel, inc))
    includers = []
    for folder, _, files in os.walk(os.path.join(root, "src")):
        for name in files:
            if name.endswith((".h", ".cpp")):
                with open(os.path.join(folder, name), encoding="utf-8") as f:
                    if '#include "core/game_state/game.h"' in f.read():
                        includers.append(os.path.relpath(os.path.join(folder, name), root))
    print("files under src/ including core/game_state/game.h: %d" % len(includers))
    if verbose:
        for path in sorted(includers):
            print("    " + path)


if __name__ == "__main__":
    main()

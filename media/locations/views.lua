-- The demo level script: the locations' hooks report themselves; the story's
-- steps write the diary's records into the notebook.
function __Generated_L1_onDeactivate() print("hook: hall left") end
function __Generated_L2_onActivate() print("hook: garden shown") end
function __Generated_L2_onDeactivate() print("hook: garden left") end
function __Generated_L3_onActivate() print("hook: desk opened") end
function __Generated_L3_onDeactivate() print("hook: desk closed") end
function __Generated_L2AT1_onObjectToken() print("hook: stone taken") end
function __Generated_L2AT1_onObjectDropped() print("hook: stone dropped") end
function __Generated_L2AT2_onActionDone()
  print("hook: the well gives gem_blue")
  gGame.pushNotebookRecord("diary", "gems")
end
function __Generated_L2AT3_onActionDone() print("hook: the chest opens") end
function __Generated_L3AT1_onActionDone()
  print("hook: key taken")
  gGame.pushNotebookRecord("diary", "key")
end

-- The hall greets the player once and lights its lamp; the lamp stays lit
-- (the scene-node state outlives the visit and saved games).
function __Generated_L1_onActivate()
  print("hook: hall shown")
  if gGame.getViewState(1, 0) == 0 then
    gGame.setViewState(1, 0, 1)
    gUIMessageManager.showMessage("HALL_GREETING", 3)
    gScene.setNodeEnable(1, "lamp_light", true)
    gProfile.enableAmuletsBtn(false)
    gGame.pushNotebookRecord("diary", "arrival")
  end
end

-- The profile's first hint: a word on the button that charges.
function onHintFirstClick()
  print("hook: first hint")
  gUIMessageManager.showMessage("HINT_FIRST", 4)
end

-- The desk's drawer opens (animation trigger 2, which enables the key).
function __Generated_L3AT2_onAnimationPlayed() print("hook: the drawer opens") end

-- The shed: every item found reports itself; the finish gives the green gem,
-- brings the map button out (its appearance opens the map) and plays the
-- shed's cut scene. A searched shed reports its finish again each time it
-- opens, a continued game too: only the first report counts.
function __Generated_L4_onActivate() print("hook: shed shown") end
for id = 1, 9 do
  _G["__Generated_L4AT" .. id .. "_onActionDone"] = function() print("hook: shed item " .. id .. " found") end
end
function __GeneratedL4_onViewExtensionFinished()
  if gGame.getViewState(4, 0) ~= 0 then return end
  print("hook: the shed is searched")
  gGame.setViewState(4, 0, 1)
  gInventory.addItem("gem_green")
  gProfile.enableLocationsMapBtn()
  gGame.pushNotebookRecord("diary", "shed")
  gGame.playCutScene(1, "cutscene_shed_xml")
end

-- The gardener talks: his hand ends the action stage of "talk01".
function __Generated_L5_onActivate() print("hook: the gardener talks") end
function __Generated_L5AT1_onClick()
  print("hook: the gardener's hand")
  gDialog.nextStage()
end

-- The hall's altar takes a gem of the full group (the view refuses an
-- incomplete one) and gives the amulet; the casket comes out and the
-- amulet's totem plays, after which the amulets open.
function __Generated_L1AT3_onInventoryItemApplied(item)
  if item ~= "gem_red" and item ~= "gem_green" and item ~= "gem_blue" then return 0 end
  print("hook: the altar takes the gems")
  gInventory.removeItem("gems")
  gInventory.addItem("amulet")
  gProfile.enableAmuletsBtn(true)
  gGame.setAmuletScenePlay("totem_amulet", true)
  gGame.pushNotebookRecord("diary", "amulet")
  return 1
end
function __Generated_L1AT3_canInteractHandlerScript() return gInventory.isItemPresent("gems") and 1 or 0 end

-- The amulet placed among the amulets plays the finale and ends the game.
function __Generated_L6AT1_onInventoryItemApplied(item)
  if item ~= "amulet" then return 0 end
  print("hook: the amulet is placed")
  gInventory.removeItem("amulet")
  gScene.setNodeEnable(6, "amulet_placed", true)
  gScene.setNodeEnable(6, "title", false)
  gScene.setNodeEnable(6, "title_whole", true)
  gGame.playCutScene(6, "finale_xml")
  gGame.endGame()
  return 1
end
-- The empty holder is the next step while the amulet is held: the hint points at it.
function __Generated_L6AT1_canInteractHandlerScript() return gInventory.isItemPresent("amulet") and 1 or 0 end
function __Generated_L6AT1_getApplicableItemNameScript() return "amulet" end

-- The puzzle gallery: every puzzle's finish hook counts its calls (the
-- replays read galleryFinished), marks its plaque in the gallery (view 10)
-- and shows the solved banner in its close-up (where the puzzle's own finish
-- banner already stands). The
-- node states go into the saved game: after a load a finished puzzle starts
-- from its first arrangement, but its plaque and banner still say solved.
galleryFinished = {}
galleryPlaques = { [11] = "bqueue", [12] = "buttons", [13] = "color", [14] = "link", [15] = "bqueue_locked",
  [16] = "circle", [17] = "comb_slider", [18] = "key", [19] = "r_paires", [20] = "slider", [21] = "chains",
  [22] = "paires", [23] = "patnashki", [24] = "rightzone", [25] = "superswap", [26] = "swaptype",
  [27] = "swapgroups", [28] = "rpuzzle", [29] = "telescope", [30] = "combpuzzle", [31] = "queue",
  [32] = "rotation", [33] = "rightplace", [34] = "jigsaw", [35] = "jigsaw_swap" }
function galleryPuzzleFinished(id)
  galleryFinished[id] = (galleryFinished[id] or 0) + 1
  -- The linked dials report their finish on every frame from then on: only the first report counts.
  if galleryFinished[id] > 1 then return end
  print("hook: puzzle " .. id .. " finished")
  gScene.setNodeEnable(10, "solved_" .. galleryPlaques[id], true)
  gScene.setNodeEnable(id, "solved_sign", true)
end
function __GeneratedL11_onViewExtensionFinished() galleryPuzzleFinished(11) end
function __GeneratedL12_onViewExtensionFinished() galleryPuzzleFinished(12) end
function __GeneratedL13_onViewExtensionFinished() galleryPuzzleFinished(13) end
function __GeneratedL14_onViewExtensionFinished() galleryPuzzleFinished(14) end
function __GeneratedL15_onViewExtensionFinished() galleryPuzzleFinished(15) end
function __GeneratedL16_onViewExtensionFinished() galleryPuzzleFinished(16) end
function __GeneratedL17_onViewExtensionFinished() galleryPuzzleFinished(17) end
function __GeneratedL18_onViewExtensionFinished() galleryPuzzleFinished(18) end
function __GeneratedL19_onViewExtensionFinished() galleryPuzzleFinished(19) end
function __GeneratedL20_onViewExtensionFinished() galleryPuzzleFinished(20) end
-- The pick-and-swap puzzles.
function __GeneratedL21_onViewExtensionFinished() galleryPuzzleFinished(21) end
function __GeneratedL22_onViewExtensionFinished() galleryPuzzleFinished(22) end
function __GeneratedL23_onViewExtensionFinished() galleryPuzzleFinished(23) end
function __GeneratedL24_onViewExtensionFinished() galleryPuzzleFinished(24) end
function __GeneratedL25_onViewExtensionFinished() galleryPuzzleFinished(25) end
function __GeneratedL26_onViewExtensionFinished() galleryPuzzleFinished(26) end
function __GeneratedL27_onViewExtensionFinished() galleryPuzzleFinished(27) end
-- The drag, chain and path puzzles.
function __GeneratedL28_onViewExtensionFinished() galleryPuzzleFinished(28) end
function __GeneratedL29_onViewExtensionFinished() galleryPuzzleFinished(29) end
function __GeneratedL30_onViewExtensionFinished() galleryPuzzleFinished(30) end
function __GeneratedL31_onViewExtensionFinished() galleryPuzzleFinished(31) end
function __GeneratedL32_onViewExtensionFinished() galleryPuzzleFinished(32) end
function __GeneratedL33_onViewExtensionFinished() galleryPuzzleFinished(33) end
function __GeneratedL34_onViewExtensionFinished() galleryPuzzleFinished(34) end
function __GeneratedL35_onViewExtensionFinished() galleryPuzzleFinished(35) end
-- The locked ordered buttons take clicks once their lever is pulled: the
-- lever goes down and its note, which said to pull it, goes.
function __Generated_L15AT2_onClick()
  print("hook: the lever releases the buttons")
  gGame.setViewExtensionSuspended(15, false)
  gScene.setNodeEnable(15, "bq_lever_up", false)
  gScene.setNodeEnable(15, "bq_lever_down", true)
  gScene.setNodeEnable(15, "bq_lever_note", false)
end

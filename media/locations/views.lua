-- The demo level script: the locations' hooks report themselves.
function __Generated_L1_onActivate() print("hook: hall shown") end
function __Generated_L1_onDeactivate() print("hook: hall left") end
function __Generated_L2_onActivate() print("hook: garden shown") end
function __Generated_L2_onDeactivate() print("hook: garden left") end
function __Generated_L3_onActivate() print("hook: desk opened") end
function __Generated_L3_onDeactivate() print("hook: desk closed") end
function __Generated_L2AT1_onObjectToken() print("hook: stone taken") end
function __Generated_L2AT1_onObjectDropped() print("hook: stone dropped") end
function __Generated_L2AT2_onActionDone() print("hook: the well gives gem_blue") end
function __Generated_L2AT3_onActionDone() print("hook: the chest opens") end
function __Generated_L3AT1_onActionDone() print("hook: key taken") end

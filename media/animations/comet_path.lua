-- The comet's path: a loop around the right-hand slot of the particle page,
-- in design pixels. Effects load it with an empty table name and bind "pos"
-- to their position; the effect file asks for it to loop. Each frame glides
-- to the next; the last one closes the loop and takes no time.

Animation = {
  loop = 1,
  speedCoef = 1.0,
  Frames = {
    { duration = 0.25, pos = { 975.0, 330.0 } },
    { duration = 0.25, pos = { 967.8, 375.9 } },
    { duration = 0.25, pos = { 947.2, 414.9 } },
    { duration = 0.25, pos = { 916.4, 440.9 } },
    { duration = 0.25, pos = { 880.0, 450.0 } },
    { duration = 0.25, pos = { 843.6, 440.9 } },
    { duration = 0.25, pos = { 812.8, 414.9 } },
    { duration = 0.25, pos = { 792.2, 375.9 } },
    { duration = 0.25, pos = { 785.0, 330.0 } },
    { duration = 0.25, pos = { 792.2, 284.1 } },
    { duration = 0.25, pos = { 812.8, 245.1 } },
    { duration = 0.25, pos = { 843.6, 219.1 } },
    { duration = 0.25, pos = { 880.0, 210.0 } },
    { duration = 0.25, pos = { 916.4, 219.1 } },
    { duration = 0.25, pos = { 947.2, 245.1 } },
    { duration = 0.25, pos = { 967.8, 284.1 } },
    { duration = 0.0, pos = { 975.0, 330.0 } },
  },
}

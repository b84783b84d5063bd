-- Inventory icons of the demo items (64 x 64 pictures from the image maker).
key = { Image0 = "icon_key", SrcRect0 = {0, 0, 64, 64}, Size = {64, 64} }
gems = { Image0 = "icon_gems", SrcRect0 = {0, 0, 64, 64}, Size = {64, 64} }
gem_red = { Image0 = "icon_gem_red", SrcRect0 = {0, 0, 64, 64}, Size = {64, 64} }
gem_green = { Image0 = "icon_gem_green", SrcRect0 = {0, 0, 64, 64}, Size = {64, 64} }
gem_blue = { Image0 = "icon_gem_blue", SrcRect0 = {0, 0, 64, 64}, Size = {64, 64} }
amulet = { Image0 = "icon_amulet", SrcRect0 = {0, 0, 64, 64}, Size = {64, 64} }

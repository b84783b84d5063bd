-- Package "default": resources shared by every language.
name = "default"
filelist = {
  { name = "config", filename = "/config.lua" },
}

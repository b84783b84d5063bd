-- Start-up configuration: the platforms, the one in use and the language.
config = {
  platforms = {
    {
      name = "pc",
      -- Package lists of these directories in filelist.lua are read, in order.
      directories = { "common" },
      resolution = { 1680, 1050 },
      fullscreenFitType = 0,
      fullscreenMinimalAspect = 1.33,
    },
  },
  currentPlatform = "pc",
  currentLanguage = "en",
}

# Shader programs in Direct3D 8 assembler text, loaded by name from package
# "default": the game's grey and blur effects and the video's colour conversion.
set(KR_SHADER_SOURCES ${CMAKE_CURRENT_LIST_DIR}/../shaders)
kr_media_add(DEST krp DIR data/shaders
             FILES ${KR_SHADER_SOURCES}/grayscale_ps.psh ${KR_SHADER_SOURCES}/blur_ps.psh
                   ${KR_SHADER_SOURCES}/blur_vs.vsh ${KR_SHADER_SOURCES}/yuv2rgb_vs.vsh
                   ${KR_SHADER_SOURCES}/yuv2rgb_ps.psh
             NAMES grayscale_ps blur_ps blur_vs yuv2rgb_vs yuv2rgb_ps)

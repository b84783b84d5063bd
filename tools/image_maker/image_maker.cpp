#include "image_maker.h"

#include <cstdio>

#include <png.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstring>
#include <functional>

namespace KR {
namespace Tools {

namespace {

struct PngWriteContext {
  std::vector<uint8_t>* file;
  std::string* error;
};

void pngWrite(png_structp png, png_bytep bytes, png_size_t length) {
  auto* context = static_cast<PngWriteContext*>(png_get_io_ptr(png));
  context->file->insert(context->file->end(), bytes, bytes + length);
}

void pngFlush(png_structp) {}

void pngError(png_structp png, png_const_charp message) {
  auto* context = static_cast<PngWriteContext*>(png_get_error_ptr(png));
  *context->error = message ? message : "libpng error";
  png_longjmp(png, 1);
}

void pngWarning(png_structp, png_const_charp) {}

int channelsOf(int colorType) {
  switch (colorType) {
    case PNG_COLOR_TYPE_GRAY:
    case PNG_COLOR_TYPE_PALETTE: return 1;
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB: return 3;
    default: return 4;
  }
}

void putLE32(std::vector<uint8_t>& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

uint16_t to565(const uint8_t* rgb) {
  return static_cast<uint16_t>((rgb[0] >> 3) << 11 | (rgb[1] >> 2) << 5 | (rgb[2] >> 3));
}

void from565(uint16_t c, uint8_t* rgb) {
  uint8_t r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
  rgb[0] = static_cast<uint8_t>(r << 3 | r >> 2);
  rgb[1] = static_cast<uint8_t>(g << 2 | g >> 4);
  rgb[2] = static_cast<uint8_t>(b << 3 | b >> 2);
}

// The eight alpha values of a DXT5 block with a0 > a1 (or all a0 when equal).
void alphaPalette(uint8_t a0, uint8_t a1, uint8_t* values) {
  values[0] = a0;
  values[1] = a1;
  if (a0 > a1) {
    for (int i = 1; i <= 6; ++i) values[1 + i] = static_cast<uint8_t>(((7 - i) * a0 + i * a1) / 7);
  } else {
    for (int i = 1; i <= 4; ++i) values[1 + i] = static_cast<uint8_t>(((5 - i) * a0 + i * a1) / 5);
    values[6] = 0;
    values[7] = 255;
  }
}

// The four colours of a DXT5 colour block (always the four-colour mode).
void colourPalette(uint16_t c0, uint16_t c1, uint8_t colours[4][3]) {
  from565(c0, colours[0]);
  from565(c1, colours[1]);
  for (int k = 0; k < 3; ++k) {
    colours[2][k] = static_cast<uint8_t>((2 * colours[0][k] + colours[1][k]) / 3);
    colours[3][k] = static_cast<uint8_t>((colours[0][k] + 2 * colours[1][k]) / 3);
  }
}

void encodeBlock(const uint8_t pixels[16][4], uint8_t* block) {
  uint8_t aMax = 0, aMin = 255;
  uint8_t lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
  for (int i = 0; i < 16; ++i) {
    aMax = std::max(aMax, pixels[i][3]);
    aMin = std::min(aMin, pixels[i][3]);
    for (int k = 0; k < 3; ++k) {
      lo[k] = std::min(lo[k], pixels[i][k]);
      hi[k] = std::max(hi[k], pixels[i][k]);
    }
  }
  // Alpha: a0 > a1 selects the eight-value mode.
  uint8_t alphas[8];
  alphaPalette(aMax, aMin, alphas);
  block[0] = aMax;
  block[1] = aMin;
  uint64_t alphaBits = 0;
  for (int i = 0; i < 16; ++i) {
    int best = 0;
    for (int j = 1; j < 8 && aMax != aMin; ++j)
      if (std::abs(alphas[j] - pixels[i][3]) < std::abs(alphas[best] - pixels[i][3])) best = j;
    alphaBits |= static_cast<uint64_t>(best) << (3 * i);
  }
  for (int i = 0; i < 6; ++i) block[2 + i] = static_cast<uint8_t>(alphaBits >> (8 * i));

  uint16_t c0 = to565(hi), c1 = to565(lo);
  uint8_t colours[4][3];
  colourPalette(c0, c1, colours);
  uint32_t colourBits = 0;
  for (int i = 0; i < 16 && c0 != c1; ++i) {
    int best = 0, bestDistance = 1 << 30;
    for (int j = 0; j < 4; ++j) {
      int distance = 0;
      for (int k = 0; k < 3; ++k) distance += (colours[j][k] - pixels[i][k]) * (colours[j][k] - pixels[i][k]);
      if (distance < bestDistance) best = j, bestDistance = distance;
    }
    colourBits |= static_cast<uint32_t>(best) << (2 * i);
  }
  block[8] = static_cast<uint8_t>(c0);
  block[9] = static_cast<uint8_t>(c0 >> 8);
  block[10] = static_cast<uint8_t>(c1);
  block[11] = static_cast<uint8_t>(c1 >> 8);
  for (int i = 0; i < 4; ++i) block[12 + i] = static_cast<uint8_t>(colourBits >> (8 * i));
}

bool writeNamed(const std::string& folder, const std::string& name, const std::vector<uint8_t>& bytes,
                std::string& error) {
  return writeFileBytes(folder + "/" + name, bytes, error);
}

// Packs one sample of the given depth into a row (MSB first, as PNG stores).
void putSample(std::vector<uint8_t>& row, uint32_t index, int depth, uint32_t value) {
  if (depth == 16) {
    row[index * 2] = static_cast<uint8_t>(value >> 8);
    row[index * 2 + 1] = static_cast<uint8_t>(value);
  } else if (depth == 8) {
    row[index] = static_cast<uint8_t>(value);
  } else {
    const uint32_t perByte = 8 / depth;
    const uint32_t shift = 8 - depth * (1 + index % perByte);
    row[index / perByte] |= static_cast<uint8_t>((value & ((1u << depth) - 1)) << shift);
  }
}

// The libpng part of encodePng, apart so that its error jump crosses plain
// data only.
__attribute__((noinline)) bool writePngStream(PngWriteContext& context, const PngDescription& d, png_bytep* rows,
                                              png_color* palette, int paletteCount, png_color_16 transparent) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &context, pngError, pngWarning);
  if (!png) {
    *context.error = "cannot create the PNG write structure";
    return false;
  }
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    *context.error = "cannot create the PNG information structure";
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &context, pngWrite, pngFlush);
  png_set_IHDR(png, info, d.width, d.height, d.bitDepth, d.colorType,
               d.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (d.colorType == PNG_COLOR_TYPE_PALETTE) {
    png_set_PLTE(png, info, palette, paletteCount);
    if (!d.paletteAlpha.empty())
      png_set_tRNS(png, info, d.paletteAlpha.data(), static_cast<int>(d.paletteAlpha.size()), nullptr);
  } else if (d.hasTransparentColor) {
    png_set_tRNS(png, info, nullptr, 0, &transparent);
  }
  png_write_info(png, info);
  if (d.interlaced) png_set_interlace_handling(png);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

size_t pngRowBytes(const PngDescription& d) {
  return (static_cast<size_t>(d.width) * channelsOf(d.colorType) * d.bitDepth + 7) / 8;
}

bool encodePng(const PngDescription& d, std::vector<uint8_t>& file, std::string& error) {
  file.clear();
  const size_t rowBytes = pngRowBytes(d);
  if (d.rows.size() != rowBytes * d.height) {
    error = "row data does not match the size";
    return false;
  }
  std::vector<png_bytep> rowPointers(d.height);
  for (uint32_t y = 0; y < d.height; ++y) rowPointers[y] = const_cast<png_bytep>(&d.rows[rowBytes * y]);
  std::vector<png_color> palette(d.paletteRgb.size() / 3);
  for (size_t i = 0; i < palette.size(); ++i)
    palette[i] = png_color{d.paletteRgb[i * 3], d.paletteRgb[i * 3 + 1], d.paletteRgb[i * 3 + 2]};
  png_color_16 transparent{};
  transparent.gray = d.transparentColor[0];
  transparent.red = d.transparentColor[0];
  transparent.green = d.transparentColor[1];
  transparent.blue = d.transparentColor[2];

  PngWriteContext context{&file, &error};
  return writePngStream(context, d, rowPointers.data(), palette.data(), static_cast<int>(palette.size()), transparent);
}

bool writePngRgba(const RgbaPicture& picture, const std::string& folder, const std::string& name, std::string& error) {
  std::vector<uint8_t> file;
  if (!encodePngRgba(picture, file, error)) return false;
  const std::string path = folder + "/" + name + ".png";
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out || std::fwrite(file.data(), 1, file.size(), out) != file.size()) {
    if (out) std::fclose(out);
    error = "cannot write " + path;
    return false;
  }
  std::fclose(out);
  return true;
}

bool encodePngRgba(const RgbaPicture& picture, std::vector<uint8_t>& file, std::string& error) {
  PngDescription d;
  d.width = picture.width;
  d.height = picture.height;
  d.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
  d.bitDepth = 8;
  d.rows = picture.pixels;
  return encodePng(d, file, error);
}

std::vector<uint8_t> encodeDxt5(const RgbaPicture& picture) {
  std::vector<uint8_t> blocks;
  const uint32_t w = picture.width, h = picture.height;
  for (uint32_t by = 0; by < (h + 3) / 4; ++by)
    for (uint32_t bx = 0; bx < (w + 3) / 4; ++bx) {
      uint8_t pixels[16][4];
      for (uint32_t i = 0; i < 16; ++i) {
        const uint32_t x = std::min(bx * 4 + i % 4, w - 1);
        const uint32_t y = std::min(by * 4 + i / 4, h - 1);
        std::memcpy(pixels[i], &picture.pixels[(static_cast<size_t>(y) * w + x) * 4], 4);
      }
      uint8_t block[16];
      encodeBlock(pixels, block);
      blocks.insert(blocks.end(), block, block + 16);
    }
  return blocks;
}

RgbaPicture decodeDxt5(const uint8_t* blocks, uint32_t w, uint32_t h) {
  RgbaPicture picture;
  picture.width = w;
  picture.height = h;
  picture.pixels.assign(static_cast<size_t>(w) * h * 4, 0);
  for (uint32_t by = 0; by < (h + 3) / 4; ++by)
    for (uint32_t bx = 0; bx < (w + 3) / 4; ++bx, blocks += 16) {
      uint8_t alphas[8];
      alphaPalette(blocks[0], blocks[1], alphas);
      uint64_t alphaBits = 0;
      for (int i = 0; i < 6; ++i) alphaBits |= static_cast<uint64_t>(blocks[2 + i]) << (8 * i);
      uint8_t colours[4][3];
      colourPalette(static_cast<uint16_t>(blocks[8] | blocks[9] << 8),
                    static_cast<uint16_t>(blocks[10] | blocks[11] << 8), colours);
      uint32_t colourBits = blocks[12] | blocks[13] << 8 | blocks[14] << 16 | static_cast<uint32_t>(blocks[15]) << 24;
      for (uint32_t i = 0; i < 16; ++i) {
        const uint32_t x = bx * 4 + i % 4, y = by * 4 + i / 4;
        if (x >= w || y >= h) continue;
        uint8_t* out = &picture.pixels[(static_cast<size_t>(y) * w + x) * 4];
        std::memcpy(out, colours[(colourBits >> (2 * i)) & 3], 3);
        out[3] = alphas[(alphaBits >> (3 * i)) & 7];
      }
    }
  return picture;
}

std::vector<uint8_t> encodeDds(uint32_t width, uint32_t height, const std::string& fourCC,
                               const std::vector<uint8_t>& data, uint32_t mipCount, bool paletteFlags) {
  std::vector<uint8_t> file = {'D', 'D', 'S', ' '};
  const uint32_t flags = 0x1 | 0x2 | 0x4 | 0x1000 | 0x80000 | (mipCount > 1 ? 0x20000 : 0);
  putLE32(file, 124);
  putLE32(file, flags);
  putLE32(file, height);
  putLE32(file, width);
  putLE32(file, static_cast<uint32_t>(((width + 3) / 4) * ((height + 3) / 4) * 16));
  putLE32(file, 0);  // depth
  putLE32(file, mipCount);
  for (int i = 0; i < 11; ++i) putLE32(file, 0);
  // Pixel format.
  putLE32(file, 32);
  putLE32(file, paletteFlags ? 0x20 : 0x4);
  char code[4] = {0, 0, 0, 0};
  if (!paletteFlags) std::memcpy(code, fourCC.data(), std::min<size_t>(4, fourCC.size()));
  file.insert(file.end(), code, code + 4);
  putLE32(file, paletteFlags ? 8 : 0);
  for (int i = 0; i < 4; ++i) putLE32(file, 0);
  putLE32(file, 0x1000 | (mipCount > 1 ? 0x400008 : 0));
  for (int i = 0; i < 4; ++i) putLE32(file, 0);
  file.insert(file.end(), data.begin(), data.end());
  return file;
}

RgbaPicture makeDemoPicture(uint32_t width, uint32_t height, uint32_t seed) {
  RgbaPicture picture;
  picture.width = width;
  picture.height = height;
  picture.pixels.resize(static_cast<size_t>(width) * height * 4);
  const float cx = (width - 1) * 0.5f, cy = (height - 1) * 0.5f;
  const float radius = std::max(1.0f, std::min(width, height) * 0.5f);
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = 0; x < width; ++x) {
      uint8_t* p = &picture.pixels[(static_cast<size_t>(y) * width + x) * 4];
      const uint8_t checker = ((x / 8 + y / 8 + seed) & 1) ? 200 : 60;
      const uint8_t across = static_cast<uint8_t>(width > 1 ? x * 255 / (width - 1) : 0);
      const uint8_t down = static_cast<uint8_t>(height > 1 ? y * 255 / (height - 1) : 0);
      const uint8_t channels[3] = {across, down, checker};
      for (int k = 0; k < 3; ++k) p[k] = channels[(k + seed) % 3];
      const float distance = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy)) / radius;
      const float alpha = std::clamp((1.0f - distance) * 3.0f, 0.0f, 1.0f);
      p[3] = static_cast<uint8_t>(alpha * 255.0f + 0.5f);
    }
  return picture;
}

namespace {

// A description of the picture in the given colour type and depth; palette
// pictures take a ramp of 2^depth colours with a fading alpha.
PngDescription describe(const RgbaPicture& picture, int colorType, int depth) {
  PngDescription d;
  d.width = picture.width;
  d.height = picture.height;
  d.colorType = colorType;
  d.bitDepth = depth;
  const int channels = channelsOf(colorType);
  const size_t rowBytes = pngRowBytes(d);
  d.rows.assign(rowBytes * d.height, 0);
  const uint32_t maxValue = (1u << depth) - 1;
  if (colorType == PNG_COLOR_TYPE_PALETTE) {
    for (uint32_t i = 0; i <= maxValue; ++i) {
      d.paletteRgb.push_back(static_cast<uint8_t>(i * 255 / maxValue));
      d.paletteRgb.push_back(static_cast<uint8_t>(255 - i * 255 / maxValue));
      d.paletteRgb.push_back(static_cast<uint8_t>(128 + i * 127 / maxValue));
      d.paletteAlpha.push_back(static_cast<uint8_t>(255 - i * 128 / maxValue));
    }
  }
  for (uint32_t y = 0; y < d.height; ++y) {
    std::vector<uint8_t> row(rowBytes, 0);
    for (uint32_t x = 0; x < d.width; ++x) {
      const uint8_t* p = &picture.pixels[(static_cast<size_t>(y) * d.width + x) * 4];
      const uint32_t luma = (p[0] * 77u + p[1] * 150u + p[2] * 29u) >> 8;
      uint32_t samples[4] = {p[0], p[1], p[2], p[3]};
      if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        samples[0] = luma;
        samples[1] = p[3];
      }
      for (int c = 0; c < channels; ++c) {
        uint32_t value = samples[c];
        if (colorType == PNG_COLOR_TYPE_PALETTE)
          value = (x + y) % (maxValue + 1);
        else if (depth == 16)
          value = value * 257 + (x & 0xFF) % 3;  // low bytes that the 8-bit strip drops
        else if (depth < 8)
          value = value >> (8 - depth);
        putSample(row, x * channels + c, depth, value);
      }
    }
    std::copy(row.begin(), row.end(), d.rows.begin() + rowBytes * y);
  }
  return d;
}

bool writePng(const std::string& folder, const std::string& name, const PngDescription& d, std::string& error) {
  std::vector<uint8_t> file;
  return encodePng(d, file, error) && writeNamed(folder, name, file, error);
}

}  // namespace

bool writeDemoImages(const std::string& folder, std::string& error) {
  const RgbaPicture wide = makeDemoPicture(128, 64, 0);
  const RgbaPicture square = makeDemoPicture(64, 64, 1);
  const RgbaPicture other = makeDemoPicture(64, 64, 2);
  if (!writePng(folder, "demo_rgb.png", describe(wide, PNG_COLOR_TYPE_RGB, 8), error)) return false;
  if (!writePng(folder, "demo_rgba.png", describe(square, PNG_COLOR_TYPE_RGB_ALPHA, 8), error)) return false;
  if (!writePng(folder, "demo_grey.png", describe(other, PNG_COLOR_TYPE_GRAY, 8), error)) return false;
  if (!writePng(folder, "demo_palette.png", describe(square, PNG_COLOR_TYPE_PALETTE, 4), error)) return false;
  if (!writeNamed(folder, "demo_dxt5.dds", encodeDds(64, 64, "DXT5", encodeDxt5(other)), error)) return false;
  // The KRT demo picture is made from this PNG by the KRT writer.
  std::vector<uint8_t> source;
  return encodePngRgba(makeDemoPicture(64, 32, 2), source, error) &&
         writeNamed(folder, "demo_krt_source.png", source, error);
}

bool writeSeedCorpus(const std::string& kind, const std::string& folder, std::string& error) {
  const RgbaPicture small = makeDemoPicture(13, 7, 0);
  if (kind == "png") {
    struct Variant {
      const char* name;
      int colorType;
      int depth;
    };
    const Variant variants[] = {
        {"grey1.png", PNG_COLOR_TYPE_GRAY, 1},
        {"grey2.png", PNG_COLOR_TYPE_GRAY, 2},
        {"grey4.png", PNG_COLOR_TYPE_GRAY, 4},
        {"grey8.png", PNG_COLOR_TYPE_GRAY, 8},
        {"grey16.png", PNG_COLOR_TYPE_GRAY, 16},
        {"greyalpha8.png", PNG_COLOR_TYPE_GRAY_ALPHA, 8},
        {"greyalpha16.png", PNG_COLOR_TYPE_GRAY_ALPHA, 16},
        {"rgb8.png", PNG_COLOR_TYPE_RGB, 8},
        {"rgb16.png", PNG_COLOR_TYPE_RGB, 16},
        {"rgba8.png", PNG_COLOR_TYPE_RGB_ALPHA, 8},
        {"rgba16.png", PNG_COLOR_TYPE_RGB_ALPHA, 16},
        {"palette1.png", PNG_COLOR_TYPE_PALETTE, 1},
        {"palette2.png", PNG_COLOR_TYPE_PALETTE, 2},
        {"palette4.png", PNG_COLOR_TYPE_PALETTE, 4},
        {"palette8.png", PNG_COLOR_TYPE_PALETTE, 8},
    };
    for (const Variant& v : variants)
      if (!writePng(folder, v.name, describe(small, v.colorType, v.depth), error)) return false;
    PngDescription interlaced = describe(small, PNG_COLOR_TYPE_RGB_ALPHA, 8);
    interlaced.interlaced = true;
    if (!writePng(folder, "interlaced.png", interlaced, error)) return false;
    PngDescription keyed = describe(small, PNG_COLOR_TYPE_RGB, 8);
    keyed.hasTransparentColor = true;
    if (!writePng(folder, "rgb_trns.png", keyed, error)) return false;
    std::vector<uint8_t> file;
    if (!encodePng(describe(small, PNG_COLOR_TYPE_RGB_ALPHA, 8), file, error)) return false;
    file.resize(file.size() / 2);
    return writeNamed(folder, "truncated.png", file, error);
  }
  if (kind == "dds") {
    const RgbaPicture square = makeDemoPicture(8, 8, 1);
    std::vector<uint8_t> blocks = encodeDxt5(square);
    std::vector<uint8_t> mips = encodeDxt5(makeDemoPicture(16, 16, 2));
    std::vector<uint8_t> level1 = encodeDxt5(square);
    mips.insert(mips.end(), level1.begin(), level1.end());
    std::vector<uint8_t> level2 = encodeDxt5(makeDemoPicture(4, 4, 0));
    mips.insert(mips.end(), level2.begin(), level2.end());
    std::vector<uint8_t> truncated = encodeDds(8, 8, "DXT5", blocks);
    truncated.resize(truncated.size() - 20);
    return writeNamed(folder, "dxt5.dds", encodeDds(8, 8, "DXT5", blocks), error) &&
           writeNamed(folder, "dxt5_odd.dds", encodeDds(5, 3, "DXT5", encodeDxt5(makeDemoPicture(5, 3, 0))), error) &&
           writeNamed(folder, "dxt5_mips.dds", encodeDds(16, 16, "DXT5", mips, 3), error) &&
           writeNamed(folder, "dxt1.dds", encodeDds(8, 8, "DXT1", std::vector<uint8_t>(32, 0x55)), error) &&
           writeNamed(folder, "dxt3.dds", encodeDds(8, 8, "DXT3", std::vector<uint8_t>(64, 0xAA)), error) &&
           writeNamed(folder, "palette.dds", encodeDds(8, 8, "", std::vector<uint8_t>(1024 + 64, 3), 1, true), error) &&
           writeNamed(folder, "truncated.dds", truncated, error);
  }
  if (kind == "krt") {
    std::vector<uint8_t> file;
    if (!encodeKrtRgba(makeDemoPicture(4, 8, 0), file, error) || !writeNamed(folder, "rgba_4x8.krt", file, error))
      return false;
    if (!encodeKrtRgba(makeDemoPicture(8, 16, 1), file, error) || !writeNamed(folder, "rgba_8x16.krt", file, error))
      return false;
    std::vector<uint8_t> palette;
    for (int i = 0; i < 256; ++i) palette.insert(palette.end(), {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2), 255});
    std::vector<uint8_t> indices(32 * 8);
    for (size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<uint8_t>(i * 7);
    if (!encodeKrtPaletted(32, 8, palette, indices, file, error) ||
        !writeNamed(folder, "paletted_32x8.krt", file, error))
      return false;
    std::vector<uint8_t> truncated(file.begin(), file.end() - 100);
    std::vector<uint8_t> badSize(file);
    badSize[16] ^= 1;
    std::vector<uint8_t> badFormat(file);
    badFormat[4] = 7;
    return writeNamed(folder, "truncated.krt", truncated, error) &&
           writeNamed(folder, "bad_size.krt", badSize, error) && writeNamed(folder, "bad_format.krt", badFormat, error);
  }
  error = "unknown corpus kind " + kind;
  return false;
}

}  // namespace Tools
}  // namespace KR

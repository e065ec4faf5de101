// page.cpp — the CPU-side 2D page, its colours and palette, text, and free-standing images.
// Colours are raw pixel values of the page's depth (0xAARRGGBB, RGB 5-6-5, or a palette index),
// cut to the pixel's width, so 0xFFFFFFFF is opaque white at every depth.
#include "window.h"

#include "font.h"
#include "runtime_state.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <limits>

using namespace window_runtime;

namespace {

// The 8-bit palette: 0 transparent (so a cleared page lets the 3D frame through), 1..15 the
// classic sixteen colours, 16..231 a 6x6x6 colour cube, 232..255 a grey ramp ending in white.
constexpr std::array<std::uint32_t, 256> MakePalette() {
  std::array<std::uint32_t, 256> palette{};
  constexpr std::uint32_t kSixteen[16] = {0x00000000, 0xFF0000AA, 0xFF00AA00, 0xFF00AAAA,
                                          0xFFAA0000, 0xFFAA00AA, 0xFFAA5500, 0xFFAAAAAA,
                                          0xFF555555, 0xFF5555FF, 0xFF55FF55, 0xFF55FFFF,
                                          0xFFFF5555, 0xFFFF55FF, 0xFFFFFF55, 0xFFFFFFFF};
  for (int i = 0; i < 16; ++i) palette[i] = kSixteen[i];
  constexpr std::uint32_t kLevels[6] = {0x00, 0x33, 0x66, 0x99, 0xCC, 0xFF};
  for (int r = 0; r < 6; ++r) {
    for (int g = 0; g < 6; ++g) {
      for (int b = 0; b < 6; ++b) {
        palette[16 + r * 36 + g * 6 + b] =
            0xFF000000u | kLevels[r] << 16 | kLevels[g] << 8 | kLevels[b];
      }
    }
  }
  for (int i = 0; i < 24; ++i) {
    const std::uint32_t level = static_cast<std::uint32_t>(8 + i * (255 - 8) / 23);
    palette[232 + i] = 0xFF000000u | level << 16 | level << 8 | level;
  }
  return palette;
}
constexpr std::array<std::uint32_t, 256> kPalette = MakePalette();

// Image header, the first 32 bytes of every image block.
struct ImageHeader {
  std::uint32_t magic;
  std::int32_t width;
  std::int32_t height;
  std::int32_t depth;
  std::int32_t flags;
  std::uint32_t reserved[3];
};
static_assert(sizeof(ImageHeader) == 32);
constexpr std::uint32_t kImageMagic = 0x31474D49;  // "IMG1"

void FillPixels(void* pixels, std::size_t count, std::uint32_t value, int depth) {
  if (depth == 8) {
    std::memset(pixels, static_cast<int>(value & 0xFF), count);
  } else if (depth == 16) {
    auto* p = static_cast<std::uint16_t*>(pixels);
    const auto v = static_cast<std::uint16_t>(value);
    for (std::size_t i = 0; i < count; ++i) p[i] = v;
  } else {
    auto* p = static_cast<std::uint32_t*>(pixels);
    if (value == 0) {
      std::memset(p, 0, count * 4);
    } else {
      for (std::size_t i = 0; i < count; ++i) p[i] = value;
    }
  }
}

void PutPixel(std::uint8_t* page, int width, int depth, int x, int y, std::uint32_t value) {
  const std::size_t index =
      static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
  if (depth == 8) {
    page[index] = static_cast<std::uint8_t>(value);
  } else if (depth == 16) {
    const auto v = static_cast<std::uint16_t>(value);
    std::memcpy(page + index * 2, &v, 2);
  } else {
    std::memcpy(page + index * 4, &value, 4);
  }
}

}  // namespace

// ---- The 2D page ------------------------------------------------------------------------

void LockPage() {
  ++State().lock_depth;
}

void UnlockPage() {
  RuntimeState& state = State();
  if (state.lock_depth > 0) --state.lock_depth;
}

void SetBackgroundColor(std::uint32_t c) {
  State().background = c;
}

void SetForegroundColor(std::uint32_t c) {
  State().foreground = c;
}

void ClearPage() {
  RuntimeState& state = State();
  if (state.pages.empty()) return;
  FillPixels(state.pages.data(),
             static_cast<std::size_t>(state.width) * static_cast<std::size_t>(state.height),
             state.background, state.depth);
}

void* GetPagePointer() {
  RuntimeState& state = State();
  return state.pages.empty() ? nullptr : state.pages.data();
}

void DrawText(int x, int y, const std::string& text) {
  RuntimeState& state = State();
  if (state.pages.empty()) return;
  std::uint8_t* page = state.pages.data();
  long long cell_x = x;
  for (const char ch : text) {
    const std::uint8_t* glyph = FontGlyph(static_cast<unsigned char>(ch));
    for (int row = 0; row < 8 && glyph != nullptr; ++row) {
      const long long py = static_cast<long long>(y) + row;
      if (py < 0 || py >= state.height) continue;
      for (int col = 0; col < 8; ++col) {
        const long long px = cell_x + col;
        if (px < 0 || px >= state.width) continue;
        if (glyph[row] & (0x80u >> col)) {
          PutPixel(page, state.width, state.depth, static_cast<int>(px), static_cast<int>(py),
                   state.foreground);
        }
      }
    }
    cell_x += 8;
    if (cell_x >= state.width) break;  // every later cell is off the page too
  }
}

std::uint32_t GetPaletteEntry(int index) {
  if (index < 0 || index > 255) return 0;
  return kPalette[static_cast<std::size_t>(index)];
}

// ---- Images -----------------------------------------------------------------------------

void* AllocateImage(int width, int height, std::uint32_t fill, int depth, int flags) {
  if (width < 1 || height < 1 || (depth != 8 && depth != 16 && depth != 32)) return nullptr;
  const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  const std::size_t bytes_per_pixel = static_cast<std::size_t>(depth / 8);
  if (count > (std::numeric_limits<std::size_t>::max() - sizeof(ImageHeader)) / bytes_per_pixel) {
    return nullptr;
  }
  void* block = std::malloc(sizeof(ImageHeader) + count * bytes_per_pixel);
  if (block == nullptr) return nullptr;
  const ImageHeader header{kImageMagic, width, height, depth, flags, {0, 0, 0}};
  std::memcpy(block, &header, sizeof header);
  FillPixels(ImagePixels(block), count, fill, depth);
  return block;
}

void ReleaseImage(void* image) {
  std::free(image);
}

// ---- Showing the page without GL --------------------------------------------------------

void window_runtime::ShowPageOnWindow() {
  RuntimeState& state = State();
  SDL_Surface* target = SDL_GetWindowSurface(state.window);
  if (target == nullptr || state.pages.empty()) return;
  static const Uint32 kFormats[] = {SDL_PIXELFORMAT_INDEX8, SDL_PIXELFORMAT_RGB565, 0,
                                    SDL_PIXELFORMAT_ARGB8888};
  SDL_Surface* page = SDL_CreateRGBSurfaceWithFormatFrom(
      state.pages.data(), state.width, state.height, state.depth,
      state.width * BytesPerPixel(state.depth), kFormats[state.depth / 8 - 1]);
  if (page == nullptr) return;
  if (state.depth == 8) {
    SDL_Color colours[256];
    for (int i = 0; i < 256; ++i) {
      const std::uint32_t c = kPalette[static_cast<std::size_t>(i)];
      colours[i] = SDL_Color{static_cast<Uint8>(c >> 16), static_cast<Uint8>(c >> 8),
                             static_cast<Uint8>(c), 255};
    }
    SDL_SetPaletteColors(page->format->palette, colours, 0, 256);
  }
  SDL_SetSurfaceBlendMode(page, SDL_BLENDMODE_NONE);
  SDL_BlitSurface(page, nullptr, target, nullptr);
  SDL_FreeSurface(page);
  SDL_UpdateWindowSurface(state.window);
}

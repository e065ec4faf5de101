// overlay.h — lays the window runtime's CPU-side 2D page over each OpenGL frame.
//
// Use
//   1. SCREENRES(w, h, bpp, pages, flags) once: opens the window (fullscreen when the request
//      reaches the desktop's width or height; -1 means the desktop's size), its GL context and
//      the page, and makes one texture whose sides are powers of two holding the window.
//   2. Each frame: draw the 3D frame with GL, draw into the page between LockPage/UnlockPage,
//      then SCREENSYNC(): uploads the page (every FRAMESKIP + 1 calls), draws it as one
//      alpha-blended quad over the window and swaps the buffers.
// Page pixels with alpha 0 let the 3D frame through; 16-bit pages cover it; 8-bit pages go
// through the runtime's palette (its entry 0 is transparent).
#pragma once

#include <cstdint>

namespace OGL {

extern std::uint32_t TEXTURE;   // the overlay texture's GL name; made once, never deleted
extern std::int32_t SCRX;       // window and page width, a multiple of 8
extern std::int32_t SCRY;       // window and page height, a multiple of 8
extern std::int32_t BPP;        // page depth: 8, 16 or 32
extern double OFX;              // SCRX / texture width: the page's share of the texture
extern double OFY;              // SCRY / texture height
extern double UPTIME;           // seconds the last SCREENSYNC spent before its buffer swap
extern std::int32_t FRAMESKIP;  // frames without an upload between two uploads; 0: every frame
extern void* BUFFER;            // 8-bit pages: the 32-bit image the page is expanded into
extern std::int32_t CORS[256];  // 8-bit pages: the palette as last read, 0xAARRGGBB

// What SCREENRES makes of a request on a desktop of the given size (pure arithmetic).
struct ScreenPlan {
  std::int32_t width;           // SCRX: the requested width rounded up to a multiple of 8
  std::int32_t height;          // SCRY
  std::int32_t depth;           // 8, 16 or 32
  std::int32_t flags;           // flags handed to the window runtime (bit 2 always set)
  std::int32_t texture_width;   // smallest power of two >= width
  std::int32_t texture_height;  // smallest power of two >= height
  double ofx;                   // width / texture_width
  double ofy;                   // height / texture_height
};
ScreenPlan PlanScreen(std::int32_t WID, std::int32_t HEI, std::int32_t BPP, std::int32_t FLAGS,
                      std::int32_t desktop_width, std::int32_t desktop_height);

// Opens the window through the runtime and titles it "Sky".
void CALLSCREEN(std::int32_t WID, std::int32_t HEI, std::int32_t BPP, std::int32_t PAGS,
                std::int32_t FLAGS);

}  // namespace OGL

void SCREENRES(std::int32_t WID, std::int32_t HEI, std::int32_t BPP, std::int32_t PAGS,
               std::int32_t FLAGS);
void SCREENSYNC();

/* textures.cpp — image loading through SDL2_image, texture flags (colour, alpha, masked, mipmap,
   clamp), upload into the GL context once there is one, texture scaling and assignment. A file
   that cannot be read gives one stderr line naming it and the reason, and a null handle. */
#include <algorithm>
#include <cstdio>

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

#include "engine_state.h"

namespace e3d {

static int next_power_of_two(int v) {
  int p = 1;
  while (p < v) p <<= 1;
  return p;
}

// Older GL wants power-of-two sizes: resample through SDL when the context cannot take others.
static std::vector<std::uint8_t> to_power_of_two(const E3DTexture& t,
                                                 const std::vector<std::uint8_t>& rgba, int& w,
                                                 int& h) {
  w = next_power_of_two(t.width);
  h = next_power_of_two(t.height);
  std::vector<std::uint8_t> out(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4);
  SDL_Surface* src =
      SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint8_t*>(rgba.data()), t.width, t.height,
                                         32, t.width * 4, SDL_PIXELFORMAT_RGBA32);
  SDL_Surface* dst =
      SDL_CreateRGBSurfaceWithFormatFrom(out.data(), w, h, 32, w * 4, SDL_PIXELFORMAT_RGBA32);
  if (src && dst) {
    SDL_SetSurfaceBlendMode(src, SDL_BLENDMODE_NONE);
    SDL_BlitScaled(src, nullptr, dst, nullptr);
  }
  SDL_FreeSurface(src);
  SDL_FreeSurface(dst);
  return out;
}

static void upload(E3DTexture& t, const std::vector<std::uint8_t>& rgba) {
  const EngineState& s = state();
  int w = t.width, h = t.height;
  std::vector<std::uint8_t> resized;
  const std::uint8_t* pixels = rgba.data();
  if (!s.npot_textures && (w != next_power_of_two(w) || h != next_power_of_two(h))) {
    resized = to_power_of_two(t, rgba, w, h);
    pixels = resized.data();
  }
  GLuint name = 0;
  glGenTextures(1, &name);
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, name);
  // Unpack state belongs to whoever set it last (the overlay uploads its page every frame).
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
  glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
  glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, (t.flags & 16) ? GL_CLAMP_TO_EDGE : GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, (t.flags & 32) ? GL_CLAMP_TO_EDGE : GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  const bool mipmap = (t.flags & 8) && s.generate_mipmap;
  if (mipmap) glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                  mipmap ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
  t.gl_name = name;
}

void upload_pending_textures() {
  for (auto& t : state().textures) {
    if (t->gl_name == 0 && !t->pending_rgba.empty()) {
      upload(*t, t->pending_rgba);
      std::vector<std::uint8_t>().swap(t->pending_rgba);
    }
  }
}

void free_texture(E3DTexture* t) {
  if (t->gl_name != 0 && state().graphics_ready) glDeleteTextures(1, &t->gl_name);
  t->gl_name = 0;
}

// Reads the file into tightly packed RGBA and applies the alpha-related flags.
static bool read_image(const char* file, int flags, E3DTexture& t,
                       std::vector<std::uint8_t>& rgba) {
  SDL_Surface* loaded = IMG_Load(file);
  if (!loaded) {
    std::fprintf(stderr, "engine3d: cannot load image \"%s\": %s\n", file, IMG_GetError());
    return false;
  }
  Uint32 key = 0;
  const bool own_alpha = SDL_ISPIXELFORMAT_ALPHA(loaded->format->format) ||
                         (loaded->format->palette && SDL_GetColorKey(loaded, &key) == 0);
  SDL_Surface* conv = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
  SDL_FreeSurface(loaded);
  if (!conv) {
    std::fprintf(stderr, "engine3d: cannot load image \"%s\": %s\n", file, SDL_GetError());
    return false;
  }
  t.width = conv->w;
  t.height = conv->h;
  rgba.resize(static_cast<std::size_t>(conv->w) * static_cast<std::size_t>(conv->h) * 4);
  SDL_LockSurface(conv);
  for (int y = 0; y < conv->h; ++y) {
    std::copy_n(static_cast<const std::uint8_t*>(conv->pixels) + y * conv->pitch, conv->w * 4,
                rgba.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(conv->w) * 4);
  }
  SDL_UnlockSurface(conv);
  SDL_FreeSurface(conv);

  for (std::size_t i = 0; i < rgba.size(); i += 4) {
    std::uint8_t* p = &rgba[i];
    // Alpha asked for on an image without its own: take it from the brightness.
    if ((flags & 2) && !own_alpha) p[3] = std::max({p[0], p[1], p[2]});
    if ((flags & 4) && p[0] == 0 && p[1] == 0 && p[2] == 0) p[3] = 0;
    // Masked texels are cut by the alpha test; only partial alpha needs blending then.
    if (p[3] < 255 && !((flags & 4) && p[3] == 0)) t.has_alpha = true;
  }
  t.masked = (flags & 4) != 0;
  return true;
}

}  // namespace e3d

using namespace e3d;

extern "C" {

Texture LoadTexture(const char* file, int flags) {
  if (!file || !*file) {
    std::fprintf(stderr, "engine3d: cannot load image: no file name given\n");
    return nullptr;
  }
  auto t = std::make_unique<E3DTexture>();
  t->flags = flags;
  std::vector<std::uint8_t> rgba;
  if (!read_image(file, flags, *t, rgba)) return nullptr;
  if (state().graphics_ready) {
    upload(*t, rgba);
  } else {
    t->pending_rgba = std::move(rgba);
  }
  state().textures.push_back(std::move(t));
  return state().textures.back().get();
}

Entity LoadSprite(const char* file, int flags, Entity parent) {
  Texture t = LoadTexture(file, flags);
  if (!t) return nullptr;
  Entity e = CreateSprite(parent);
  e->texture = t;
  return e;
}

void ScaleTexture(Texture t, float u, float v) {
  if (!t) return;
  t->scale_u = u;
  t->scale_v = v;
}

void EntityTexture(Entity e, Texture t, int /*frame*/, int index) {
  if (!e || !t || index != 0) return;  // one texture layer per entity
  e->texture = t;
}

void FreeTexture(Texture t) {
  if (!t) return;
  EngineState& s = state();
  for (auto& e : s.entities) {
    if (e->texture == t) e->texture = nullptr;
  }
  free_texture(t);
  auto it = std::find_if(s.textures.begin(), s.textures.end(),
                         [t](const auto& p) { return p.get() == t; });
  if (it != s.textures.end()) s.textures.erase(it);
}

}  // extern "C"

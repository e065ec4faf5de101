// make_sky_images — draws the sky demo's ten images into the folder given on the command line.
// Every image comes from code and a fixed seed, so each build writes the same bytes; all are at
// most 512 pixels a side. Usage: make_sky_images OUTPUT_DIRECTORY
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

// ---- Small helpers -------------------------------------------------------------------------

struct Rgb {
  double r, g, b;
};
Rgb Mix(Rgb a, Rgb b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
Rgb Add(Rgb a, Rgb b, double k) {
  return {a.r + b.r * k, a.g + b.g * k, a.b + b.b * k};
}
double Clamp01(double v) {
  return std::clamp(v, 0.0, 1.0);
}
double Smoothstep(double e0, double e1, double x) {
  const double t = Clamp01((x - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}

// Deterministic pseudo-random numbers (splitmix64): the same on every machine and compiler.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  double Uniform() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }

 private:
  std::uint64_t state_;
};

// Hash of an integer lattice point, for value noise.
double LatticeValue(int x, int y, std::uint64_t seed) {
  std::uint64_t h = seed ^ (static_cast<std::uint64_t>(static_cast<std::uint32_t>(x)) << 32) ^
                    static_cast<std::uint32_t>(y);
  Random r(h);
  r.Next();
  return r.Uniform();
}

// Value noise that tiles with the given period (in lattice cells), smoothly interpolated.
double TiledNoise(double x, double y, int period, std::uint64_t seed) {
  const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
  const double fx = x - x0, fy = y - y0;
  auto at = [&](int i, int j) {
    return LatticeValue(((i % period) + period) % period, ((j % period) + period) % period, seed);
  };
  const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
  const double top = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * sx;
  const double bottom = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * sx;
  return top + (bottom - top) * sy;
}

// Fractal sum of tiled value noise over the unit square (u, v in 0..1), tiling at every octave.
double TiledFbm(double u, double v, int basePeriod, int octaves, std::uint64_t seed) {
  double sum = 0, amplitude = 0.5, norm = 0;
  int period = basePeriod;
  for (int o = 0; o < octaves; ++o) {
    sum += amplitude * TiledNoise(u * period, v * period, period, seed + o * 7919);
    norm += amplitude;
    amplitude *= 0.5;
    period *= 2;
  }
  return sum / norm;
}

// An RGBA image with floating-point channels in 0..1, written as 8-bit PNG.
struct Image {
  int width, height;
  bool alpha;
  std::vector<double> px;  // 4 per pixel
  Image(int w, int h, bool withAlpha) : width(w), height(h), alpha(withAlpha), px(w * h * 4, 0) {}
  double* At(int x, int y) { return &px[(static_cast<std::size_t>(y) * width + x) * 4]; }
  void Set(int x, int y, Rgb c, double a = 1) {
    double* p = At(x, y);
    p[0] = c.r;
    p[1] = c.g;
    p[2] = c.b;
    p[3] = a;
  }
};

bool WritePng(const Image& image, const std::string& path) {
  const int channels = image.alpha ? 4 : 3;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(image.width) * image.height * channels);
  for (std::size_t i = 0, n = static_cast<std::size_t>(image.width) * image.height; i < n; ++i) {
    for (int c = 0; c < channels; ++c) {
      bytes[i * channels + c] =
          static_cast<std::uint8_t>(std::lround(Clamp01(image.px[i * 4 + c]) * 255.0));
    }
  }
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(image.width);
  png.height = static_cast<png_uint_32>(image.height);
  png.format = image.alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  if (!png_image_write_to_file(&png, path.c_str(), 0, bytes.data(), 0, nullptr)) {
    std::fprintf(stderr, "make_sky_images: cannot write %s: %s\n", path.c_str(), png.message);
    return false;
  }
  return true;
}

// ---- The sky spheres -------------------------------------------------------------------------
// The engine maps an image onto a sphere with v = 0 at the zenith, 0.5 at the horizon and 1 at
// the nadir; u runs once around, 0.25 towards +z (where the sun rises) and 0.75 towards -z
// (where it sets). Elevation in degrees: 90 at the top row, 0 at the middle.
double Elevation(double v) {
  return 90.0 - 180.0 * v;
}

// Day sky colour at an elevation in degrees: deep blue overhead, paling to a hazy white-blue at
// the horizon, with most of the change in the lowest 30 degrees as in a real clear sky.
Rgb DaySkyColour(double elevation) {
  const Rgb zenith{0.12, 0.33, 0.78}, mid{0.33, 0.58, 0.92}, horizon{0.78, 0.88, 0.97};
  if (elevation < 0) return horizon;  // under the ground plane; pale so no dark seam shows
  const double h = Clamp01(elevation / 90.0);
  const Rgb upper = Mix(mid, zenith, std::pow(h, 0.8));
  return Mix(horizon, upper, Smoothstep(0.0, 0.45, h));
}

// Day sky: the colour above by elevation, the same all round.
Image DaySky() {
  Image img(256, 512, false);
  for (int y = 0; y < img.height; ++y) {
    const Rgb c = DaySkyColour(Elevation((y + 0.5) / img.height));
    for (int x = 0; x < img.width; ++x) img.Set(x, y, c);
  }
  return img;
}

// Star points into an image, with an optional faint milky band. `count` stars, brightness scaled.
void ScatterStars(Image& img, int count, double brightness, std::uint64_t seed) {
  Random rnd(seed);
  for (int i = 0; i < count; ++i) {
    const double x = rnd.Uniform() * img.width, y = rnd.Uniform() * img.height;
    // Many faint stars, few bright ones.
    const double mag = std::pow(rnd.Uniform(), 5.0);
    const double level = (0.45 + 0.9 * mag) * brightness;
    const double tint = rnd.Uniform();
    const Rgb colour = tint < 0.2   ? Rgb{0.75, 0.85, 1.0}
                       : tint < 0.3 ? Rgb{1.0, 0.88, 0.75}
                                    : Rgb{1.0, 1.0, 1.0};
    const double radius = 0.45 + 0.6 * mag;
    const int r = static_cast<int>(std::ceil(radius + 1));
    for (int dy = -r; dy <= r; ++dy) {
      for (int dx = -r; dx <= r; ++dx) {
        const int px = ((static_cast<int>(x) + dx) % img.width + img.width) % img.width;
        const int py = static_cast<int>(y) + dy;
        if (py < 0 || py >= img.height) continue;
        const double d = std::hypot(static_cast<int>(x) + dx + 0.5 - x, py + 0.5 - y);
        const double k = level * std::exp(-(d * d) / (radius * radius * 0.5));
        double* p = img.At(px, py);
        p[0] += colour.r * k;
        p[1] += colour.g * k;
        p[2] += colour.b * k;
      }
    }
  }
}

// Night sky: the star field on black, with a faint milky band across it. The engine repeats it
// twice each way, so one copy spans 180 degrees around and 90 degrees up: 512 x 256 keeps the
// stars round on the sphere. It tiles.
Image Stars() {
  Image img(512, 256, false);
  for (int y = 0; y < img.height; ++y) {
    for (int x = 0; x < img.width; ++x) {
      const double u = (x + 0.5) / img.width, v = (y + 0.5) / img.height;
      // A soft diagonal band that wraps in both directions.
      const double band = std::sin(2 * kPi * (u + v)) * 0.5 + 0.5;
      const double cloud = TiledFbm(u, v, 4, 5, 101);
      const double glow = std::pow(band, 6.0) * (0.4 + 0.6 * cloud) * 0.10;
      img.Set(x, y, Rgb{0.010 + glow * 0.85, 0.012 + glow * 0.9, 0.025 + glow});
    }
  }
  ScatterStars(img, 700, 1.0, 202);
  ScatterStars(img, 2000, 0.45, 203);
  return img;
}

// Dusk and pre-dawn sky colour at (u around, elevation in degrees): a dark blue dome warming
// towards the horizon where the sun rises (u = 0.25), so the night turns to dawn while the day
// sky fades back in.
Rgb DarkSkyColour(double u, double elevation) {
  const Rgb top{0.015, 0.025, 0.09}, low{0.08, 0.11, 0.25}, dawn{0.55, 0.30, 0.22};
  const double around = std::pow(std::cos(2 * kPi * (u - 0.25)) * 0.5 + 0.5, 3.0);
  if (elevation < 0) return Add(low, dawn, 0.6 * around);
  const double warm = around * std::exp(-elevation / 14.0);
  return Add(Mix(low, top, std::pow(Clamp01(elevation / 90.0), 0.6)), dawn, 0.75 * warm);
}

// The dark sky with a few faint stars of its own, since it hides the star sphere before dawn;
// the stars fade into the horizon haze. 512 x 256 over the whole sphere keeps them round.
Image DarkSky() {
  Image img(512, 256, false);
  ScatterStars(img, 500, 0.55, 303);
  for (int y = 0; y < img.height; ++y) {
    const double e = Elevation((y + 0.5) / img.height);
    const double keep = Smoothstep(0, 25, e);
    for (int x = 0; x < img.width; ++x) {
      const Rgb base = DarkSkyColour((x + 0.5) / img.width, e);
      double* p = img.At(x, y);
      p[0] = base.r + p[0] * keep;
      p[1] = base.g + p[1] * keep;
      p[2] = base.b + p[2] * keep;
    }
  }
  return img;
}

// ---- Sun, moon and their glows ----------------------------------------------------------------
// Radial distance from the image centre, 0 at the centre and 1 at the middle of an edge.
double Radius(const Image& img, int x, int y) {
  const double dx = (x + 0.5) / img.width * 2 - 1, dy = (y + 0.5) / img.height * 2 - 1;
  return std::hypot(dx, dy);
}

// The sun, drawn additively: a white-hot disc with a thin warm rim and a short glow, on black.
Image Sun() {
  Image img(128, 128, false);
  for (int y = 0; y < img.height; ++y) {
    for (int x = 0; x < img.width; ++x) {
      const double r = Radius(img, x, y);
      const double disc = 1 - Smoothstep(0.30, 0.36, r);
      const double glow = std::exp(-std::pow(r / 0.42, 2.0)) * (1 - Smoothstep(0.85, 1.0, r));
      const Rgb c = Add(Rgb{1.0, 0.97, 0.88}, Rgb{0, 0, 0}, 0);
      const double k = std::max(disc, 0.75 * glow);
      img.Set(x, y, Rgb{c.r * k, c.g * k * (0.9 + 0.1 * disc), c.b * k * (0.75 + 0.25 * disc)});
    }
  }
  return img;
}

// The evening halo, drawn additively and tinted orange by the demo: a bright core and a wide
// horizontal band, on black. The sprite is stretched 240 x 110, so the band spreads along the
// horizon.
Image SunHalo() {
  Image img(256, 256, false);
  for (int y = 0; y < img.height; ++y) {
    for (int x = 0; x < img.width; ++x) {
      const double dx = (x + 0.5) / img.width * 2 - 1, dy = (y + 0.5) / img.height * 2 - 1;
      const double r = std::hypot(dx, dy);
      const double core = std::exp(-std::pow(r / 0.08, 2.0));
      const double wide = std::exp(-r / 0.22) * 0.55;
      const double band =
          std::exp(-std::pow(dy / 0.05, 2.0)) * std::exp(-std::abs(dx) / 0.35) * 0.35;
      const double edge = 1 - Smoothstep(0.8, 1.0, std::max(std::abs(dx), std::abs(dy)));
      const double k = std::min(1.0, core + wide + band) * edge;
      img.Set(x, y, Rgb{k, k, k});
    }
  }
  return img;
}

// The soft glow shared by three sprites (the sun's close halo, its wide evening wash, and the
// moon's wide glow): white, with the glow in the alpha channel, so the demo's tint colours it.
Image SoftGlow() {
  Image img(256, 256, true);
  for (int y = 0; y < img.height; ++y) {
    for (int x = 0; x < img.width; ++x) {
      const double r = Radius(img, x, y);
      const double a = (0.45 * std::exp(-std::pow(r / 0.10, 2.0)) + 0.22 * std::exp(-r / 0.22)) *
                       (1 - Smoothstep(0.75, 1.0, r));
      img.Set(x, y, Rgb{1, 1, 1}, a);
    }
  }
  return img;
}

// The moon's close halo: a pale blue-white ring of light just outside the disc.
Image MoonHalo() {
  Image img(128, 128, true);
  for (int y = 0; y < img.height; ++y) {
    for (int x = 0; x < img.width; ++x) {
      const double r = Radius(img, x, y);
      // The moon's disc has radius 7 of the halo's 13: about 0.52 here.
      const double a = 0.55 * std::exp(-std::pow(std::max(r - 0.45, 0.0) / 0.18, 2.0)) *
                       (1 - Smoothstep(0.85, 1.0, r));
      img.Set(x, y, Rgb{0.85, 0.9, 1.0}, a);
    }
  }
  return img;
}

// The full moon: a grey-white disc with darker seas and a few craters, opaque inside its edge.
Image Moon() {
  Image img(256, 256, true);
  Random rnd(404);
  struct Crater {
    double x, y, r;
  };
  std::vector<Crater> craters;
  for (int i = 0; i < 24; ++i) {
    craters.push_back({rnd.Uniform() * 1.6 - 0.8, rnd.Uniform() * 1.6 - 0.8,
                       0.03 + 0.08 * std::pow(rnd.Uniform(), 2.0)});
  }
  const double R = 0.9;
  for (int y = 0; y < img.height; ++y) {
    for (int x = 0; x < img.width; ++x) {
      const double dx = (x + 0.5) / img.width * 2 - 1, dy = (y + 0.5) / img.height * 2 - 1;
      const double r = std::hypot(dx, dy);
      const double seas = TiledFbm((dx + 1) / 2, (dy + 1) / 2, 3, 4, 505);
      double shade = 0.92 - 0.35 * Smoothstep(0.45, 0.7, seas);
      for (const Crater& c : craters) {
        const double d = std::hypot(dx - c.x, dy - c.y) / c.r;
        if (d < 1.0)
          shade -= 0.10 * (1 - d * d);
        else if (d < 1.25)
          shade += 0.05;  // bright rim
      }
      shade *= 1 - 0.25 * std::pow(r / R, 4.0);  // darker towards the limb
      const double a = 1 - Smoothstep(R - 0.02, R, r);
      img.Set(x, y, Rgb{shade * 0.97, shade * 0.97, shade}, a);
    }
  }
  return img;
}

// The moon's mask, just behind the moon and a little smaller on screen, so the moon covers it
// at night. It gets no fade or tint of its own and hangs in front of the sky at every hour
// (16.5 degrees up), while the sky behind it darkens from full day colour to about a third of
// it at dusk. So it is a very faint disc of the sky's colour halfway between the two: a few
// percent off the sky behind it at any hour, fading out towards its rim, never a disc of its own.
Image MoonMask() {
  Image img(128, 128, true);
  const Rgb day = DaySkyColour(16.5);
  const Rgb sky{day.r * 0.55, day.g * 0.55, day.b * 0.55};
  for (int y = 0; y < img.height; ++y) {
    for (int x = 0; x < img.width; ++x) {
      const double r = Radius(img, x, y);
      img.Set(x, y, sky, 0.05 * (1 - Smoothstep(0.3, 0.88, r)));  // no edge for the eye to catch
    }
  }
  return img;
}

// ---- Clouds ---------------------------------------------------------------------------------
// Tileable fair-weather clouds: white tops, grey undersides, clear sky between, in the alpha.
Image Clouds() {
  Image img(512, 512, true);
  for (int y = 0; y < img.height; ++y) {
    for (int x = 0; x < img.width; ++x) {
      const double u = (x + 0.5) / img.width, v = (y + 0.5) / img.height;
      // Broad shapes only: the layer is seen at grazing angles towards the horizon, where fine
      // detail would shimmer.
      const double density = TiledFbm(u, v, 4, 5, 606);
      const double a = Smoothstep(0.48, 0.70, density);
      // Thicker parts are a little darker underneath, as seen from below.
      const double shade = 1.0 - 0.12 * Smoothstep(0.60, 0.85, density);
      img.Set(x, y, Rgb{shade * 0.92, shade * 0.93, shade * 0.95}, a * 0.95);
    }
  }
  return img;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sky_images OUTPUT_DIRECTORY\n");
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/";
  const struct {
    const char* name;
    Image (*draw)();
  } images[] = {
      {"test.png", DaySky},      {"test2.png", DarkSky},  {"stars.png", Stars},
      {"sun.png", Sun},          {"sunhof.png", SunHalo}, {"sunhof2.png", SoftGlow},
      {"moonhof.png", MoonHalo}, {"moon.png", Moon},      {"moonmask.png", MoonMask},
      {"clouds.png", Clouds},
  };
  for (const auto& image : images) {
    if (!WritePng(image.draw(), dir + image.name)) return 1;
  }
  return 0;
}

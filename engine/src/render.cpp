/* render.cpp — binding to the current GL context and drawing the world: every camera in creation
   order, lights, frustum culling, order groups, opaque-then-blended passes sorted by distance,
   and all fixed-function state set here before use. The frame's draw list reuses its storage. */
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include "engine_state.h"

namespace e3d {
namespace {

// Beyond this far/near ratio the projection sends the far plane to infinity: a finite matrix
// gains nothing in depth precision there and only clips distant geometry by rounding.
constexpr float kInfiniteFarRatio = 1e6f;
constexpr float kInfiniteEpsilon = 1e-6f;
// How far the ground plane reaches when the camera range is larger than any float grid can
// hold precisely; from a camera a few units above it the gap to the horizon is far below a pixel.
constexpr float kPlaneReachCap = 1e6f;
constexpr int kMaxLights = 8;

struct Camera {
  glm::vec3 position;
  glm::quat rotation;
  glm::mat4 world;  // without scale
  glm::mat4 view;
  float near_plane, far_plane;
  bool infinite;
  float aspect;
};

const Vertex kSpriteQuad[4] = {
    {{-1, -1, 0}, {0, 0, -1}, {0, 1}, {1, 1, 1, 1}},
    {{-1, 1, 0}, {0, 0, -1}, {0, 0}, {1, 1, 1, 1}},
    {{1, -1, 0}, {0, 0, -1}, {1, 1}, {1, 1, 1, 1}},
    {{1, 1, 0}, {0, 0, -1}, {1, 0}, {1, 1, 1, 1}},
};
const std::uint32_t kSpriteIndices[6] = {0, 1, 2, 2, 1, 3};

bool has_extension(const char* list, const char* name) {
  if (!list) return false;
  const std::size_t n = std::strlen(name);
  for (const char* p = std::strstr(list, name); p; p = std::strstr(p + n, name)) {
    if ((p == list || p[-1] == ' ') && (p[n] == ' ' || p[n] == '\0')) return true;
  }
  return false;
}

float max_axis_scale(const glm::mat4& m) {
  return std::max(
      {glm::length(glm::vec3(m[0])), glm::length(glm::vec3(m[1])), glm::length(glm::vec3(m[2]))});
}

float min_axis_scale(const glm::mat4& m) {
  return std::min(
      {glm::length(glm::vec3(m[0])), glm::length(glm::vec3(m[1])), glm::length(glm::vec3(m[2]))});
}

Camera make_camera(const E3DEntity& c, int width, int height) {
  Camera cam{};
  cam.position = glm::vec3(c.world[3]);
  cam.rotation = rotation_of(c.world);
  cam.world = glm::mat4_cast(cam.rotation);
  cam.world[3] = glm::vec4(cam.position, 1);
  cam.view = glm::inverse(cam.world);
  cam.near_plane = c.near_plane;
  cam.far_plane = c.far_plane;
  cam.infinite = c.far_plane / c.near_plane > kInfiniteFarRatio;
  cam.aspect = height > 0 ? static_cast<float>(width) / static_cast<float>(height) : 1.0f;
  return cam;
}

// Left-handed perspective (view space +z forward), 90 degree horizontal field of view.
glm::mat4 projection(const Camera& cam) {
  glm::mat4 p(0.0f);
  p[0][0] = 1.0f;        // 1 / tan(45 deg)
  p[1][1] = cam.aspect;  // the vertical extent follows the window's shape
  p[2][3] = 1.0f;        // w = z
  const float n = cam.near_plane, f = cam.far_plane;
  if (cam.infinite) {
    p[2][2] = 1.0f - kInfiniteEpsilon;
    p[3][2] = (kInfiniteEpsilon - 2.0f) * n;
  } else {
    p[2][2] = (f + n) / (f - n);
    p[3][2] = -2.0f * f * n / (f - n);
  }
  return p;
}

// Sphere against the view frustum, in view space.
bool outside_frustum(const Camera& cam, const glm::vec3& c, float r) {
  if (c.z + r < cam.near_plane) return true;
  if (!cam.infinite && c.z - r > cam.far_plane) return true;
  constexpr float kInvSqrt2 = 0.70710678f;
  if ((c.x - c.z) * kInvSqrt2 > r || (-c.x - c.z) * kInvSqrt2 > r) return true;
  const float ty = 1.0f / cam.aspect;
  const float inv = 1.0f / std::sqrt(1.0f + ty * ty);
  return (c.y - ty * c.z) * inv > r || (-c.y - ty * c.z) * inv > r;
}

bool is_drawable(const E3DEntity& e) {
  return e.kind == Kind::Mesh || e.kind == Kind::Plane || e.kind == Kind::Sprite;
}

bool needs_blending(E3DEntity& e) {
  if (e.alpha < 1.0f || e.blend != 1 || (e.fx & 32)) return true;
  if (e.texture && e.texture->has_alpha) return true;
  if ((e.fx & 2) && e.kind != Kind::Sprite) {
    local_radius(e);  // refreshes vertex_alpha too
    return e.vertex_alpha;
  }
  return false;
}

float world_radius(E3DEntity& e) {
  if (e.kind == Kind::Plane) return 0.0f;
  if (e.kind == Kind::Sprite) {
    const float sx = glm::length(glm::vec3(e.world[0])), sy = glm::length(glm::vec3(e.world[1]));
    return glm::length(e.sprite_half * glm::vec2(sx, sy));
  }
  return local_radius(e) * max_axis_scale(e.world);
}

float shell_inner_radius(const E3DEntity& e) {
  // The facets of a sphere with n segments lie at least cos(pi / n) of its radius from the centre.
  return e.shell_radius * min_axis_scale(e.world) *
         std::cos(glm::pi<float>() / static_cast<float>(e.sphere_segments));
}

bool is_shell(const E3DEntity& e) {
  return e.kind == Kind::Mesh && e.sphere_segments > 0;
}

// An occluder is a closed sphere, opaque, showing its inside, around the camera: it covers the
// whole view, so order-0 geometry wholly outside it cannot show and is not drawn at all.
void collect_occluders(const Camera& cam, EngineState& s) {
  s.occluders.clear();
  for (const DrawItem& item : s.draw_list) {
    const E3DEntity& e = *item.entity;
    if (item.blended || e.order != 0 || !is_shell(e)) continue;
    if (!e.inside_out && !(e.fx & 16)) continue;
    if (e.texture && e.texture->masked) continue;
    const glm::vec3 c(e.world[3]);
    if (glm::length(cam.position - c) + 2.0f * cam.near_plane >= shell_inner_radius(e)) continue;
    s.occluders.push_back(item.entity);
  }
}

bool hidden_by_occluder(const DrawItem& item, const EngineState& s) {
  const E3DEntity& e = *item.entity;
  if (e.order != 0 || e.kind == Kind::Plane) return false;
  const glm::vec3 c(e.world[3]);
  for (const E3DEntity* occ : s.occluders) {
    if (occ == &e) continue;
    const glm::vec3 oc(occ->world[3]);
    const float outer = occ->shell_radius * max_axis_scale(occ->world);
    const float d = glm::length(c - oc);
    const float r = item.extent - item.distance;  // the entity's world radius
    if (d - r >= outer) return true;              // wholly outside the occluder
    if (is_shell(e)) {
      if (shell_inner_radius(e) - d >= outer) return true;  // a shell around the occluder
      // The same sphere scaled up about the same centre contains it exactly.
      const float own = e.shell_radius * min_axis_scale(e.world);
      if (e.sphere_segments == occ->sphere_segments && d <= 1e-5f * outer &&
          std::fabs(glm::dot(rotation_of(e.world), rotation_of(occ->world))) > 1.0f - 1e-6f &&
          max_axis_scale(e.world) - min_axis_scale(e.world) <= 1e-5f * own &&
          max_axis_scale(occ->world) - min_axis_scale(occ->world) <= 1e-5f * outer &&
          (own > outer || (own == outer && e.serial > occ->serial))) {
        return true;
      }
    }
  }
  return false;
}

// Orders descending (positive first, 0, then -1, -2, ...); opaque before blended in a group;
// order-0 opaque near to far for the depth test's sake, everything else far to near.
bool draw_before(const DrawItem& a, const DrawItem& b) {
  const E3DEntity& ea = *a.entity;
  const E3DEntity& eb = *b.entity;
  if (ea.order != eb.order) return ea.order > eb.order;
  if (a.blended != b.blended) return !a.blended;
  if (!a.blended && ea.order == 0) {
    if (a.distance != b.distance) return a.distance < b.distance;
  } else if (a.extent != b.extent) {
    return a.extent > b.extent;  // farthest reach first: nested shells go outside in
  }
  return ea.serial < eb.serial;
}

void set_base_state(const EngineState& s) {
  if (s.have_programs) glUseProgram(0);
  if (s.have_buffer_objects) {
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  }
  for (int unit = s.texture_units - 1; unit >= 0; --unit) {
    glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + unit));
    glClientActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + unit));
    glDisable(GL_TEXTURE_1D);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_3D);
    glDisable(GL_TEXTURE_CUBE_MAP);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glDisable(GL_TEXTURE_GEN_R);
    glDisable(GL_TEXTURE_GEN_Q);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
  }
  glBindTexture(GL_TEXTURE_2D, 0);

  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_INDEX_ARRAY);
  glDisableClientState(GL_EDGE_FLAG_ARRAY);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);

  glDisable(GL_ALPHA_TEST);
  glAlphaFunc(GL_GREATER, 0.5f);
  glDisable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ZERO);
  if (s.blend_equation) glBlendEquation(GL_FUNC_ADD);
  glDisable(GL_STENCIL_TEST);
  glDisable(GL_SCISSOR_TEST);
  glDisable(GL_FOG);
  glDisable(GL_COLOR_LOGIC_OP);
  glDisable(GL_POLYGON_OFFSET_FILL);
  glDisable(GL_POLYGON_STIPPLE);
  glDisable(GL_AUTO_NORMAL);
  for (int i = 0; i < 6; ++i) glDisable(static_cast<GLenum>(GL_CLIP_PLANE0 + i));
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);

  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glDepthMask(GL_TRUE);
  glDepthRange(0.0, 1.0);

  glFrontFace(GL_CW);  // our front winding, seen through a left-handed projection
  glCullFace(GL_BACK);
  glEnable(GL_CULL_FACE);

  glEnable(GL_NORMALIZE);  // entities are scaled, often unevenly
  glShadeModel(GL_SMOOTH);
  glEnable(GL_LIGHTING);
  const GLfloat ambient[4] = {127.0f / 255.0f, 127.0f / 255.0f, 127.0f / 255.0f, 1.0f};
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
  glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, GL_FALSE);
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_FALSE);
  glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SINGLE_COLOR);
  const GLfloat zero[4] = {0, 0, 0, 1};
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, zero);
  glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, zero);
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 0.0f);
  glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
  glEnable(GL_COLOR_MATERIAL);
  for (int i = 0; i < kMaxLights; ++i) glDisable(static_cast<GLenum>(GL_LIGHT0 + i));

  glViewport(0, 0, s.width, s.height);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void set_lights(const Camera& cam, const EngineState& s) {
  glMatrixMode(GL_MODELVIEW);
  glLoadMatrixf(&cam.view[0][0]);  // light positions are given in the world
  int n = 0;
  for (const auto& owned : s.entities) {
    const E3DEntity& e = *owned;
    if (e.kind != Kind::Light || !e.shown || n == kMaxLights) continue;
    const GLenum light = static_cast<GLenum>(GL_LIGHT0 + n++);
    const glm::vec3 pos(e.world[3]);
    const glm::vec3 dir = glm::normalize(glm::vec3(e.world[2]));
    const GLfloat diffuse[4] = {e.color.r / 255.0f, e.color.g / 255.0f, e.color.b / 255.0f, 1};
    const GLfloat black[4] = {0, 0, 0, 1};
    glLightfv(light, GL_AMBIENT, black);
    glLightfv(light, GL_DIFFUSE, diffuse);
    glLightfv(light, GL_SPECULAR, black);
    glLightf(light, GL_CONSTANT_ATTENUATION, 1.0f);
    glLightf(light, GL_LINEAR_ATTENUATION, 0.0f);
    glLightf(light, GL_QUADRATIC_ATTENUATION, 0.0f);
    if (e.light_type == 1) {
      const GLfloat towards[4] = {-dir.x, -dir.y, -dir.z, 0};  // GL wants the way to the light
      glLightfv(light, GL_POSITION, towards);
      glLightf(light, GL_SPOT_CUTOFF, 180.0f);
    } else {
      const GLfloat at[4] = {pos.x, pos.y, pos.z, 1};
      glLightfv(light, GL_POSITION, at);
      if (e.light_type == 3) {
        const GLfloat spot[3] = {dir.x, dir.y, dir.z};
        glLightfv(light, GL_SPOT_DIRECTION, spot);
        glLightf(light, GL_SPOT_CUTOFF, 45.0f);
        glLightf(light, GL_SPOT_EXPONENT, 0.0f);
      } else {
        glLightf(light, GL_SPOT_CUTOFF, 180.0f);
      }
    }
    glEnable(light);
  }
}

void build_draw_list(const Camera& cam, EngineState& s) {
  s.draw_list.clear();
  for (const auto& owned : s.entities) {
    E3DEntity& e = *owned;
    if (!is_drawable(e) || !e.shown || !(e.alpha > 0.0f)) continue;
    const glm::vec3 centre(e.world[3]);
    float radius = world_radius(e);
    float distance = glm::length(centre - cam.position);
    if (e.kind == Kind::Plane) {
      distance = std::fabs(cam.position.y - centre.y);
    } else {
      const float cull =
          e.cull_radius >= 0.0f
              ? e.cull_radius * (e.kind == Kind::Sprite ? 1.0f : max_axis_scale(e.world))
              : radius;
      if (outside_frustum(cam, glm::vec3(cam.view * glm::vec4(centre, 1)), cull)) continue;
    }
    s.draw_list.push_back(DrawItem{&e, distance, distance + radius, needs_blending(e)});
  }
  collect_occluders(cam, s);
  if (!s.occluders.empty()) {
    auto hidden = [&s](const DrawItem& item) { return hidden_by_occluder(item, s); };
    s.draw_list.erase(std::remove_if(s.draw_list.begin(), s.draw_list.end(), hidden),
                      s.draw_list.end());
  }
  std::sort(s.draw_list.begin(), s.draw_list.end(), draw_before);
}

void apply_blend(const DrawItem& item) {
  if (!item.blended) {
    glDisable(GL_BLEND);
    return;
  }
  glEnable(GL_BLEND);
  switch (item.entity->blend) {
    case 2:
      glBlendFunc(GL_DST_COLOR, GL_ZERO);
      break;
    case 3:
      glBlendFunc(GL_SRC_ALPHA, GL_ONE);
      break;
    default:
      glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
      break;
  }
}

// Vertices and indices either in client memory or, where the context has them, in buffers.
struct Geometry {
  const Vertex* vertices;
  std::size_t vertex_count;
  const std::uint32_t* indices;
  std::size_t index_count;
  unsigned vertex_buffer, index_buffer;  // 0: draw from client memory
};

void refresh_buffers(E3DSurface& surf, const EngineState& s) {
  if (!s.have_buffer_objects) return;
  if (surf.vertex_buffer == 0) {
    glGenBuffers(1, &surf.vertex_buffer);
    glGenBuffers(1, &surf.index_buffer);
    surf.buffers_stale = true;
  }
  if (!surf.buffers_stale) return;
  glBindBuffer(GL_ARRAY_BUFFER, surf.vertex_buffer);
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(surf.vertices.size() * sizeof(Vertex)),
               surf.vertices.data(), GL_STATIC_DRAW);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, surf.index_buffer);
  glBufferData(GL_ELEMENT_ARRAY_BUFFER,
               static_cast<GLsizeiptr>(surf.indices.size() * sizeof(std::uint32_t)),
               surf.indices.data(), GL_STATIC_DRAW);
  surf.buffers_stale = false;
}

void draw_geometry(const Geometry& g, bool textured, const glm::vec4* colors) {
  if (g.index_count == 0 || g.vertex_count == 0) return;
  const bool buffered = g.vertex_buffer != 0;
  auto at = [&](std::size_t offset) -> const void* {
    return buffered ? reinterpret_cast<const void*>(offset)
                    : reinterpret_cast<const char*>(g.vertices) + offset;
  };
  if (buffered) {
    glBindBuffer(GL_ARRAY_BUFFER, g.vertex_buffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, g.index_buffer);
  }
  glVertexPointer(3, GL_FLOAT, sizeof(Vertex), at(offsetof(Vertex, position)));
  glNormalPointer(GL_FLOAT, sizeof(Vertex), at(offsetof(Vertex, normal)));
  if (textured) {
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, sizeof(Vertex), at(offsetof(Vertex, uv)));
  } else {
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  }
  if (colors) {
    if (buffered) glBindBuffer(GL_ARRAY_BUFFER, 0);  // the tinted colours live in client memory
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(4, GL_FLOAT, sizeof(glm::vec4), colors);
  } else {
    glDisableClientState(GL_COLOR_ARRAY);
  }
  glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(g.index_count), GL_UNSIGNED_INT,
                 buffered ? nullptr : g.indices);
  if (buffered) {
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  }
}

void draw_item(const Camera& cam, const DrawItem& item, EngineState& s) {
  E3DEntity& e = *item.entity;

  if (e.order == 0) {
    glEnable(GL_DEPTH_TEST);
    glDepthMask(item.blended ? GL_FALSE : GL_TRUE);
  } else {
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
  }
  apply_blend(item);
  if (e.fx & 16) {
    glDisable(GL_CULL_FACE);
  } else {
    glEnable(GL_CULL_FACE);
  }
  if (e.fx & 1) {
    glDisable(GL_LIGHTING);
  } else {
    glEnable(GL_LIGHTING);
  }
  glShadeModel((e.fx & 4) ? GL_FLAT : GL_SMOOTH);
  const glm::vec4 tint(e.color / 255.0f, e.alpha);
  glColor4f(tint.r, tint.g, tint.b, tint.a);

  const E3DTexture* tex = e.texture;
  const bool textured = tex && tex->gl_name != 0;
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  if (textured) {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, tex->gl_name);
    const float su = tex->scale_u != 0.0f ? tex->scale_u : 1.0f;
    const float sv = tex->scale_v != 0.0f ? tex->scale_v : 1.0f;
    glScalef(1.0f / su, 1.0f / sv, 1.0f);
  } else {
    glDisable(GL_TEXTURE_2D);
  }
  if (textured && tex->masked) {
    glEnable(GL_ALPHA_TEST);
  } else {
    glDisable(GL_ALPHA_TEST);
  }

  glm::mat4 model;
  if (e.kind == Kind::Sprite) {
    const glm::vec2 half = e.sprite_half * glm::vec2(glm::length(glm::vec3(e.world[0])),
                                                     glm::length(glm::vec3(e.world[1])));
    model = glm::mat4_cast(sprite_rotation(e, cam.world));
    model[0] *= half.x;
    model[1] *= half.y;
    model[3] = e.world[3];
  } else if (e.kind == Kind::Plane) {
    // Horizontal at the entity's height, centred under the camera, out to the far range.
    const float reach = std::min(cam.far_plane, kPlaneReachCap);
    model = glm::mat4(1.0f);
    model[0][0] = reach;
    model[2][2] = reach;
    model[3] = glm::vec4(cam.position.x, e.world[3].y, cam.position.z, 1);
    if (textured) {
      // Texture coordinates stay fixed in the world as the plane follows the camera.
      const float su = tex->scale_u != 0.0f ? tex->scale_u : 1.0f;
      const float sv = tex->scale_v != 0.0f ? tex->scale_v : 1.0f;
      glLoadIdentity();
      glTranslatef(std::fmod(cam.position.x / su, 1.0f), std::fmod(-cam.position.z / sv, 1.0f), 0);
      glScalef(reach / su, reach / sv, 1);
    }
  } else {
    model = e.world;
  }
  glMatrixMode(GL_MODELVIEW);
  const glm::mat4 modelview = cam.view * model;
  glLoadMatrixf(&modelview[0][0]);
  // A mirroring scale (an odd number of negative axes) turns the winding around on screen.
  glFrontFace(glm::determinant(glm::mat3(model)) < 0.0f ? GL_CCW : GL_CW);

  if (e.kind == Kind::Sprite) {
    draw_geometry(
        Geometry{kSpriteQuad, 4, kSpriteIndices, 6, s.sprite_vertex_buffer, s.sprite_index_buffer},
        textured, nullptr);
    return;
  }
  const bool vertex_colors = (e.fx & 2) != 0;
  for (auto& surf : e.surfaces) {
    refresh_normals(*surf);
    const glm::vec4* colors = nullptr;
    if (vertex_colors) {
      // Vertex colours replace the entity colour; the entity's alpha still applies.
      s.scratch_colors.resize(surf->vertices.size());
      for (std::size_t i = 0; i < surf->vertices.size(); ++i) {
        const glm::vec4& c = surf->vertices[i].color;
        s.scratch_colors[i] = glm::vec4(c.r, c.g, c.b, c.a * e.alpha);
      }
      colors = s.scratch_colors.data();
    }
    refresh_buffers(*surf, s);
    draw_geometry(Geometry{surf->vertices.data(), surf->vertices.size(), surf->indices.data(),
                           surf->indices.size(), surf->vertex_buffer, surf->index_buffer},
                  textured, colors);
  }
}

void render_camera(const E3DEntity& camera_entity, EngineState& s) {
  const Camera cam = make_camera(camera_entity, s.width, s.height);
  glMatrixMode(GL_PROJECTION);
  const glm::mat4 proj = projection(cam);
  glLoadMatrixf(&proj[0][0]);
  set_lights(cam, s);
  build_draw_list(cam, s);
  for (const DrawItem& item : s.draw_list) draw_item(cam, item, s);
}

}  // namespace

void release_buffers(E3DEntity& e) {
  const EngineState& s = state();
  for (auto& surf : e.surfaces) {
    if (s.graphics_ready && s.have_buffer_objects && surf->vertex_buffer != 0) {
      glDeleteBuffers(1, &surf->vertex_buffer);
      glDeleteBuffers(1, &surf->index_buffer);
    }
    surf->vertex_buffer = surf->index_buffer = 0;
    surf->buffers_stale = true;
  }
}

}  // namespace e3d

using namespace e3d;

extern "C" {

void Graphics3D(int width, int height, int /*depth*/, int /*mode*/, int /*rate*/) {
  EngineState& s = state();
  const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  if (!version) {
    std::fprintf(stderr, "engine3d: Graphics3D: no OpenGL context is current\n");
    s.graphics_ready = false;
    return;
  }
  int major = 1, minor = 0;
  std::sscanf(version, "%d.%d", &major, &minor);
  const int ver = major * 10 + minor;
  const char* ext = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  s.npot_textures = ver >= 20 || has_extension(ext, "GL_ARB_texture_non_power_of_two");
  s.generate_mipmap = ver >= 14 || has_extension(ext, "GL_SGIS_generate_mipmap");
  s.blend_equation = ver >= 14;
  s.have_buffer_objects = ver >= 15;
  s.have_programs = ver >= 20;
  GLint units = 1;
  glGetIntegerv(GL_MAX_TEXTURE_UNITS, &units);
  s.texture_units = std::clamp(static_cast<int>(units), 1, 8);
  if (width <= 0 || height <= 0) {
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    width = viewport[2];
    height = viewport[3];
  }
  s.width = width;
  s.height = height;
  if (s.have_buffer_objects && s.sprite_vertex_buffer == 0) {
    glGenBuffers(1, &s.sprite_vertex_buffer);
    glBindBuffer(GL_ARRAY_BUFFER, s.sprite_vertex_buffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof(kSpriteQuad), kSpriteQuad, GL_STATIC_DRAW);
    glGenBuffers(1, &s.sprite_index_buffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, s.sprite_index_buffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof(kSpriteIndices), kSpriteIndices, GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  }
  s.graphics_ready = true;
  upload_pending_textures();
}

void RenderWorld(void) {
  EngineState& s = state();
  if (!s.graphics_ready) return;
  update_world_matrices();
  set_base_state(s);
  glClearColor(0, 0, 0, 1);
  glClearDepth(1.0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  bool first = true;
  for (const auto& owned : s.entities) {
    if (owned->kind != Kind::Camera || !owned->shown) continue;
    if (!first) {
      glDepthMask(GL_TRUE);
      glClear(GL_DEPTH_BUFFER_BIT);
    }
    first = false;
    render_camera(*owned, s);
  }
  // Leave the client arrays off and unit 0 active for whoever draws next.
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
  glMatrixMode(GL_MODELVIEW);
}

}  // extern "C"

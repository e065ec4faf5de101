/* meshes.cpp — meshes, surfaces and the built-in primitives (sphere, plane, sprite): vertex and
   triangle building with checked indices, ScaleMesh, FlipMesh, bounds, hand-built normals and
   the orientation of sprites for each view mode. */
#include <algorithm>
#include <cmath>

#include "engine_state.h"

namespace e3d {

float local_radius(E3DEntity& e) {
  if (e.kind == Kind::Sprite) return std::sqrt(glm::dot(e.sprite_half, e.sprite_half));
  if (!e.bounds_dirty) return e.local_radius;
  float r2 = 0.0f;
  e.vertex_alpha = false;
  for (const auto& s : e.surfaces) {
    for (const Vertex& v : s->vertices) {
      r2 = std::max(r2, glm::dot(v.position, v.position));
      if (v.color.a < 1.0f) e.vertex_alpha = true;
    }
  }
  e.local_radius = std::sqrt(r2);
  e.bounds_dirty = false;
  return e.local_radius;
}

void refresh_normals(E3DSurface& s) {
  if (!s.normals_dirty) return;
  for (Vertex& v : s.vertices) v.normal = glm::vec3(0.0f);
  for (std::size_t i = 0; i + 2 < s.indices.size(); i += 3) {
    Vertex& a = s.vertices[s.indices[i]];
    Vertex& b = s.vertices[s.indices[i + 1]];
    Vertex& c = s.vertices[s.indices[i + 2]];
    // Front is where (v1 - v0) x (v2 - v0) points; the area weighting comes for free.
    const glm::vec3 n = glm::cross(b.position - a.position, c.position - a.position);
    a.normal += n;
    b.normal += n;
    c.normal += n;
  }
  for (Vertex& v : s.vertices) {
    const float len = glm::length(v.normal);
    v.normal = len > 0.0f ? v.normal / len : glm::vec3(0, 1, 0);
  }
  s.normals_dirty = false;
  s.buffers_stale = true;
}

static E3DSurface* add_surface(E3DEntity& mesh) {
  mesh.surfaces.push_back(std::make_unique<E3DSurface>());
  E3DSurface* s = mesh.surfaces.back().get();
  s->mesh = &mesh;
  return s;
}

// Unit sphere: 2n slices around y, n stacks from the top pole (v = 0) to the bottom (v = 1).
void build_sphere(E3DEntity& e, int segments) {
  const int n = std::clamp(segments, 2, 100);
  E3DSurface* s = add_surface(e);
  const int cols = 2 * n + 1;  // the seam column is doubled so u runs 0..1
  s->vertices.reserve(static_cast<std::size_t>((n + 1) * cols));
  for (int i = 0; i <= n; ++i) {
    const float theta = glm::pi<float>() * static_cast<float>(i) / static_cast<float>(n);
    for (int j = 0; j < cols; ++j) {
      const float phi = glm::pi<float>() * static_cast<float>(j) / static_cast<float>(n);
      const glm::vec3 p(std::sin(theta) * std::cos(phi), std::cos(theta),
                        std::sin(theta) * std::sin(phi));
      s->vertices.push_back(Vertex{p, p,
                                   glm::vec2(static_cast<float>(j) / static_cast<float>(2 * n),
                                             static_cast<float>(i) / static_cast<float>(n)),
                                   glm::vec4(1.0f)});
    }
  }
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < 2 * n; ++j) {
      const auto a = static_cast<std::uint32_t>(i * cols + j);  // upper ring
      const auto b = a + 1;
      const auto c = a + static_cast<std::uint32_t>(cols);  // lower ring
      const auto d = c + 1;
      // Both triangles wind so that their front faces outward; pole slivers are skipped.
      if (i != 0) s->indices.insert(s->indices.end(), {a, b, c});
      if (i != n - 1) s->indices.insert(s->indices.end(), {c, b, d});
    }
  }
  e.sphere_segments = n;
  e.shell_radius = 1.0f;
  e.bounds_dirty = true;
}

// Unit grid over x, z in [-1, 1] at y = 0, front up; the renderer stretches it to the camera's
// far range around the camera each frame.
void build_plane(E3DEntity& e, int divisions) {
  const int n = std::clamp(divisions, 1, 256);
  E3DSurface* s = add_surface(e);
  const float step = 2.0f / static_cast<float>(n);
  for (int i = 0; i <= n; ++i) {
    for (int j = 0; j <= n; ++j) {
      const float x = -1.0f + step * static_cast<float>(j);
      const float z = -1.0f + step * static_cast<float>(i);
      s->vertices.push_back(
          Vertex{glm::vec3(x, 0, z), glm::vec3(0, 1, 0), glm::vec2(x, -z), glm::vec4(1.0f)});
    }
  }
  const auto row = static_cast<std::uint32_t>(n + 1);
  for (std::uint32_t i = 0; i < static_cast<std::uint32_t>(n); ++i) {
    for (std::uint32_t j = 0; j < static_cast<std::uint32_t>(n); ++j) {
      const std::uint32_t a = i * row + j, b = a + 1, c = a + row, d = c + 1;
      s->indices.insert(s->indices.end(), {a, c, b, b, c, d});
    }
  }
  e.divisions = n;
  e.bounds_dirty = true;
}

glm::quat sprite_rotation(const E3DEntity& sprite, const glm::mat4& cam_world) {
  const glm::vec3 to_sprite = glm::vec3(sprite.world[3]) - glm::vec3(cam_world[3]);
  const float flat = std::sqrt(to_sprite.x * to_sprite.x + to_sprite.z * to_sprite.z);
  switch (sprite.view_mode) {
    case 2:  // fixed: the sprite's own orientation
      return rotation_of(sprite.world);
    case 3:  // upright, turned about y only to face the camera
      if (flat < 1e-12f) return rotation_of(cam_world);
      return euler_rotation(0.0f, glm::degrees(std::atan2(-to_sprite.x, to_sprite.z)), 0.0f);
    case 4:  // upright (no roll), turned and tilted toward the camera
      if (flat < 1e-12f && std::fabs(to_sprite.y) < 1e-12f) return rotation_of(cam_world);
      return euler_rotation(glm::degrees(std::atan2(to_sprite.y, flat)),
                            glm::degrees(std::atan2(-to_sprite.x, to_sprite.z)), 0.0f);
    default:  // 1: parallel to the camera's image plane, whole even straight overhead
      return rotation_of(cam_world);
  }
}

}  // namespace e3d

using namespace e3d;

extern "C" {

Entity CreateMesh(Entity parent) {
  return create_entity(Kind::Mesh, parent);
}

Entity CreateSphere(int segments, Entity parent) {
  E3DEntity* e = create_entity(Kind::Mesh, parent);
  build_sphere(*e, segments);
  return e;
}

Entity CreatePlane(int divisions, Entity parent) {
  E3DEntity* e = create_entity(Kind::Plane, parent);
  build_plane(*e, divisions);
  return e;
}

Entity CreateSprite(Entity parent) {
  return create_entity(Kind::Sprite, parent);
}

Surface CreateSurface(Entity mesh, Brush /*brush*/) {
  if (!mesh || mesh->kind != Kind::Mesh) return nullptr;
  mesh->sphere_segments = 0;  // no longer just the closed sphere
  return add_surface(*mesh);
}

int AddVertex(Surface s, float x, float y, float z, float u, float v, float /*w*/) {
  if (!s) return -1;
  s->vertices.push_back(
      Vertex{glm::vec3(x, y, z), glm::vec3(0, 1, 0), glm::vec2(u, v), glm::vec4(1.0f)});
  s->normals_dirty = true;
  s->buffers_stale = true;
  s->mesh->bounds_dirty = true;
  s->mesh->sphere_segments = 0;
  return static_cast<int>(s->vertices.size() - 1);
}

void VertexColor(Surface s, int vertex, float red, float green, float blue, float alpha) {
  if (!s || vertex < 0 || static_cast<std::size_t>(vertex) >= s->vertices.size()) return;
  s->vertices[static_cast<std::size_t>(vertex)].color =
      glm::vec4(red / 255.0f, green / 255.0f, blue / 255.0f, alpha);
  s->buffers_stale = true;
  s->mesh->bounds_dirty = true;
}

int AddTriangle(Surface s, int v0, int v1, int v2) {
  if (!s) return -1;
  const auto count = static_cast<long long>(s->vertices.size());
  for (int v : {v0, v1, v2}) {
    if (v < 0 || v >= count) return -1;  // never draw from memory the surface does not own
  }
  s->indices.insert(s->indices.end(),
                    {static_cast<std::uint32_t>(v0), static_cast<std::uint32_t>(v1),
                     static_cast<std::uint32_t>(v2)});
  s->normals_dirty = true;
  s->buffers_stale = true;
  s->mesh->sphere_segments = 0;
  return static_cast<int>(s->indices.size() / 3 - 1);
}

void ScaleMesh(Entity mesh, float x, float y, float z) {
  if (!mesh || (mesh->kind != Kind::Mesh && mesh->kind != Kind::Plane)) return;
  const glm::vec3 k(x, y, z);
  for (auto& s : mesh->surfaces) {
    s->buffers_stale = true;
    for (Vertex& v : s->vertices) {
      v.position *= k;
      // Normals transform by the inverse transpose: divide, then renormalise.
      glm::vec3 n = v.normal;
      for (int i = 0; i < 3; ++i) n[i] = k[i] != 0.0f ? n[i] / k[i] : 0.0f;
      const float len = glm::length(n);
      if (len > 0.0f) v.normal = n / len;
    }
  }
  mesh->bounds_dirty = true;
  if (x == y && y == z && x > 0.0f) {
    mesh->shell_radius *= x;
  } else {
    mesh->sphere_segments = 0;
  }
}

void FlipMesh(Entity mesh) {
  if (!mesh || (mesh->kind != Kind::Mesh && mesh->kind != Kind::Plane)) return;
  for (auto& s : mesh->surfaces) {
    s->buffers_stale = true;
    for (std::size_t i = 0; i + 2 < s->indices.size(); i += 3) {
      std::swap(s->indices[i + 1], s->indices[i + 2]);
    }
    for (Vertex& v : s->vertices) v.normal = -v.normal;
  }
  mesh->inside_out = !mesh->inside_out;
}

void ScaleSprite(Entity sprite, float x, float y) {
  if (sprite && sprite->kind == Kind::Sprite) sprite->sprite_half = glm::vec2(x, y);
}

void SpriteViewMode(Entity sprite, int mode) {
  if (sprite && sprite->kind == Kind::Sprite && mode >= 1 && mode <= 4) sprite->view_mode = mode;
}

}  // extern "C"

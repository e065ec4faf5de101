/* engine_state.h — the engine's internal data: entities, surfaces, textures and the one struct
   that holds all engine state. Shared by the engine's source files and by white-box tests; not
   part of the public interface, which is engine3d.h. */
#ifndef ENGINE3D_ENGINE_STATE_H
#define ENGINE3D_ENGINE_STATE_H

#include <cstdint>
#include <memory>
#include <vector>

#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>

#include "engine3d.h"

namespace e3d {

enum class Kind { Camera, Light, Pivot, Mesh, Plane, Sprite };

// One vertex, interleaved: the arrays are handed to GL as they are, with a stride.
struct Vertex {
  glm::vec3 position;
  glm::vec3 normal;
  glm::vec2 uv;
  glm::vec4 color;  // 0..1, used with EntityFX 2
};

}  // namespace e3d

struct E3DTexture {
  unsigned gl_name = 0;  // 0 until uploaded into a GL context
  int width = 0, height = 0;
  int flags = 0;
  bool has_alpha = false;  // some texel has alpha < 255 (blending needed)
  bool masked = false;     // flag 4: black texels are cut out by the alpha test
  float scale_u = 1, scale_v = 1;
  std::vector<std::uint8_t> pending_rgba;  // pixels kept only until a context can take them
};

struct E3DBrush {};  // surfaces take a brush, but this engine keeps appearance per entity

struct E3DSurface {
  E3DEntity* mesh = nullptr;
  std::vector<e3d::Vertex> vertices;
  std::vector<std::uint32_t> indices;            // three per triangle
  bool normals_dirty = false;                    // built by hand: normals come from the triangles
  unsigned vertex_buffer = 0, index_buffer = 0;  // GL copies, where the context has buffers
  bool buffers_stale = true;                     // the GL copies lag behind the arrays above
};

struct E3DEntity {
  e3d::Kind kind = e3d::Kind::Pivot;
  std::uint64_t serial = 0;  // creation order
  E3DEntity* parent = nullptr;
  std::vector<E3DEntity*> children;

  // Local transform: world = parent_world * T(position) * R(rotation) * S(scale).
  glm::vec3 position{0.0f};
  glm::quat rotation{1.0f, 0.0f, 0.0f, 0.0f};
  glm::vec3 scale{1.0f};
  bool visible = true;

  // Appearance.
  glm::vec3 color{255.0f};
  float alpha = 1.0f;
  int blend = 1;
  int fx = 0;
  int order = 0;
  E3DTexture* texture = nullptr;
  float cull_radius = -1.0f;  // < 0: derived from the geometry

  // Meshes, spheres and planes.
  std::vector<std::unique_ptr<E3DSurface>> surfaces;
  bool bounds_dirty = true;
  float local_radius = 0.0f;  // farthest vertex from the local origin
  bool vertex_alpha = false;  // some vertex colour has alpha < 1 (matters with EntityFX 2)
  int sphere_segments = 0;    // > 0 while the mesh is still the closed sphere CreateSphere made
  float shell_radius = 1.0f;  // radius of that sphere's vertices after ScaleMesh
  bool inside_out = false;    // sphere flipped an odd number of times
  int divisions = 1;          // plane tessellation

  // Sprites.
  glm::vec2 sprite_half{1.0f, 1.0f};
  int view_mode = 1;

  // Cameras.
  float near_plane = 1.0f, far_plane = 1000.0f;

  // Lights.
  int light_type = 1;

  // Per-frame cache filled by RenderWorld.
  glm::mat4 world{1.0f};
  bool shown = true;  // visible and every ancestor visible
};

namespace e3d {

// One entry of the per-frame draw list.
struct DrawItem {
  E3DEntity* entity;
  float distance;  // camera to entity centre
  float extent;    // distance + world radius: far side, the key for blended items
  bool blended;
};

// Everything the engine knows lives here, in one place.
struct EngineState {
  std::vector<std::unique_ptr<E3DEntity>> entities;  // creation order
  std::vector<std::unique_ptr<E3DTexture>> textures;
  std::uint64_t next_serial = 1;

  bool graphics_ready = false;
  int width = 0, height = 0;
  bool npot_textures = false;
  bool generate_mipmap = false;
  bool blend_equation = false;
  bool have_buffer_objects = false;
  unsigned sprite_vertex_buffer = 0, sprite_index_buffer = 0;
  bool have_programs = false;
  int texture_units = 1;

  std::vector<DrawItem> draw_list;  // reused every frame; capacity only grows
  std::vector<E3DEntity*> occluders;
  std::vector<glm::vec4> scratch_colors;
};

EngineState& state();

// Scene graph and transforms (scene_graph.cpp).
E3DEntity* create_entity(Kind kind, E3DEntity* parent);
glm::mat4 local_matrix(const E3DEntity& e);
glm::mat4 world_matrix(const E3DEntity& e);                    // walks the parent chain
glm::quat world_rotation(const E3DEntity& e);                  // rotation part only
glm::quat euler_rotation(float pitch, float yaw, float roll);  // yaw, then pitch, then roll
glm::vec3 forward_of(const glm::quat& q);   // the local +z axis in the parent's space
glm::quat rotation_of(const glm::mat4& m);  // rotation of a matrix, scale removed
void update_world_matrices();               // fills world and shown for every entity
void free_entity(E3DEntity* e);

// Meshes and primitives (meshes.cpp).
float local_radius(E3DEntity& e);     // refreshes the cached bounds when needed
void refresh_normals(E3DSurface& s);  // averages face normals of a hand-built surface
void build_sphere(E3DEntity& e, int segments);
void build_plane(E3DEntity& e, int divisions);
// The sprite's world orientation for a camera at cam_world (view modes 1-4).
glm::quat sprite_rotation(const E3DEntity& sprite, const glm::mat4& cam_world);

// Rendering (render.cpp).
void release_buffers(E3DEntity& e);  // drops the entity's GL buffer objects

// Textures (textures.cpp).
void upload_pending_textures();
void free_texture(E3DTexture* t);

}  // namespace e3d

#endif

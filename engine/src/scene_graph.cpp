/* scene_graph.cpp — entities, parenting and transforms: creation of cameras, lights and pivots,
   position/rotation/scale in local or world space, PointEntity, appearance switches and the
   freeing of entities. Rotations follow the engine's left-handed yaw-pitch-roll convention. */
#include <algorithm>
#include <cmath>

#include "engine_state.h"

namespace e3d {

EngineState& state() {
  static EngineState s;
  return s;
}

E3DEntity* create_entity(Kind kind, E3DEntity* parent) {
  EngineState& s = state();
  auto owned = std::make_unique<E3DEntity>();
  E3DEntity* e = owned.get();
  e->kind = kind;
  e->serial = s.next_serial++;
  if (parent) {
    e->parent = parent;
    parent->children.push_back(e);
  }
  s.entities.push_back(std::move(owned));
  return e;
}

// Positive pitch lifts +z toward +y and positive yaw turns +z toward -x: in glm's right-hand
// formulas on our components both are rotations by the negated angle.
glm::quat euler_rotation(float pitch, float yaw, float roll) {
  const glm::quat qy = glm::angleAxis(glm::radians(-yaw), glm::vec3(0, 1, 0));
  const glm::quat qx = glm::angleAxis(glm::radians(-pitch), glm::vec3(1, 0, 0));
  const glm::quat qz = glm::angleAxis(glm::radians(-roll), glm::vec3(0, 0, 1));
  return glm::normalize(qy * qx * qz);
}

glm::vec3 forward_of(const glm::quat& q) {
  return q * glm::vec3(0, 0, 1);
}

glm::quat rotation_of(const glm::mat4& m) {
  return glm::normalize(
      glm::quat_cast(glm::mat3(glm::normalize(glm::vec3(m[0])), glm::normalize(glm::vec3(m[1])),
                               glm::normalize(glm::vec3(m[2])))));
}

glm::mat4 local_matrix(const E3DEntity& e) {
  glm::mat4 m = glm::mat4_cast(e.rotation);
  m[0] *= e.scale.x;
  m[1] *= e.scale.y;
  m[2] *= e.scale.z;
  m[3] = glm::vec4(e.position, 1.0f);
  return m;
}

glm::mat4 world_matrix(const E3DEntity& e) {
  const glm::mat4 local = local_matrix(e);
  return e.parent ? world_matrix(*e.parent) * local : local;
}

glm::quat world_rotation(const E3DEntity& e) {
  return e.parent ? glm::normalize(world_rotation(*e.parent) * e.rotation) : e.rotation;
}

static glm::vec3 world_scale(const E3DEntity& e) {
  return e.parent ? world_scale(*e.parent) * e.scale : e.scale;
}

static glm::vec3 world_position(const E3DEntity& e) {
  return glm::vec3(world_matrix(e)[3]);
}

static void fill_world(E3DEntity* e, const glm::mat4& parent_world, bool parent_shown) {
  e->world = parent_world * local_matrix(*e);
  e->shown = parent_shown && e->visible;
  for (E3DEntity* c : e->children) fill_world(c, e->world, e->shown);
}

void update_world_matrices() {
  for (auto& owned : state().entities) {
    if (!owned->parent) fill_world(owned.get(), glm::mat4(1.0f), true);
  }
}

static void detach(E3DEntity* e) {
  if (!e->parent) return;
  auto& siblings = e->parent->children;
  siblings.erase(std::remove(siblings.begin(), siblings.end(), e), siblings.end());
  e->parent = nullptr;
}

void free_entity(E3DEntity* e) {
  while (!e->children.empty()) free_entity(e->children.back());
  detach(e);
  release_buffers(*e);
  auto& all = state().entities;
  auto it = std::find_if(all.begin(), all.end(), [e](const auto& p) { return p.get() == e; });
  if (it != all.end()) all.erase(it);
}

static bool is_ancestor_or_self(const E3DEntity* candidate, const E3DEntity* e) {
  for (const E3DEntity* p = e; p; p = p->parent) {
    if (p == candidate) return true;
  }
  return false;
}

}  // namespace e3d

using namespace e3d;

extern "C" {

Entity CreateCamera(Entity parent) {
  return create_entity(Kind::Camera, parent);
}

Entity CreatePivot(Entity parent) {
  return create_entity(Kind::Pivot, parent);
}

Entity CreateLight(int type, Entity parent) {
  E3DEntity* e = create_entity(Kind::Light, parent);
  e->light_type = (type >= 1 && type <= 3) ? type : 1;
  return e;
}

void PositionEntity(Entity e, float x, float y, float z, int global) {
  if (!e) return;
  glm::vec3 p(x, y, z);
  if (global && e->parent) p = glm::vec3(glm::inverse(world_matrix(*e->parent)) * glm::vec4(p, 1));
  e->position = p;
}

void ScaleEntity(Entity e, float x, float y, float z, int global) {
  if (!e) return;
  glm::vec3 sc(x, y, z);
  if (global && e->parent) {
    const glm::vec3 ps = world_scale(*e->parent);
    for (int i = 0; i < 3; ++i) sc[i] = ps[i] != 0.0f ? sc[i] / ps[i] : sc[i];
  }
  e->scale = sc;
}

void RotateEntity(Entity e, float pitch, float yaw, float roll, int global) {
  if (!e) return;
  glm::quat q = euler_rotation(pitch, yaw, roll);
  if (global && e->parent) q = glm::inverse(world_rotation(*e->parent)) * q;
  e->rotation = glm::normalize(q);
}

void TurnEntity(Entity e, float pitch, float yaw, float roll, int global) {
  if (!e) return;
  const glm::quat turn = euler_rotation(pitch, yaw, roll);
  if (global) {
    // Turn about the world axes: new world rotation = turn * old world rotation.
    const glm::quat parent = e->parent ? world_rotation(*e->parent) : glm::quat(1, 0, 0, 0);
    e->rotation = glm::normalize(glm::inverse(parent) * turn * parent * e->rotation);
  } else {
    e->rotation = glm::normalize(e->rotation * turn);
  }
}

void PointEntity(Entity e, Entity target, float roll) {
  if (!e || !target) return;
  const glm::vec3 d = world_position(*target) - world_position(*e);
  const float flat = std::sqrt(d.x * d.x + d.z * d.z);
  if (flat < 1e-12f && std::fabs(d.y) < 1e-12f) return;  // same place: no direction to face
  const float yaw = glm::degrees(std::atan2(-d.x, d.z));
  const float pitch = glm::degrees(std::atan2(d.y, flat));
  RotateEntity(e, pitch, yaw, roll, 1);
}

void EntityParent(Entity e, Entity parent, int global) {
  if (!e) return;
  if (parent && is_ancestor_or_self(e, parent)) return;  // would make a cycle
  glm::vec3 pos{}, sc{};
  glm::quat rot{};
  if (global) {
    pos = world_position(*e);
    rot = world_rotation(*e);
    sc = world_scale(*e);
  }
  detach(e);
  if (parent) {
    e->parent = parent;
    parent->children.push_back(e);
  }
  if (global) {
    e->position = pos;
    e->rotation = rot;
    e->scale = sc;
    if (parent) {
      e->position = glm::vec3(glm::inverse(world_matrix(*parent)) * glm::vec4(pos, 1));
      e->rotation = glm::normalize(glm::inverse(world_rotation(*parent)) * rot);
      const glm::vec3 ps = world_scale(*parent);
      for (int i = 0; i < 3; ++i) e->scale[i] = ps[i] != 0.0f ? sc[i] / ps[i] : sc[i];
    }
  }
}

void ShowEntity(Entity e) {
  if (e) e->visible = true;
}

void HideEntity(Entity e) {
  if (e) e->visible = false;
}

void FreeEntity(Entity e) {
  if (e) free_entity(e);
}

void EntityBlend(Entity e, int blend) {
  if (e && blend >= 1 && blend <= 3) e->blend = blend;
}

void EntityFX(Entity e, int fx) {
  if (e) e->fx = fx;
}

void EntityOrder(Entity e, int order) {
  if (e) e->order = order;
}

void EntityAlpha(Entity e, float alpha) {
  if (e) e->alpha = alpha;
}

void EntityColor(Entity e, float red, float green, float blue) {
  if (e) e->color = glm::vec3(red, green, blue);
}

void MeshCullRadius(Entity e, float radius) {
  if (e) e->cull_radius = radius;
}

void CameraRange(Entity camera, float near_plane, float far_plane) {
  if (!camera || camera->kind != Kind::Camera) return;
  // A range the projection cannot use is ignored rather than turned into a broken matrix.
  if (!(near_plane > 0.0f) || !(far_plane > near_plane)) return;
  camera->near_plane = near_plane;
  camera->far_plane = far_plane;
}

void UpdateWorld(float /*anim_speed*/) {
  // Nothing in this engine animates or collides; transforms are read when the frame is drawn.
}

void ClearWorld(int entities, int /*brushes*/, int textures) {
  EngineState& s = state();
  if (entities) {
    for (auto& e : s.entities) release_buffers(*e);
    s.entities.clear();
  }
  if (textures) {
    for (auto& e : s.entities) e->texture = nullptr;
    for (auto& t : s.textures) free_texture(t.get());
    s.textures.clear();
  }
  // Brushes are never allocated: surfaces take their appearance from the entity.
}

}  // extern "C"

// engine_recorder.cpp — the recording engine double: the 37 engine operations of engine3d.h,
// each logged with its arguments in call order. Handles are small integers cast to pointers, so
// tests can tell which entity a call names without a real scene.
#include "engine_recorder.h"

#include <map>
#include <set>

#include "engine3d.h"

namespace recorder {
namespace {

struct State {
  std::vector<Call> calls;
  std::uintptr_t nextId = 1;
  std::set<std::string> failing;
  std::map<std::uintptr_t, Surface> surfaces;
};
State& state() {
  static State s;
  return s;
}

HandleArg H(const void* p) {
  return HandleArg{Id(p)};
}
double F(double v) {
  return v;
}

template <typename T>
T* NewHandle() {
  return reinterpret_cast<T*>(state().nextId++);
}

template <typename T>
T* Record(std::string name, std::vector<Arg> args, T* result) {
  state().calls.push_back(Call{std::move(name), std::move(args), Id(result)});
  return result;
}
void Record(std::string name, std::vector<Arg> args) {
  state().calls.push_back(Call{std::move(name), std::move(args), 0});
}

}  // namespace

std::vector<Call>& Calls() {
  return state().calls;
}
void Reset() {
  state() = State{};
}
void FailLoadsOf(const std::vector<std::string>& files) {
  state().failing.insert(files.begin(), files.end());
}
void Log(Call call) {
  state().calls.push_back(std::move(call));
}
std::uintptr_t Id(const void* handle) {
  return reinterpret_cast<std::uintptr_t>(handle);
}
const Surface* SurfaceOf(std::uintptr_t surfaceId) {
  auto it = state().surfaces.find(surfaceId);
  return it == state().surfaces.end() ? nullptr : &it->second;
}

}  // namespace recorder

using recorder::F;
using recorder::H;
using recorder::NewHandle;
using recorder::Record;
using recorder::state;

extern "C" {

void Graphics3D(int width, int height, int depth, int mode, int rate) {
  Record("Graphics3D", {F(width), F(height), F(depth), F(mode), F(rate)});
}
Entity CreateCamera(Entity parent) {
  return Record("CreateCamera", {H(parent)}, NewHandle<E3DEntity>());
}
Entity CreatePivot(Entity parent) {
  return Record("CreatePivot", {H(parent)}, NewHandle<E3DEntity>());
}
Entity CreateSprite(Entity parent) {
  return Record("CreateSprite", {H(parent)}, NewHandle<E3DEntity>());
}
Entity CreateMesh(Entity parent) {
  return Record("CreateMesh", {H(parent)}, NewHandle<E3DEntity>());
}
Entity CreateLight(int type, Entity parent) {
  return Record("CreateLight", {F(type), H(parent)}, NewHandle<E3DEntity>());
}
Entity CreateSphere(int segments, Entity parent) {
  return Record("CreateSphere", {F(segments), H(parent)}, NewHandle<E3DEntity>());
}
Entity CreatePlane(int divisions, Entity parent) {
  return Record("CreatePlane", {F(divisions), H(parent)}, NewHandle<E3DEntity>());
}
Texture LoadTexture(const char* file, int flags) {
  const bool fails = state().failing.count(file) != 0;
  return Record("LoadTexture", {std::string(file), F(flags)},
                fails ? nullptr : NewHandle<E3DTexture>());
}
Entity LoadSprite(const char* file, int flags, Entity parent) {
  const bool fails = state().failing.count(file) != 0;
  return Record("LoadSprite", {std::string(file), F(flags), H(parent)},
                fails ? nullptr : NewHandle<E3DEntity>());
}
Surface CreateSurface(Entity mesh, Brush brush) {
  Surface s = NewHandle<E3DSurface>();
  state().surfaces[recorder::Id(s)] = {};
  return Record("CreateSurface", {H(mesh), H(brush)}, s);
}
int AddVertex(Surface s, float x, float y, float z, float u, float v, float w) {
  Record("AddVertex", {H(s), F(x), F(y), F(z), F(u), F(v), F(w)});
  auto it = state().surfaces.find(recorder::Id(s));
  if (it == state().surfaces.end()) return -1;
  it->second.vertices.push_back({x, y, z, u, v, w});
  return static_cast<int>(it->second.vertices.size()) - 1;
}
void VertexColor(Surface s, int vertex, float red, float green, float blue, float alpha) {
  Record("VertexColor", {H(s), F(vertex), F(red), F(green), F(blue), F(alpha)});
  auto it = state().surfaces.find(recorder::Id(s));
  if (it == state().surfaces.end()) return;
  auto& vertices = it->second.vertices;
  if (vertex < 0 || vertex >= static_cast<int>(vertices.size())) return;
  vertices[vertex].r = red;
  vertices[vertex].g = green;
  vertices[vertex].b = blue;
  vertices[vertex].a = alpha;
}
int AddTriangle(Surface s, int v0, int v1, int v2) {
  Record("AddTriangle", {H(s), F(v0), F(v1), F(v2)});
  auto it = state().surfaces.find(recorder::Id(s));
  if (it == state().surfaces.end()) return -1;
  const int n = static_cast<int>(it->second.vertices.size());
  for (int v : {v0, v1, v2}) {
    if (v < 0 || v >= n) return -1;
  }
  it->second.triangles.push_back({v0, v1, v2});
  return static_cast<int>(it->second.triangles.size()) - 1;
}
void ScaleMesh(Entity mesh, float x, float y, float z) {
  Record("ScaleMesh", {H(mesh), F(x), F(y), F(z)});
}
void FlipMesh(Entity mesh) {
  Record("FlipMesh", {H(mesh)});
}
void ShowEntity(Entity e) {
  Record("ShowEntity", {H(e)});
}
void MeshCullRadius(Entity e, float radius) {
  Record("MeshCullRadius", {H(e), F(radius)});
}
void PositionEntity(Entity e, float x, float y, float z, int global) {
  Record("PositionEntity", {H(e), F(x), F(y), F(z), F(global)});
}
void ScaleEntity(Entity e, float x, float y, float z, int global) {
  Record("ScaleEntity", {H(e), F(x), F(y), F(z), F(global)});
}
void RotateEntity(Entity e, float pitch, float yaw, float roll, int global) {
  Record("RotateEntity", {H(e), F(pitch), F(yaw), F(roll), F(global)});
}
void TurnEntity(Entity e, float pitch, float yaw, float roll, int global) {
  Record("TurnEntity", {H(e), F(pitch), F(yaw), F(roll), F(global)});
}
void PointEntity(Entity e, Entity target, float roll) {
  Record("PointEntity", {H(e), H(target), F(roll)});
}
void EntityParent(Entity e, Entity parent, int global) {
  Record("EntityParent", {H(e), H(parent), F(global)});
}
void EntityTexture(Entity e, Texture t, int frame, int index) {
  Record("EntityTexture", {H(e), H(t), F(frame), F(index)});
}
void ScaleTexture(Texture t, float u, float v) {
  Record("ScaleTexture", {H(t), F(u), F(v)});
}
void ScaleSprite(Entity sprite, float x, float y) {
  Record("ScaleSprite", {H(sprite), F(x), F(y)});
}
void SpriteViewMode(Entity sprite, int mode) {
  Record("SpriteViewMode", {H(sprite), F(mode)});
}
void EntityBlend(Entity e, int blend) {
  Record("EntityBlend", {H(e), F(blend)});
}
void EntityFX(Entity e, int fx) {
  Record("EntityFX", {H(e), F(fx)});
}
void EntityOrder(Entity e, int order) {
  Record("EntityOrder", {H(e), F(order)});
}
void EntityAlpha(Entity e, float alpha) {
  Record("EntityAlpha", {H(e), F(alpha)});
}
void EntityColor(Entity e, float red, float green, float blue) {
  Record("EntityColor", {H(e), F(red), F(green), F(blue)});
}
void CameraRange(Entity camera, float near_plane, float far_plane) {
  Record("CameraRange", {H(camera), F(near_plane), F(far_plane)});
}
void UpdateWorld(float anim_speed) {
  Record("UpdateWorld", {F(anim_speed)});
}
void RenderWorld(void) {
  Record("RenderWorld", {});
}
void ClearWorld(int entities, int brushes, int textures) {
  Record("ClearWorld", {F(entities), F(brushes), F(textures)});
}

}  // extern "C"

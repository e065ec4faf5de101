// engine_recorder.h — a recording double of libengine3d.so for the demo's tests.
// The library exports the engine's 37 operations; each appends one Call to a log and returns
// fresh handles (numbered from 1 in creation order) and per-surface vertex/triangle indices.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace recorder {

struct HandleArg {
  std::uintptr_t id;  // 0 is the null handle
  bool operator==(const HandleArg&) const = default;
};
using Arg = std::variant<HandleArg, double, std::string>;

struct Call {
  std::string name;
  std::vector<Arg> args;
  std::uintptr_t result = 0;  // id of the handle returned, 0 when none
};

std::vector<Call>& Calls();
void Reset();  // forget every call, restart numbering, load every file again
void FailLoadsOf(const std::vector<std::string>& files);  // these names load as null handles
void Log(Call call);                                      // for doubles of other layers
std::uintptr_t Id(const void* handle);

// Per-surface geometry as the double saw it, for checking built meshes.
struct Vertex {
  float x, y, z, u, v, w;
  float r = -1, g = -1, b = -1, a = -1;  // -1 until VertexColor
};
struct Surface {
  std::vector<Vertex> vertices;
  std::vector<std::array<int, 3>> triangles;
};
const Surface* SurfaceOf(std::uintptr_t surfaceId);  // null for an unknown id

}  // namespace recorder

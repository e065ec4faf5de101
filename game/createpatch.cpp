// createpatch.cpp — builds a flat SIZE x SIZE grid mesh of one surface: one colour and alpha on
// every vertex, texture coordinates spanning the patch once, two clockwise triangles per cell.
// Sizes outside 1..33 would overrun VERTEXBUFFER, so they build nothing and return null.
#include "sky.h"

Entity CREATEPATCH(int SIZE, double SCALE, double PX, double PY, double PZ, int R, int G, int B,
                   double A, int FX) {
  if (SIZE < 1 || SIZE > PATCHMAX) return nullptr;
  const auto f = [](double v) { return static_cast<float>(v); };

  Entity MESH = CreateMesh(nullptr);
  Surface SURF = CreateSurface(MESH, nullptr);

  // Vertices row by row (Z outer, X inner), centred on the local origin even for odd sizes.
  const double HALF = SIZE / 2.0;
  for (int Z = 0; Z <= SIZE; ++Z) {
    for (int X = 0; X <= SIZE; ++X) {
      const double U = static_cast<double>(X) / SIZE;
      const double V = -(static_cast<double>(Z) / SIZE);
      VERTEXBUFFER[X][Z] = AddVertex(SURF, f(X - HALF), 0, f(Z - HALF), f(U), f(V), 0);
      VertexColor(SURF, VERTEXBUFFER[X][Z], f(R), f(G), f(B), f(A));
    }
  }

  // Two triangles per cell sharing the diagonal V0-V2; both face +Y.
  for (int Z = 0; Z < SIZE; ++Z) {
    for (int X = 0; X < SIZE; ++X) {
      const int V0 = VERTEXBUFFER[X][Z];
      const int V1 = VERTEXBUFFER[X + 1][Z];
      const int V2 = VERTEXBUFFER[X + 1][Z + 1];
      const int V3 = VERTEXBUFFER[X][Z + 1];
      AddTriangle(SURF, V0, V2, V1);
      AddTriangle(SURF, V0, V3, V2);
    }
  }

  PositionEntity(MESH, f(PX), f(PY), f(PZ), 0);
  ScaleMesh(MESH, f(SCALE), f(SCALE), f(SCALE));
  EntityFX(MESH, FX);
  return MESH;
}

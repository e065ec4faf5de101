/* engine3d.h — the public C interface of libengine3d.so, a small fixed-function OpenGL engine.

   What it does
     Keeps a scene graph of entities (cameras, lights, pivots, meshes, spheres, planes, sprites),
     loads textures, and draws the scene into the OpenGL context that is current when
     Graphics3D is called. It never opens a window and never swaps buffers.

   Use
     1. Open a window with a current GL context (the window runtime does this).
     2. Graphics3D(width, height, 32, 0, 60) binds the engine to that context.
     3. Create entities and textures; each call returns an opaque handle (0 is "none").
     4. Every frame: UpdateWorld(1), RenderWorld(), then present the frame yourself.
     5. ClearWorld(1, 1, 1) frees everything.

   Conventions
     Left-handed space: +x right, +y up, +z forward; angles in degrees; rotation is yaw (about y),
     then pitch (about the turned x), then roll (about the turned z). Positive pitch lifts +z
     toward +y, positive yaw turns +z toward -x, positive roll tips +y toward +x.
     global = 1 means world space. A triangle's front is where (v1 - v0) x (v2 - v0) points.
     Drawing order: orders > 0 (largest first, no depth test), then 0 (depth-tested), then < 0
     (largest first, no depth test); within each, opaque entities first, then blended ones far
     to near. RenderWorld clears to black and sets every GL state it uses.
     Colours 0..255, alphas 0..1, used as given. Any operation given a null handle does nothing
     and returns 0 or -1. A missing or unreadable image prints one line on stderr and gives 0.

   Left out on purpose
     Animation, collisions, picking, shaders, multiple texture layers per entity. */
#ifndef ENGINE3D_H
#define ENGINE3D_H

#ifdef __cplusplus
extern "C" {
#endif

typedef struct E3DEntity* Entity;
typedef struct E3DTexture* Texture;
typedef struct E3DSurface* Surface;
typedef struct E3DBrush* Brush;

/* ---- Setup and world ------------------------------------------------------------------ */
void Graphics3D(int width, int height, int depth, int mode, int rate); /* bind to current GL context */
void UpdateWorld(float anim_speed);                       /* advance the world one step            */
void RenderWorld(void);                                   /* clear and draw every camera's view    */
void ClearWorld(int entities, int brushes, int textures); /* free what the flags name              */

/* ---- Entities ------------------------------------------------------------------------- */
Entity CreateCamera(Entity parent);                  /* perspective camera, 90 deg horizontal FOV */
Entity CreatePivot(Entity parent);                   /* invisible transform node                  */
Entity CreateSprite(Entity parent);                  /* quad (-1,-1)..(1,1), faces the camera     */
Entity CreateMesh(Entity parent);                    /* empty mesh, add surfaces to it            */
Entity CreateLight(int type, Entity parent);         /* 1 directional, 2 point, 3 spot            */
Entity CreateSphere(int segments, Entity parent);    /* unit sphere, 2n slices by n stacks        */
Entity CreatePlane(int divisions, Entity parent);    /* endless horizontal ground plane           */
Entity LoadSprite(const char* file, int flags, Entity parent); /* sprite textured with file   */

/* ---- Meshes ---------------------------------------------------------------------------- */
Surface CreateSurface(Entity mesh, Brush brush);     /* new surface on a mesh                     */
int AddVertex(Surface s, float x, float y, float z, float u, float v, float w); /* index or -1 */
void VertexColor(Surface s, int vertex, float red, float green, float blue, float alpha);
int AddTriangle(Surface s, int v0, int v1, int v2);  /* triangle index, -1 for a bad vertex index */
void ScaleMesh(Entity mesh, float x, float y, float z); /* scale the vertices themselves          */
void FlipMesh(Entity mesh);                          /* reverse every triangle and normal         */
void MeshCullRadius(Entity e, float radius);         /* radius used for frustum culling           */

/* ---- Transforms ------------------------------------------------------------------------ */
void PositionEntity(Entity e, float x, float y, float z, int global);
void ScaleEntity(Entity e, float x, float y, float z, int global);
void RotateEntity(Entity e, float pitch, float yaw, float roll, int global); /* absolute        */
void TurnEntity(Entity e, float pitch, float yaw, float roll, int global);   /* relative        */
void PointEntity(Entity e, Entity target, float roll); /* turn +z toward the target            */
void EntityParent(Entity e, Entity parent, int global); /* global 1 keeps the world transform  */

/* ---- Appearance ------------------------------------------------------------------------ */
void ShowEntity(Entity e);
void HideEntity(Entity e);                           /* not drawn, nor its children, until shown  */
void FreeEntity(Entity e);                           /* free the entity and all its children      */
void EntityTexture(Entity e, Texture t, int frame, int index);
void EntityBlend(Entity e, int blend);               /* 1 alpha, 2 multiply, 3 add                */
void EntityFX(Entity e, int fx); /* 1 full-bright, 2 vertex colours, 4 flat, 8 no fog, 16 no culling, 32 force blend */
void EntityOrder(Entity e, int order);               /* != 0: no depth test; >0 before, <0 after  */
void EntityAlpha(Entity e, float alpha);             /* 0..1                                      */
void EntityColor(Entity e, float red, float green, float blue); /* 0..255                        */
void ScaleSprite(Entity sprite, float x, float y);   /* half-sizes of the quad                    */
void SpriteViewMode(Entity sprite, int mode); /* 1 face camera, 2 fixed, 3 upright, 4 upright free */
                                              /* 3 turns about y toward the camera, 4 also tilts */
void CameraRange(Entity camera, float near_plane, float far_plane);

/* ---- Textures -------------------------------------------------------------------------- */
Texture LoadTexture(const char* file, int flags); /* 1 colour 2 alpha 4 masked 8 mipmap 16/32 clamp u/v */
void ScaleTexture(Texture t, float u, float v);   /* coordinates scaled by 1/u, 1/v              */
void FreeTexture(Texture t);                      /* free it; entities using it lose it          */

#ifdef __cplusplus
}
#endif
#endif

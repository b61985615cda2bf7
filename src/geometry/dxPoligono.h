// Polygons of a mesh, held in the exact vertex layout a vertex buffer takes.
//
// A polygon is one triangle or one quad with its draw-flags word and, when
// textured, the page it is drawn with. Its creator pushes the 3 or 4 positions
// (`AgregarVertice`), sets the texture and its coordinates (`FijarTextura`) and
// hands it to a polygon buffer, which owns it from then on and packs the
// vertex blocks of all its polygons into one array.
#pragma once

#include <cstdint>
#include <typeinfo>

#include "render/d3d8/d3d8.h"

// Bits of a polygon's draw-flags word; the draw loop turns them into render
// states before drawing each polygon. Higher bits mean nothing.
enum : DWORD {
  DIBUJO_CUADRADO = 1,  // 4 vertices drawn as a strip of 2 triangles (set by packing)
  DIBUJO_ALAMBRE = 2,   // wireframe fill
  DIBUJO_CULL_CW = 4,   // cull clockwise faces
  DIBUJO_CULL_CCW = 8,  // cull counter-clockwise faces; wins over DIBUJO_CULL_CW
  DIBUJO_TEXTURA = 16,  // stage 0 gets the polygon's texture (set by packing)
};

// D3DFVF_XYZ | D3DFVF_DIFFUSE, 16 bytes.
struct dxVerticeColor {
  float x, y, z;
  D3DCOLOR color;
};
static_assert(sizeof(dxVerticeColor) == 16);

// D3DFVF_XYZ | D3DFVF_TEX1, 20 bytes.
struct dxVerticeTex {
  float x, y, z;
  float u, v;
};
static_assert(sizeof(dxVerticeTex) == 20);

constexpr DWORD FVF_VERTICE_COLOR = D3DFVF_XYZ | D3DFVF_DIFFUSE;  // 66
constexpr DWORD FVF_VERTICE_TEX = D3DFVF_XYZ | D3DFVF_TEX1;       // 258

class dxPoligono {
 public:
  explicit dxPoligono(DWORD flags, std::int32_t ultimoIndice)
      : flagsDibujo(flags), numVertices(0), maxIndice(ultimoIndice) {}
  virtual ~dxPoligono() = default;
  dxPoligono(const dxPoligono&) = delete;
  dxPoligono& operator=(const dxPoligono&) = delete;

  // First byte of the vertex block, which always holds maxIndice + 1 vertices
  // however many have been pushed.
  virtual const void* Vertices() const = 0;
  // Fills the position of the next vertex, leaving its colour or u, v alone.
  // E_FAIL, changing nothing, once every vertex has been pushed.
  virtual HRESULT AgregarVertice(float x, float y, float z) = 0;

  DWORD ObtenerFlags() const { return flagsDibujo; }
  std::int32_t NumVerticesAgregados() const { return numVertices; }
  std::int32_t MaxIndice() const { return maxIndice; }

 protected:
  // Index of the next vertex to fill, or -1 when the polygon is full.
  std::int32_t SiguienteVertice();

  DWORD flagsDibujo;
  std::int32_t numVertices;
  std::int32_t maxIndice;
};

// Coloured triangle. The colour of its vertices is never set: it stays 0.
class dxTriangulo : public dxPoligono {
 public:
  explicit dxTriangulo(DWORD flags) : dxPoligono(flags, 2) {}
  const void* Vertices() const override { return vertices; }
  HRESULT AgregarVertice(float x, float y, float z) override;

 protected:
  dxVerticeColor vertices[3] = {};
};

// Coloured quad.
class dxCuadrado : public dxPoligono {
 public:
  explicit dxCuadrado(DWORD flags) : dxPoligono(flags, 3) {}
  const void* Vertices() const override { return vertices; }
  HRESULT AgregarVertice(float x, float y, float z) override;

 protected:
  dxVerticeColor vertices[4] = {};
};

// Textured triangle. The page texture is only referred to: storing it adds no
// reference and destroying the polygon releases nothing.
class dxTrianguloTex : public dxTriangulo {
 public:
  explicit dxTrianguloTex(DWORD flags) : dxTriangulo(flags) {}
  const void* Vertices() const override { return verticesTex; }
  HRESULT AgregarVertice(float x, float y, float z) override;

  // Sets the page and one (u, v) pair per vertex, vertex 0 first. A null
  // texture gives E_FAIL and changes nothing.
  HRESULT FijarTextura(IDirect3DTexture8* textura, float u0, float v0, float u1, float v1, float u2,
                       float v2);
  IDirect3DTexture8* ObtenerTextura() const { return textura; }

 private:
  dxVerticeTex verticesTex[3] = {};
  IDirect3DTexture8* textura = nullptr;
};

// Textured quad; vertices 0 to 3 are drawn as a strip (0,1,2) (1,3,2).
class dxCuadradoTex : public dxCuadrado {
 public:
  explicit dxCuadradoTex(DWORD flags) : dxCuadrado(flags) {}
  const void* Vertices() const override { return verticesTex; }
  HRESULT AgregarVertice(float x, float y, float z) override;

  HRESULT FijarTextura(IDirect3DTexture8* textura, float u0, float v0, float u1, float v1, float u2,
                       float v2, float u3, float v3);
  IDirect3DTexture8* ObtenerTextura() const { return textura; }

 private:
  dxVerticeTex verticesTex[4] = {};
  IDirect3DTexture8* textura = nullptr;
};

// True when the exact run-time class of `p` is T: a dxTrianguloTex is not
// exactly a dxTriangulo, although it derives from it.
template <typename T>
bool EsExactamente(const dxPoligono& p) {
  return typeid(p) == typeid(T);
}

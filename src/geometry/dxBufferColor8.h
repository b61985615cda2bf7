// Polygon buffers: the polygons of one mesh, packed into one vertex array with
// one draw-flags word per polygon, plus the vertex buffer the packed array is
// uploaded into and the world matrix the viewer builds before each draw.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "geometry/dxPoligono.h"
#include "render/d3d8/d3dx8.h"

// Coloured buffer, and the base of the textured one. Holds `dxTriangulo` and
// `dxCuadrado` polygons, packed as 16-byte `dxVerticeColor`.
class dxBufferColor8 {
 public:
  dxBufferColor8();
  virtual ~dxBufferColor8();
  dxBufferColor8(const dxBufferColor8&) = delete;
  dxBufferColor8& operator=(const dxBufferColor8&) = delete;

  // Takes ownership of `poligono` and puts it in front of the others: the
  // packing order is the reverse of the order of adding. Returns 0. A polygon
  // of the other family (textured into a coloured buffer or the reverse) or a
  // null one is refused with E_FAIL and destroyed, since packing could not
  // lay it out.
  std::int32_t AgregarPoligono(dxPoligono* poligono);

  // Packs every polygon into the vertex array and the per-polygon arrays,
  // replacing (and freeing) the previous packing. Returns the packed size in
  // bytes, or -1 when nothing was added since the last successful upload.
  virtual std::int32_t Empaquetar();
  // The packed array; null before the first packing.
  virtual const void* DatosVertices() const;

  IDirect3DVertexBuffer8* ObtenerVertexBuffer() const { return vertexBuffer; }
  // Takes over the reference; a vertex buffer already held is released first.
  void FijarVertexBuffer(IDirect3DVertexBuffer8* vb);

  std::int32_t NumTriangulos() const { return numTriangulos; }
  std::int32_t NumCuadrados() const { return numCuadrados; }
  std::int32_t NumVertices() const { return 3 * numTriangulos + 4 * numCuadrados; }
  DWORD ObtenerFVF() const { return fvf; }
  std::int32_t ObtenerStride() const { return stride; }
  // Draw flags of packed polygon i (packing order); 0 outside the packing.
  DWORD FlagsPoligono(std::int32_t i) const;
  // Clears the changed flag; the upload calls it once the vertex buffer holds
  // the packed array.
  void LimpiarCambios() { cambiado = false; }
  bool Cambiado() const { return cambiado; }

  // World-matrix operations: each replaces the matrix W by M x W, so under the
  // row-vector convention the operation applied last acts first on the mesh.
  std::int32_t Trasladar(float x, float y, float z);
  void RotarX(float angulo);
  void RotarY(float angulo);
  void Escalar(float s);
  void ReiniciarMundo();
  D3DXMATRIX ObtenerMundo() const { return mundo; }

 protected:
  // True when the buffer can pack this polygon's exact class.
  virtual bool AceptaPoligono(const dxPoligono& poligono) const;
  // Frees the arrays of the previous packing and allocates the flags array for
  // the current polygon count.
  void PrepararFlags();
  void MultiplicarMundo(const D3DXMATRIX& m);

  std::unique_ptr<dxVerticeColor[]> datosColor;
  IDirect3DVertexBuffer8* vertexBuffer = nullptr;
  std::unique_ptr<DWORD[]> flagsPoligonos;
  std::int32_t numPoligonosEmpaquetados = 0;
  std::int32_t numTriangulos = 0;
  std::int32_t numCuadrados = 0;
  bool cambiado = false;
  // In the order of adding; packing walks it from the back, so the polygon
  // added last comes first, as if each were put in front of the others.
  std::vector<std::unique_ptr<dxPoligono>> poligonos;
  // Calls `hacer` with each polygon in packing order.
  template <typename Funcion>
  void RecorrerEnOrdenDeEmpaquetado(Funcion hacer) const {
    for (auto it = poligonos.rbegin(); it != poligonos.rend(); ++it) hacer(**it);
  }
  DWORD fvf = FVF_VERTICE_COLOR;
  std::int32_t stride = sizeof(dxVerticeColor);
  D3DXMATRIX mundo;
};

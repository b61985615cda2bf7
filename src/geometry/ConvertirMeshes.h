// Mesh conversion: turns every mesh record of a level's list into a polygon
// buffer of textured quads and triangles, with pages and texture coordinates
// from the level's object textures, and uploads each buffer.
#pragma once

#include <cstdint>

#include "render/d3d8/d3d8.h"

class Lista_Mesh;
class dxDevice8;
class trTextura;
struct trNivel;
struct trMesh;

// Faces whose indices the level's data could not back, by what was done with
// them. A face may count under more than one heading.
struct trRevisionCaras {
  // A vertex index not below the mesh's vertex count: the face is skipped.
  std::int64_t verticeFueraDeRango = 0;
  // An object-texture index not below the number of object textures, whose
  // low 15 bits (bit 15 is a flag of the face) name one that exists: that one
  // is used.
  std::int64_t texturaEnmascarada = 0;
  // An object-texture index out of range even without bit 15: drawn without
  // texture.
  std::int64_t texturaFueraDeRango = 0;
  // An object texture whose page is not one of the level's pages (for a
  // rectangle the whole 16-bit tile field is the page): drawn without texture.
  std::int64_t paginaFueraDeRango = 0;

  std::int64_t Total() const {
    return verticeFueraDeRango + texturaEnmascarada + texturaFueraDeRango + paginaFueraDeRango;
  }
};

// Builds buffer j of `lista` from mesh j, for every mesh, and uploads each one
// through `dispositivo`; the list owns the buffers afterwards (ObtenerBuffer).
// Every polygon is created with the draw flags DIBUJO_CULL_CCW. Positions go
// in as (x, -y, z); texture coordinates are a corner's pixel byte / 256; a
// quad's vertices 0..3 are the face's vertices 1, 2, 4, 3 with corners 1, 2,
// 4, 3 of its object texture, so that a strip covers the face. Pages come
// from `texturas` (32- or 16-bit, as built); a face without a page is drawn
// untextured. Faces with indices out of range are treated as trRevisionCaras
// says, never read out of bounds, and counted into `*revision` when given.
//
// Returns E_FAIL, allocating nothing, when the list holds no mesh; else S_OK,
// whatever became of single faces or uploads. A null device or page set
// leaves buffers not uploaded or untextured, respectively.
HRESULT ConvertirMeshes(Lista_Mesh& lista, dxDevice8* dispositivo, const trTextura* texturas,
                        const trNivel& nivel, trRevisionCaras* revision = nullptr);

// Counts, without building anything, the faces of every mesh in `lista` that
// ConvertirMeshes would treat for out-of-range indices, given a level with
// `numPaginas` pages.
trRevisionCaras RevisarCaras(const Lista_Mesh& lista, const trNivel& nivel,
                             std::int32_t numPaginas);

// Lista_Mesh: a level's meshes in storage order, and LeerMeshes, which
// builds one from the mesh data words.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "level/trMesh.h"

class dxBufferTextura;

// Owns its mesh records and, once installed, one polygon buffer per record.
// Not copyable. Lookup by index is direct.
class Lista_Mesh {
 public:
  Lista_Mesh();
  // Destroys every installed buffer (through its virtual destructor, which
  // releases its polygons and vertex buffer), then the records.
  ~Lista_Mesh();
  Lista_Mesh(const Lista_Mesh&) = delete;
  Lista_Mesh& operator=(const Lista_Mesh&) = delete;

  // Appends `registro` at the end; the list owns it from now on. A null
  // record is ignored.
  void Agregar(std::unique_ptr<trMesh> registro);

  // When 0 <= indice < Cantidad(), stores record `indice` (0 is the first
  // appended) in `*registro` and returns 1. Otherwise returns 0 and leaves
  // `*registro` as it was. The record stays owned by the list.
  int ObtenerMesh(int indice, trMesh** registro) const;

  // Number of records.
  std::int32_t Cantidad() const;

  // Installs the polygon buffers, entry i for record i, taking ownership of
  // every non-null entry; buffers installed before are destroyed. Returns 1.
  // Returns 0 and takes nothing when the number of entries is not
  // Cantidad(): the caller keeps the buffers.
  int InstalarBuffers(std::vector<dxBufferTextura*> nuevos);

  // Buffer of record `indice`, or null when the buffers are not installed or
  // `indice` is outside 0 .. Cantidad() - 1.
  dxBufferTextura* ObtenerBuffer(int indice) const;

 private:
  std::vector<std::unique_ptr<trMesh>> registros;
  // Empty until InstalarBuffers; then one entry per record (null allowed).
  // Declared after the records, so the buffers are destroyed first.
  std::vector<std::unique_ptr<dxBufferTextura>> buffers;
};

// Walks `longitud` bytes of mesh data from `datos` (a level's mesh data
// words: pass nivel.palabrasMesh.data() and 2 x nivel.cantidadPalabrasMesh)
// and appends one record per mesh, in storage order.
//
// Returns 0 when `longitud` is 0: no list is created and `*lista` is not
// written. Otherwise stores a new list in `*lista` (the caller owns it and
// deletes it) and returns 1. A mesh that runs past `longitud` is dropped
// and the walk ends there; a last mesh whose only missing part is its two
// alignment bytes is kept, without them. Never reads outside the
// `longitud` bytes, so it is safe on untrusted data.
int LeerMeshes(const void* datos, std::uint32_t longitud, Lista_Mesh** lista);

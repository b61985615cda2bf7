#include "level/Lista_Mesh.h"

#include <utility>

#include "geometry/dxBufferTextura.h"

Lista_Mesh::Lista_Mesh() = default;

// Defined here, where dxBufferTextura is complete, so the buffers' own
// destructors run.
Lista_Mesh::~Lista_Mesh() = default;

void Lista_Mesh::Agregar(std::unique_ptr<trMesh> registro) {
  if (registro) registros.push_back(std::move(registro));
}

int Lista_Mesh::ObtenerMesh(int indice, trMesh** registro) const {
  if (indice < 0 || static_cast<std::size_t>(indice) >= registros.size()) return 0;
  *registro = registros[static_cast<std::size_t>(indice)].get();
  return 1;
}

std::int32_t Lista_Mesh::Cantidad() const { return static_cast<std::int32_t>(registros.size()); }

int Lista_Mesh::InstalarBuffers(std::vector<dxBufferTextura*> nuevos) {
  if (nuevos.size() != registros.size()) return 0;
  buffers.clear();
  buffers.reserve(nuevos.size());
  for (dxBufferTextura* b : nuevos) buffers.emplace_back(b);
  return 1;
}

dxBufferTextura* Lista_Mesh::ObtenerBuffer(int indice) const {
  if (indice < 0 || static_cast<std::size_t>(indice) >= buffers.size()) return nullptr;
  return buffers[static_cast<std::size_t>(indice)].get();
}

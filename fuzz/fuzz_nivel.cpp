// libFuzzer target for the level reader. Each input is tried three ways, so
// the parsers behind the zlib chunks are reached even though random bytes
// seldom make a valid stream:
//   - as a whole .tr4 file (LeerNivelMemoria, then LeerMeshes on the result);
//   - as an inflated level data block (LeerDatosNivel);
//   - as mesh data (LeerMeshes).

#include <cstddef>
#include <cstdint>

#include "level/Lista_Mesh.h"
#include "level/trNivel.h"

namespace {

void RecorrerMeshes(const void* datos, std::size_t longitud) {
  Lista_Mesh* lista = nullptr;
  if (LeerMeshes(datos, static_cast<std::uint32_t>(longitud), &lista)) {
    // Touch every record so a bad one shows under ASan.
    volatile std::int32_t suma = 0;
    for (int i = 0; i < lista->Cantidad(); ++i) {
      trMesh* m = nullptr;
      lista->ObtenerMesh(i, &m);
      suma = suma + m->cantidadVertices + static_cast<std::int32_t>(m->vertices.size());
    }
    delete lista;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t tamano) {
  {
    trNivel nivel;
    if (LeerNivelMemoria(datos, tamano, &nivel))
      RecorrerMeshes(nivel.palabrasMesh.data(), 2 * nivel.palabrasMesh.size());
  }
  if (tamano <= UINT32_MAX) {
    trNivel nivel;
    nivel.bloque4.assign(datos, datos + tamano);
    nivel.tamanoBloque4 = static_cast<std::uint32_t>(tamano);
    if (LeerDatosNivel(&nivel))
      RecorrerMeshes(nivel.palabrasMesh.data(), 2 * nivel.palabrasMesh.size());
    RecorrerMeshes(datos, tamano);
  }
  return 0;
}

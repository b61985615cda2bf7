// Walking the mesh data words into mesh records.

#include <memory>

#include "level/Lista_Mesh.h"
#include "level/trLector.h"

namespace {

// `cantidad` elements of T with one copy, when the count is positive. False
// when they do not fit: nothing is allocated then.
template <class T>
bool LeerElementos(trLector& lector, std::int32_t cantidad, std::vector<T>& destino) {
  if (cantidad <= 0) return true;
  const std::uint32_t bytes = static_cast<std::uint32_t>(cantidad) * sizeof(T);
  if (bytes > lector.Restante()) return false;
  destino.resize(static_cast<std::size_t>(cantidad));
  return lector.Leer(destino.data(), bytes) == 1;
}

// Reads one mesh starting at the reader's position. False when it runs past
// the end before its triangles are complete; the alignment bytes are read
// when the mesh needs them and present.
bool LeerMesh(trLector& lector, trMesh& m) {
  const std::uint32_t inicio = lector.posicion;
  if (!lector.Leer(&m.centroX, 2) || !lector.Leer(&m.centroY, 2) || !lector.Leer(&m.centroZ, 2) ||
      !lector.Leer(&m.radio, 4) || !lector.Leer(&m.cantidadVertices, 2) ||
      !LeerElementos(lector, m.cantidadVertices, m.vertices) ||
      !lector.Leer(&m.cantidadNormales, 2))
    return false;
  // A negative normal count stands for -N per-vertex light values.
  if (m.cantidadNormales >= 0) {
    if (!LeerElementos(lector, m.cantidadNormales, m.normales)) return false;
  } else if (!LeerElementos(lector, -std::int32_t{m.cantidadNormales}, m.valoresLuz)) {
    return false;
  }
  if (!lector.Leer(&m.cantidadRectangulos, 2) ||
      !LeerElementos(lector, m.cantidadRectangulos, m.rectangulos) ||
      !lector.Leer(&m.cantidadTriangulos, 2) ||
      !LeerElementos(lector, m.cantidadTriangulos, m.triangulos))
    return false;
  // Every field is whole 16-bit words, so the length so far is even and at
  // most two bytes pad it to a multiple of 4.
  if ((lector.posicion - inicio) % 4 != 0) {
    std::array<std::uint8_t, 2> relleno;
    if (lector.Leer(relleno.data(), 2)) m.alineacion = relleno;
  }
  return true;
}

}  // namespace

int LeerMeshes(const void* datos, std::uint32_t longitud, Lista_Mesh** lista) {
  if (longitud == 0) return 0;
  trLector lector;
  lector.Iniciar(longitud, datos);
  auto* nueva = new Lista_Mesh();
  *lista = nueva;
  while (lector.posicion < longitud) {
    const std::uint32_t inicio = lector.posicion;
    auto registro = std::make_unique<trMesh>();
    if (!LeerMesh(lector, *registro)) break;
    const bool sinAlineacion = (lector.posicion - inicio) % 4 != 0;
    nueva->Agregar(std::move(registro));
    // A mesh missing its alignment bytes can only be the last one.
    if (sinAlineacion) break;
  }
  return 1;
}

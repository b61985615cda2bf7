#include "viewer/Visor.h"

#include <memory>
#include <utility>

#include "geometry/ConvertirMeshes.h"
#include "geometry/dxBufferTextura.h"
#include "level/Lista_Mesh.h"
#include "render/dxDevice8.h"
#include "render/trTextura.h"
#include "viewer/MouseD3D.h"

dxMain contextoD3D;
TForm1* Form1 = nullptr;
dxDevice8* dispositivoD3D = nullptr;
MouseD3D* ratonD3D = nullptr;
trNivel nivelActual;
Lista_Mesh* listaMeshes = nullptr;
trTextura* texturasNivel = nullptr;
Vista VistaActual;
trMesh* meshActual = nullptr;

namespace {
// The old level's buffers refer to its page textures, so the list goes
// first; the selection points into the list, so it goes before both.
void DescartarNivel() {
  VistaActual.buffer = nullptr;
  meshActual = nullptr;
  delete listaMeshes;
  listaMeshes = nullptr;
  delete texturasNivel;
  texturasNivel = nullptr;
}
}  // namespace

bool AbrirNivel(const char* archivo, std::string* motivo) {
  // Read into a record of its own: a refused file must leave the level on
  // screen exactly as it was.
  auto nuevo = std::make_unique<trNivel>();
  if (!LeerNivel(archivo, nuevo.get(), motivo)) return false;
  Lista_Mesh* lista = nullptr;
  const auto longitud = static_cast<std::uint32_t>(2u * nuevo->palabrasMesh.size());
  if (!LeerMeshes(nuevo->palabrasMesh.data(), longitud, &lista) || lista == nullptr)
    lista = new Lista_Mesh();  // no mesh data: a level with no meshes
  DescartarNivel();
  nivelActual = std::move(*nuevo);
  listaMeshes = lista;
  return true;
}

std::int32_t CantidadMeshes() { return listaMeshes != nullptr ? listaMeshes->Cantidad() : 0; }

void ConstruirPaginasYMeshes(bool paginas32) {
  if (dispositivoD3D == nullptr || listaMeshes == nullptr) return;
  texturasNivel = new trTextura(&nivelActual);
  if (paginas32)
    texturasNivel->CargarPaginas32(dispositivoD3D);
  else
    texturasNivel->CargarPaginas16(dispositivoD3D);
  ConvertirMeshes(*listaMeshes, dispositivoD3D, texturasNivel, nivelActual);
}

bool SeleccionarMesh(int indice) {
  trMesh* mesh = nullptr;
  if (listaMeshes == nullptr || !listaMeshes->ObtenerMesh(indice, &mesh) || mesh == nullptr)
    return false;
  meshActual = mesh;
  // Formed as integers, as the conversion negates every vertex's y.
  const std::int32_t cx = mesh->centroX, cy = -static_cast<std::int32_t>(mesh->centroY),
                     cz = mesh->centroZ;
  if (dispositivoD3D != nullptr) {
    dispositivoD3D->PonerOjo(static_cast<float>(cx), static_cast<float>(cy),
                             static_cast<float>(cz + 1000));
    dispositivoD3D->PonerObjetivo(static_cast<float>(cx), static_cast<float>(cy),
                                  static_cast<float>(cz));
  }
  VistaActual.buffer = listaMeshes->ObtenerBuffer(indice);
  return true;
}

void DibujarVista() {
  if (dispositivoD3D == nullptr) return;
  dispositivoD3D->Limpiar(true);
  if (dxBufferTextura* b = VistaActual.buffer; b != nullptr && meshActual != nullptr) {
    // Each operation multiplies in front of the buffer's matrix, so the mesh
    // is scaled first, then pitched, yawed, moved to its centre and panned.
    b->Trasladar(VistaActual.panX, VistaActual.panY, 0.0f);
    b->Trasladar(static_cast<float>(meshActual->centroX),
                 static_cast<float>(-static_cast<std::int32_t>(meshActual->centroY)),
                 static_cast<float>(meshActual->centroZ));
    b->RotarY(VistaActual.rotY);
    b->RotarX(VistaActual.rotX);
    b->Escalar(VistaActual.escala);
    dispositivoD3D->DibujarBuffer(b, 0);
  }
  dispositivoD3D->Presentar();
}

void LiberarRecursos() {
  DescartarNivel();
  delete dispositivoD3D;
  dispositivoD3D = nullptr;
  delete ratonD3D;
  ratonD3D = nullptr;
}

#include "viewer/Visor.h"

#include <memory>
#include <utility>

#include "geometry/ConvertirMeshes.h"
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
VistaMesh VistaActual;
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

bool ElegirMesh(int indice) {
  trMesh* mesh = nullptr;
  if (listaMeshes == nullptr || !listaMeshes->ObtenerMesh(indice, &mesh) || mesh == nullptr)
    return false;
  meshActual = mesh;
  if (dispositivoD3D != nullptr) SeleccionarMesh(*dispositivoD3D, *mesh);
  VistaActual.buffer = listaMeshes->ObtenerBuffer(indice);
  return true;
}

void DibujarVista() {
  if (dispositivoD3D != nullptr) DibujarCuadro(*dispositivoD3D, VistaActual, meshActual);
}

void LiberarRecursos() {
  DescartarNivel();
  delete dispositivoD3D;
  dispositivoD3D = nullptr;
  delete ratonD3D;
  ratonD3D = nullptr;
}

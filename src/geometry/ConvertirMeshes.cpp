#include "geometry/ConvertirMeshes.h"

#include <algorithm>
#include <vector>

#include "geometry/dxBufferTextura.h"
#include "level/Lista_Mesh.h"
#include "level/trNivel.h"
#include "render/dxDevice8.h"
#include "render/trTextura.h"

namespace {

// What a face's indices resolve to once checked against the level.
struct CaraResuelta {
  bool valida = false;                       // every vertex index in range
  const trObjetoTextura* textura = nullptr;  // null: drawn untextured
  std::int32_t pagina = -1;                  // -1: no page
};

// Page and object texture of a face. Rectangles take the whole tile field as
// the page number, triangles only its low 15 bits.
CaraResuelta Resolver(const trMesh& mesh, const std::uint16_t* vertices, int n,
                      std::uint16_t indiceTextura, bool rectangulo, const trNivel& nivel,
                      std::int32_t numPaginas, trRevisionCaras& revision) {
  CaraResuelta cara;
  const std::size_t numVertices = mesh.vertices.size();
  for (int i = 0; i < n; ++i) {
    if (vertices[i] >= numVertices) {
      ++revision.verticeFueraDeRango;
      return cara;
    }
  }
  cara.valida = true;

  const std::size_t numTexturas = nivel.objetosTextura.size();
  std::size_t indice = indiceTextura;
  if (indice >= numTexturas) {
    indice = indiceTextura & 0x7FFF;
    if (indice >= numTexturas) {
      ++revision.texturaFueraDeRango;
      return cara;
    }
    ++revision.texturaEnmascarada;
  }
  cara.textura = &nivel.objetosTextura[indice];
  const std::int32_t pagina = rectangulo ? cara.textura->baldosa : (cara.textura->baldosa & 0x7FFF);
  if (pagina < numPaginas)
    cara.pagina = pagina;
  else
    ++revision.paginaFueraDeRango;
  return cara;
}

float Coordenada(std::uint8_t pixel) { return pixel / 256.0f; }

IDirect3DTexture8* Pagina(const trTextura* texturas, std::int32_t pagina) {
  if (texturas == nullptr || pagina < 0) return nullptr;
  return texturas->Es32Bits() ? texturas->Pagina32(pagina) : texturas->Pagina16(pagina);
}

void Posicionar(dxPoligono& p, const trVertice& v) {
  p.AgregarVertice(static_cast<float>(v.x), -static_cast<float>(v.y), static_cast<float>(v.z));
}

void ConvertirRectangulo(const trMesh& mesh, const trCuadrado& r, const trNivel& nivel,
                         const trTextura* texturas, std::int32_t numPaginas,
                         dxBufferTextura& buffer, trRevisionCaras& revision) {
  const CaraResuelta cara =
      Resolver(mesh, r.vertices, 4, r.textura, true, nivel, numPaginas, revision);
  if (!cara.valida) return;
  auto* quad = new dxCuadradoTex(DIBUJO_CULL_CCW);
  if (cara.textura != nullptr) {
    const trEsquinaTextura* e = cara.textura->esquinas;
    // Corners 1, 2, 4, 3 go to vertices 0..3: the strip order of the face.
    quad->FijarTextura(Pagina(texturas, cara.pagina), Coordenada(e[0].pixelX),
                       Coordenada(e[0].pixelY), Coordenada(e[1].pixelX), Coordenada(e[1].pixelY),
                       Coordenada(e[3].pixelX), Coordenada(e[3].pixelY), Coordenada(e[2].pixelX),
                       Coordenada(e[2].pixelY));
  }
  for (int esquina : {0, 1, 3, 2}) Posicionar(*quad, mesh.vertices[r.vertices[esquina]]);
  buffer.AgregarPoligono(quad);
}

void ConvertirTriangulo(const trMesh& mesh, const trTriangulo& t, const trNivel& nivel,
                        const trTextura* texturas, std::int32_t numPaginas, dxBufferTextura& buffer,
                        trRevisionCaras& revision) {
  const CaraResuelta cara =
      Resolver(mesh, t.vertices, 3, t.textura, false, nivel, numPaginas, revision);
  if (!cara.valida) return;
  auto* tri = new dxTrianguloTex(DIBUJO_CULL_CCW);
  if (cara.textura != nullptr) {
    const trEsquinaTextura* e = cara.textura->esquinas;
    tri->FijarTextura(Pagina(texturas, cara.pagina), Coordenada(e[0].pixelX),
                      Coordenada(e[0].pixelY), Coordenada(e[1].pixelX), Coordenada(e[1].pixelY),
                      Coordenada(e[2].pixelX), Coordenada(e[2].pixelY));
  }
  for (int esquina = 0; esquina < 3; ++esquina)
    Posicionar(*tri, mesh.vertices[t.vertices[esquina]]);
  buffer.AgregarPoligono(tri);
}

// The counts are signed in the file; a count of 0 or below means no faces,
// and a record never holds more faces than were read.
template <typename Cara>
std::size_t Cantidad(std::int16_t cuenta, const std::vector<Cara>& caras) {
  if (cuenta <= 0) return 0;
  return std::min<std::size_t>(static_cast<std::size_t>(cuenta), caras.size());
}

}  // namespace

HRESULT ConvertirMeshes(Lista_Mesh& lista, dxDevice8* dispositivo, const trTextura* texturas,
                        const trNivel& nivel, trRevisionCaras* revision) {
  const std::int32_t cantidad = lista.Cantidad();
  if (cantidad < 1) return E_FAIL;

  std::vector<dxBufferTextura*> buffers(cantidad);
  for (auto& b : buffers) b = new dxBufferTextura();
  lista.InstalarBuffers(buffers);

  // Pages a face may name: with a page set, the pages it holds; without one
  // the level's count still decides which faces count as out of range.
  const std::int32_t numPaginas = texturas != nullptr
                                      ? texturas->NumPaginas()
                                      : static_cast<std::int32_t>(nivel.CantidadPaginas());
  trRevisionCaras cuenta;
  for (std::int32_t j = 0; j < cantidad; ++j) {
    trMesh* mesh = nullptr;
    lista.ObtenerMesh(j, &mesh);
    dxBufferTextura& buffer = *lista.ObtenerBuffer(j);
    for (std::size_t k = 0; k < Cantidad(mesh->cantidadRectangulos, mesh->rectangulos); ++k)
      ConvertirRectangulo(*mesh, mesh->rectangulos[k], nivel, texturas, numPaginas, buffer, cuenta);
    for (std::size_t k = 0; k < Cantidad(mesh->cantidadTriangulos, mesh->triangulos); ++k)
      ConvertirTriangulo(*mesh, mesh->triangulos[k], nivel, texturas, numPaginas, buffer, cuenta);
    if (dispositivo != nullptr) dispositivo->SubirBuffer(&buffer);
  }
  if (revision != nullptr) *revision = cuenta;
  return S_OK;
}

trRevisionCaras RevisarCaras(const Lista_Mesh& lista, const trNivel& nivel,
                             std::int32_t numPaginas) {
  trRevisionCaras cuenta;
  for (std::int32_t j = 0; j < lista.Cantidad(); ++j) {
    trMesh* mesh = nullptr;
    lista.ObtenerMesh(j, &mesh);
    for (std::size_t k = 0; k < Cantidad(mesh->cantidadRectangulos, mesh->rectangulos); ++k) {
      const trCuadrado& r = mesh->rectangulos[k];
      Resolver(*mesh, r.vertices, 4, r.textura, true, nivel, numPaginas, cuenta);
    }
    for (std::size_t k = 0; k < Cantidad(mesh->cantidadTriangulos, mesh->triangulos); ++k) {
      const trTriangulo& t = mesh->triangulos[k];
      Resolver(*mesh, t.vertices, 3, t.textura, false, nivel, numPaginas, cuenta);
    }
  }
  return cuenta;
}

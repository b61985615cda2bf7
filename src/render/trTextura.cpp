#include "render/trTextura.h"

#include "level/trNivel.h"
#include "render/dxDevice8.h"

namespace {
constexpr std::size_t kBytesPagina32 = 256 * 256 * 4;
constexpr std::size_t kBytesPagina16 = 256 * 256 * 2;
}  // namespace

trTextura::trTextura(const trNivel* n)
    : numPaginas(n != nullptr ? static_cast<std::int32_t>(n->CantidadPaginas()) : 0), nivel(n) {}

trTextura::~trTextura() {
  Liberar(paginas32);
  Liberar(paginas16);
}

void trTextura::Liberar(std::vector<IDirect3DTexture8*>& paginas) {
  for (IDirect3DTexture8* p : paginas)
    if (p != nullptr) p->Release();
  paginas.clear();
}

void trTextura::Cargar(dxDevice8* dispositivo, std::vector<IDirect3DTexture8*>& paginas,
                       const std::vector<std::uint8_t>& bloque, std::int32_t formato,
                       std::size_t bytesPagina) {
  Liberar(paginas);
  paginas.assign(numPaginas, nullptr);
  for (std::int32_t i = 0; i < numPaginas; ++i) {
    const std::size_t inicio = static_cast<std::size_t>(i) * bytesPagina;
    // Chunk 2 is trusted to hold as many pages as chunk 1; a short one gives
    // missing pages rather than a read past its end.
    if (inicio + bytesPagina > bloque.size()) continue;
    paginas[i] = dispositivo->CrearTextura(256, 256, formato, bloque.data() + inicio);
  }
}

HRESULT trTextura::CargarPaginas32(dxDevice8* dispositivo) {
  if (dispositivo == nullptr || nivel == nullptr) return E_FAIL;
  Cargar(dispositivo, paginas32, nivel->bloque1, D3DFMT_X8R8G8B8, kBytesPagina32);
  modo32 = true;
  return 0;
}

HRESULT trTextura::CargarPaginas16(dxDevice8* dispositivo) {
  if (dispositivo == nullptr || nivel == nullptr) return E_FAIL;
  Cargar(dispositivo, paginas16, nivel->bloque2, D3DFMT_X1R5G5B5, kBytesPagina16);
  modo32 = false;
  return 0;
}

IDirect3DTexture8* trTextura::Pagina32(std::int32_t indice) const {
  if (indice < 0 || static_cast<std::size_t>(indice) >= paginas32.size()) return nullptr;
  return paginas32[indice];
}

IDirect3DTexture8* trTextura::Pagina16(std::int32_t indice) const {
  if (indice < 0 || static_cast<std::size_t>(indice) >= paginas16.size()) return nullptr;
  return paginas16[indice];
}

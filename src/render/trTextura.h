// The texture pages of an opened level: one 256 x 256 Direct3D texture per
// page, built from either the 32-bit or the 16-bit page set of the level file.
#pragma once

#include <cstdint>
#include <vector>

#include "render/d3d8/d3d8.h"

struct trNivel;
class dxDevice8;

class trTextura {
 public:
  // The page count is fixed here from the level's inflated chunk 1 (whole
  // 0x40000-byte pages); `nivel` must outlive the builds.
  explicit trTextura(const trNivel* nivel);
  // Releases every page texture built. Destroy the set only once the polygon
  // buffers that refer to its pages are gone, and while the device exists.
  ~trTextura();
  trTextura(const trTextura&) = delete;
  trTextura& operator=(const trTextura&) = delete;

  // Build one page set on `dispositivo`: 32-bit pages as D3DFMT_X8R8G8B8 from
  // chunk 1, or 16-bit pages as D3DFMT_X1R5G5B5 from chunk 2. A page whose
  // texture cannot be created, or whose bytes the chunk does not hold whole,
  // stays null. E_FAIL, changing nothing, for a null device; else 0.
  HRESULT CargarPaginas32(dxDevice8* dispositivo);
  HRESULT CargarPaginas16(dxDevice8* dispositivo);

  // Page `indice` of the set built, or null when it is out of range or that
  // set was not built.
  IDirect3DTexture8* Pagina32(std::int32_t indice) const;
  IDirect3DTexture8* Pagina16(std::int32_t indice) const;
  // True after CargarPaginas32, false after CargarPaginas16.
  bool Es32Bits() const { return modo32; }
  std::int32_t NumPaginas() const { return numPaginas; }

 private:
  static void Liberar(std::vector<IDirect3DTexture8*>& paginas);
  void Cargar(dxDevice8* dispositivo, std::vector<IDirect3DTexture8*>& paginas,
              const std::vector<std::uint8_t>& bloque, std::int32_t formato,
              std::size_t bytesPagina);

  std::vector<IDirect3DTexture8*> paginas32;
  std::vector<IDirect3DTexture8*> paginas16;
  std::int32_t numPaginas;
  const trNivel* nivel;
  bool modo32 = false;
};

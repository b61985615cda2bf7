#include "geometry/dxBufferTextura.h"

#include <cstring>

dxBufferTextura::dxBufferTextura() {
  fvf = FVF_VERTICE_TEX;
  stride = sizeof(dxVerticeTex);
}

dxBufferTextura::~dxBufferTextura() = default;

bool dxBufferTextura::AceptaPoligono(const dxPoligono& poligono) const {
  return EsExactamente<dxTrianguloTex>(poligono) || EsExactamente<dxCuadradoTex>(poligono);
}

std::int32_t dxBufferTextura::Empaquetar() {
  if (!cambiado) return -1;
  PrepararFlags();
  datosTex = std::make_unique_for_overwrite<dxVerticeTex[]>(NumVertices());
  texturasPoligonos =
      std::make_unique_for_overwrite<IDirect3DTexture8*[]>(numPoligonosEmpaquetados);
  std::int32_t i = 0, a = 0;
  RecorrerEnOrdenDeEmpaquetado([&](const dxPoligono& p) {
    // Only the two textured classes get in (AceptaPoligono), so the casts hold.
    if (EsExactamente<dxCuadradoTex>(p)) {
      const auto& quad = static_cast<const dxCuadradoTex&>(p);
      texturasPoligonos[i] = quad.ObtenerTextura();
      std::memcpy(&datosTex[a], quad.Vertices(), 4 * sizeof(dxVerticeTex));
      flagsPoligonos[i] = quad.ObtenerFlags() | DIBUJO_TEXTURA | DIBUJO_CUADRADO;
      a += 4;
    } else {
      const auto& tri = static_cast<const dxTrianguloTex&>(p);
      texturasPoligonos[i] = tri.ObtenerTextura();
      std::memcpy(&datosTex[a], tri.Vertices(), 3 * sizeof(dxVerticeTex));
      flagsPoligonos[i] = tri.ObtenerFlags() | DIBUJO_TEXTURA;
      a += 3;
    }
    ++i;
  });
  return NumVertices() * stride;
}

const void* dxBufferTextura::DatosVertices() const { return datosTex.get(); }

IDirect3DTexture8* dxBufferTextura::TexturaPoligono(std::int32_t i) const {
  if (i < 0 || i >= numPoligonosEmpaquetados) return nullptr;
  return texturasPoligonos[i];
}

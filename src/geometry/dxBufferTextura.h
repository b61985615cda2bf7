#pragma once

#include "geometry/dxBufferColor8.h"

// Textured buffer: holds `dxTrianguloTex` and `dxCuadradoTex` polygons,
// packed as 20-byte `dxVerticeTex`, with one page texture per polygon. The
// textures are only referred to; the level's page set owns them.
class dxBufferTextura : public dxBufferColor8 {
 public:
  dxBufferTextura();
  ~dxBufferTextura() override;

  std::int32_t Empaquetar() override;
  const void* DatosVertices() const override;

  // Page texture of packed polygon i (packing order); null outside the
  // packing or for a polygon whose page was missing.
  IDirect3DTexture8* TexturaPoligono(std::int32_t i) const;

 protected:
  bool AceptaPoligono(const dxPoligono& poligono) const override;

 private:
  std::unique_ptr<dxVerticeTex[]> datosTex;
  std::unique_ptr<IDirect3DTexture8*[]> texturasPoligonos;
};

#include "viewer/demo/NivelDemo.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {
struct Color {
  std::uint8_t r, g, b;
};

// Appends one 256 x 256 page, given texel by texel, to both page sets:
// 32-bit texels B, G, R, X and 16-bit texels X1R5G5B5, as the level stores
// them.
template <typename F>
void AgregarPagina(escritor::Nivel& n, F texel) {
  for (int y = 0; y < 256; ++y) {
    for (int x = 0; x < 256; ++x) {
      const Color c = texel(x, y);
      n.paginas32.insert(n.paginas32.end(), {c.b, c.g, c.r, 0xFF});
      const auto t16 =
          static_cast<std::uint16_t>(0x8000 | (c.r >> 3) << 10 | (c.g >> 3) << 5 | (c.b >> 3));
      n.paginas16.push_back(static_cast<std::uint8_t>(t16));
      n.paginas16.push_back(static_cast<std::uint8_t>(t16 >> 8));
    }
  }
  n.paginasSalas = static_cast<std::uint16_t>(n.paginas32.size() >> 18);
}

Color Tablero(int x, int y) {
  if (x % 32 == 0 || y % 32 == 0) return {60, 40, 30};
  return ((x / 32 + y / 32) % 2 == 0) ? Color{230, 120, 20} : Color{250, 240, 200};
}

Color Cuadrantes(int x, int y) {
  static const Color kColores[4] = {{220, 40, 40}, {40, 190, 60}, {40, 80, 220}, {240, 210, 30}};
  const Color base = kColores[(y / 128) * 2 + x / 128];
  // Distance to the quadrant's edge in "rings" of 16 texels.
  const int bx = x % 128, by = y % 128;
  const int anillo = std::min({bx, by, 127 - bx, 127 - by}) / 16;
  if (anillo % 2 == 0) return base;
  return {static_cast<std::uint8_t>(255 - (255 - base.r) / 3),
          static_cast<std::uint8_t>(255 - (255 - base.g) / 3),
          static_cast<std::uint8_t>(255 - (255 - base.b) / 3)};
}

escritor::Mesh Piramide(std::int16_t lado, std::int16_t alto) {
  // The level's y grows downward: the base is at +lado/2, the apex above it.
  escritor::Mesh m;
  m.radio = static_cast<std::uint32_t>(lado) * 2;
  const auto medio = static_cast<std::int16_t>(lado / 2);
  const auto cima = static_cast<std::int16_t>(medio - alto);
  m.vertices = {{static_cast<std::int16_t>(-lado), medio, static_cast<std::int16_t>(-lado)},
                {lado, medio, static_cast<std::int16_t>(-lado)},
                {lado, medio, lado},
                {static_cast<std::int16_t>(-lado), medio, lado},
                {0, cima, 0}};
  m.normales.assign(5, {0, -16384, 0});
  escritor::Rectangulo base;
  const std::uint16_t vBase[4] = {0, 1, 2, 3};
  std::copy(std::begin(vBase), std::end(vBase), base.vertices);
  base.textura = 0;
  m.rectangulos.push_back(base);
  const std::uint16_t lados[4][3] = {{1, 0, 4}, {2, 1, 4}, {3, 2, 4}, {0, 3, 4}};
  for (int i = 0; i < 4; ++i) {
    escritor::Triangulo t;
    std::copy(std::begin(lados[i]), std::end(lados[i]), t.vertices);
    t.textura = static_cast<std::uint16_t>(1 + i);
    m.triangulos.push_back(t);
  }
  return m;
}

escritor::Mesh CuadradoDobleCara(std::int16_t lado) {
  escritor::Mesh m;
  m.radio = static_cast<std::uint32_t>(lado) * 2;
  const auto menos = static_cast<std::int16_t>(-lado);
  m.vertices = {{menos, menos, 0}, {lado, menos, 0}, {lado, lado, 0}, {menos, lado, 0}};
  m.normales.assign(4, {0, 0, 16384});
  // The same face twice, wound both ways: whichever side faces the camera
  // survives culling.
  escritor::Rectangulo frente, dorso;
  const std::uint16_t vFrente[4] = {0, 1, 2, 3}, vDorso[4] = {1, 0, 3, 2};
  std::copy(std::begin(vFrente), std::end(vFrente), frente.vertices);
  std::copy(std::begin(vDorso), std::end(vDorso), dorso.vertices);
  frente.textura = dorso.textura = 0;
  m.rectangulos = {frente, dorso};
  return m;
}
}  // namespace

escritor::Nivel NivelDemo() {
  escritor::Nivel n;
  AgregarPagina(n, Tablero);
  AgregarPagina(n, Cuadrantes);
  // 0: all of page 0; 1-4: the quadrants of page 1; 5: a quarter of page 0.
  n.objetosTextura = {
      escritor::TexturaObjeto::Rectangulo(0, 0, 0, 255, 255),
      escritor::TexturaObjeto::Rectangulo(1, 0, 0, 127, 127),
      escritor::TexturaObjeto::Rectangulo(1, 128, 0, 255, 127),
      escritor::TexturaObjeto::Rectangulo(1, 0, 128, 127, 255),
      escritor::TexturaObjeto::Rectangulo(1, 128, 128, 255, 255),
      escritor::TexturaObjeto::Rectangulo(0, 0, 0, 127, 127),
  };
  n.meshes = {escritor::MeshCubo(40, 0), Piramide(45, 90), CuadradoDobleCara(60)};
  return n;
}

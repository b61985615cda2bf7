// Mesh conversion against the recording Direct3D implementation: which
// polygons each face becomes, with what page, coordinates and positions.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "geometry/ConvertirMeshes.h"
#include "geometry/dxBufferTextura.h"
#include "level/Lista_Mesh.h"
#include "level/trNivel.h"
#include "render/dxDevice8.h"
#include "render/dxMain.h"
#include "render/grabacion/GrabacionD3D8.h"
#include "render/trTextura.h"

namespace {

trObjetoTextura ObjetoTextura(std::uint16_t baldosa,
                              std::array<std::array<std::uint8_t, 2>, 4> px) {
  trObjetoTextura o;
  o.baldosa = baldosa;
  for (int i = 0; i < 4; ++i) o.esquinas[i] = {0, px[i][0], 0, px[i][1]};
  return o;
}

std::unique_ptr<trMesh> Mesh(std::vector<trVertice> vertices, std::vector<trCuadrado> rect,
                             std::vector<trTriangulo> tri) {
  auto m = std::make_unique<trMesh>();
  m->cantidadVertices = static_cast<std::int16_t>(vertices.size());
  m->vertices = std::move(vertices);
  m->cantidadRectangulos = static_cast<std::int16_t>(rect.size());
  m->rectangulos = std::move(rect);
  m->cantidadTriangulos = static_cast<std::int16_t>(tri.size());
  m->triangulos = std::move(tri);
  return m;
}

const std::vector<trVertice> kCuadro = {{0, 0, 0}, {10, 0, 0}, {10, -10, 0}, {0, -10, 0}};

class Conversion : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(contexto.CrearContexto(), S_OK);
    ASSERT_EQ(contexto.CrearDispositivo(nullptr, true, &dispositivo), S_OK);
    // Four pages; each page's bytes hold its number.
    nivel.tamanoBloque1 = 4 * 262144;
    nivel.bloque1.resize(nivel.tamanoBloque1);
    nivel.tamanoBloque2 = 4 * 131072;
    nivel.bloque2.resize(nivel.tamanoBloque2);
    for (std::size_t i = 0; i < nivel.bloque1.size(); ++i) nivel.bloque1[i] = i / 262144;
    for (std::size_t i = 0; i < nivel.bloque2.size(); ++i) nivel.bloque2[i] = i / 131072;
  }
  void TearDown() override {
    lista.reset();
    paginas.reset();
    delete dispositivo;
  }

  void Convertir(bool bits32 = true) {
    paginas = std::make_unique<trTextura>(&nivel);
    if (bits32)
      paginas->CargarPaginas32(dispositivo);
    else
      paginas->CargarPaginas16(dispositivo);
    grabacion.Olvidar();
    ASSERT_EQ(ConvertirMeshes(*lista, dispositivo, paginas.get(), nivel, &revision), S_OK);
  }

  const dxVerticeTex* Vertices(int mesh) {
    return static_cast<const dxVerticeTex*>(lista->ObtenerBuffer(mesh)->DatosVertices());
  }
  // Number of the page a packed polygon was given (pages hold their number).
  int PaginaDe(int mesh, int poligono) {
    IDirect3DTexture8* t = lista->ObtenerBuffer(mesh)->TexturaPoligono(poligono);
    if (t == nullptr) return -1;
    return grabacion.Textura(t)->niveles[0][0];
  }

  GrabacionD3D8 grabacion;
  FabricaD3D8Temporal instalada{grabacion.Fabrica()};
  dxMain contexto;
  dxDevice8* dispositivo = nullptr;
  trNivel nivel;
  std::unique_ptr<Lista_Mesh> lista = std::make_unique<Lista_Mesh>();
  std::unique_ptr<trTextura> paginas;
  trRevisionCaras revision;
};
}  // namespace

TEST_F(Conversion, AnEmptyListFailsAndInstallsNothing) {
  EXPECT_EQ(ConvertirMeshes(*lista, dispositivo, nullptr, nivel), E_FAIL);
  EXPECT_EQ(lista->ObtenerBuffer(0), nullptr);
}

TEST_F(Conversion, RectangleTakesCornersOneTwoFourThree) {
  nivel.objetosTextura = {ObjetoTextura(3, {{{0, 0}, {255, 0}, {255, 255}, {0, 255}}})};
  // Face vertices 1..4 name mesh vertices 0, 1, 2, 3 of a square.
  lista->Agregar(
      Mesh({{0, 0, 0}, {100, -50, 7}, {10, 20, 30}, {-4, 5, -6}}, {{{0, 1, 2, 3}, 0, 0}}, {}));
  Convertir();
  const dxVerticeTex* v = Vertices(0);
  const float uv[4][2] = {{0, 0}, {0.99609375f, 0}, {0, 0.99609375f}, {0.99609375f, 0.99609375f}};
  const float xyz[4][3] = {{0, 0, 0}, {100, 50, 7}, {-4, -5, -6}, {10, -20, 30}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(v[i].u, uv[i][0]) << i;
    EXPECT_EQ(v[i].v, uv[i][1]) << i;
    EXPECT_EQ(v[i].x, xyz[i][0]) << i;
    EXPECT_EQ(v[i].y, xyz[i][1]) << i;
    EXPECT_EQ(v[i].z, xyz[i][2]) << i;
  }
  EXPECT_EQ(PaginaDe(0, 0), 3);
  EXPECT_EQ(lista->ObtenerBuffer(0)->FlagsPoligono(0), 25u);
  EXPECT_EQ(revision.Total(), 0);
}

TEST_F(Conversion, TrianglesMaskTheTileAndRectanglesDoNot) {
  nivel.objetosTextura = {ObjetoTextura(0x8003, {{{10, 20}, {30, 40}, {50, 60}, {70, 80}}}),
                          ObjetoTextura(0x0003, {})};
  lista->Agregar(Mesh(kCuadro, {{{0, 1, 2, 3}, 1, 0}, {{0, 1, 2, 3}, 0, 0}}, {{{0, 1, 2}, 0, 0}}));
  Convertir();
  // Packed: T0, R1, R0.
  EXPECT_EQ(PaginaDe(0, 0), 3) << "triangle: 0x8003 & 0x7FFF";
  EXPECT_EQ(PaginaDe(0, 1), -1) << "rectangle: 0x8003 is no page";
  EXPECT_EQ(PaginaDe(0, 2), 3);
  EXPECT_EQ(revision.paginaFueraDeRango, 1);
  const dxVerticeTex* v = Vertices(0);
  EXPECT_EQ(v[0].u, 10 / 256.f);
  EXPECT_EQ(v[2].v, 60 / 256.f);
  // The page-less rectangle keeps zero coordinates.
  for (int i = 3; i < 7; ++i) EXPECT_EQ(v[i].u + v[i].v, 0.f);
}

TEST_F(Conversion, PackingOrderAndCounts) {
  nivel.objetosTextura = {ObjetoTextura(0, {}), ObjetoTextura(1, {}), ObjetoTextura(2, {})};
  lista->Agregar(Mesh(kCuadro, {{{0, 1, 2, 3}, 0, 0}, {{0, 1, 2, 3}, 1, 0}}, {{{0, 1, 2}, 2, 0}}));
  lista->Agregar(Mesh(kCuadro, {}, {}));
  Convertir();
  dxBufferTextura* b = lista->ObtenerBuffer(0);
  EXPECT_EQ(b->NumCuadrados(), 2);
  EXPECT_EQ(b->NumTriangulos(), 1);
  EXPECT_EQ(b->NumVertices(), 11);
  EXPECT_EQ(PaginaDe(0, 0), 2);
  EXPECT_EQ(PaginaDe(0, 1), 1);
  EXPECT_EQ(PaginaDe(0, 2), 0);
  EXPECT_EQ(b->FlagsPoligono(0), 24u);
  EXPECT_EQ(b->FlagsPoligono(1), 25u);
  ASSERT_NE(b->ObtenerVertexBuffer(), nullptr);
  // The faceless mesh gets an empty buffer that is never uploaded.
  EXPECT_EQ(lista->ObtenerBuffer(1)->ObtenerVertexBuffer(), nullptr);
  EXPECT_EQ(grabacion.Contar("CreateVertexBuffer"), 1u);
}

TEST_F(Conversion, NegativeCountsGiveNoFaces) {
  nivel.objetosTextura = {ObjetoTextura(0, {})};
  auto m = Mesh(kCuadro, {{{0, 1, 2, 3}, 0, 0}}, {{{0, 1, 2}, 0, 0}});
  m->cantidadRectangulos = -1;
  lista->Agregar(std::move(m));
  Convertir();
  EXPECT_EQ(lista->ObtenerBuffer(0)->NumCuadrados(), 0);
  EXPECT_EQ(lista->ObtenerBuffer(0)->NumTriangulos(), 1);
}

TEST_F(Conversion, SixteenBitPagesComeFromTheSixteenBitSet) {
  nivel.objetosTextura = {ObjetoTextura(2, {})};
  lista->Agregar(Mesh(kCuadro, {}, {{{0, 1, 2}, 0, 0}}));
  Convertir(false);
  IDirect3DTexture8* t = lista->ObtenerBuffer(0)->TexturaPoligono(0);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t, paginas->Pagina16(2));
  EXPECT_EQ(grabacion.Textura(t)->formato, D3DFMT_X1R5G5B5);
}

TEST_F(Conversion, IndicesTheLevelCannotBackAreTreatedAndCounted) {
  nivel.objetosTextura = {ObjetoTextura(0, {}), ObjetoTextura(9, {})};
  lista->Agregar(Mesh(kCuadro,
                      {{{0, 1, 2, 4}, 0, 0},        // vertex 4 of 4: skipped
                       {{0, 1, 2, 3}, 0x8001, 0}},  // bit 15 set: object texture 1, page 9
                      {{{0, 1, 2}, 0x8005, 0},      // 5 is no object texture: untextured
                       {{3, 2, 1}, 1, 0}}));        // page 9 of 4: untextured
  Convertir();
  dxBufferTextura* b = lista->ObtenerBuffer(0);
  EXPECT_EQ(b->NumCuadrados(), 1);
  EXPECT_EQ(b->NumTriangulos(), 2);
  EXPECT_EQ(revision.verticeFueraDeRango, 1);
  EXPECT_EQ(revision.texturaEnmascarada, 1);
  EXPECT_EQ(revision.texturaFueraDeRango, 1);
  EXPECT_EQ(revision.paginaFueraDeRango, 2);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(b->TexturaPoligono(i), nullptr) << i;

  const trRevisionCaras sinConstruir = RevisarCaras(*lista, nivel, 4);
  EXPECT_EQ(sinConstruir.verticeFueraDeRango, revision.verticeFueraDeRango);
  EXPECT_EQ(sinConstruir.texturaEnmascarada, revision.texturaEnmascarada);
  EXPECT_EQ(sinConstruir.texturaFueraDeRango, revision.texturaFueraDeRango);
  EXPECT_EQ(sinConstruir.paginaFueraDeRango, revision.paginaFueraDeRango);
}

TEST_F(Conversion, TexturePagesOutliveNothingTheyShouldNot) {
  nivel.objetosTextura = {ObjetoTextura(1, {})};
  lista->Agregar(Mesh(kCuadro, {{{0, 1, 2, 3}, 0, 0}}, {}));
  Convertir();
  IDirect3DTexture8* t = paginas->Pagina32(1);
  EXPECT_EQ(grabacion.Referencias(t), 1u) << "polygons add no reference";
  lista.reset();
  EXPECT_EQ(grabacion.Vivos(ObjetoD3D8::VertexBuffer), 0);
  EXPECT_EQ(grabacion.Referencias(t), 1u);
  paginas.reset();
  EXPECT_EQ(grabacion.Vivos(ObjetoD3D8::Textura), 0);
  EXPECT_TRUE(grabacion.Errores().empty());
}

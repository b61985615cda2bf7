#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "falsos.h"
#include "geometry/dxPoligono.h"

namespace {
bool TodoCero(const void* p, size_t n) {
  const auto* b = static_cast<const unsigned char*>(p);
  for (size_t i = 0; i < n; ++i)
    if (b[i] != 0) return false;
  return true;
}
}  // namespace

TEST(Poligono, NewPolygonsAreEmptyWithTheirVertexRoom) {
  dxCuadradoTex quad(8);
  EXPECT_EQ(quad.NumVerticesAgregados(), 0);
  EXPECT_EQ(quad.MaxIndice(), 3);
  EXPECT_TRUE(TodoCero(quad.Vertices(), 80));
  EXPECT_EQ(quad.ObtenerTextura(), nullptr);
  EXPECT_EQ(quad.ObtenerFlags(), 8u);

  dxTrianguloTex tri(8);
  EXPECT_EQ(tri.MaxIndice(), 2);
  EXPECT_TRUE(TodoCero(tri.Vertices(), 60));
  EXPECT_EQ(tri.ObtenerTextura(), nullptr);

  EXPECT_EQ(dxTriangulo(0).MaxIndice(), 2);
  EXPECT_EQ(dxCuadrado(0).MaxIndice(), 3);
}

// Each class takes exactly maxIndice + 1 pushes, in order; the next one fails
// and changes nothing.
template <typename T>
void ComprobarPushes(int capacidad, size_t tamVertice) {
  T p(0);
  for (int i = 0; i < capacidad; ++i)
    EXPECT_EQ(p.AgregarVertice(i + 1.f, -i - 1.f, 10.f * i), S_OK);
  std::unique_ptr<unsigned char[]> antes(new unsigned char[capacidad * tamVertice]);
  std::memcpy(antes.get(), p.Vertices(), capacidad * tamVertice);
  EXPECT_EQ(p.AgregarVertice(99, 99, 99), E_FAIL);
  EXPECT_EQ(p.NumVerticesAgregados(), capacidad);
  EXPECT_EQ(std::memcmp(antes.get(), p.Vertices(), capacidad * tamVertice), 0);
  const auto* bytes = static_cast<const unsigned char*>(p.Vertices());
  for (int i = 0; i < capacidad; ++i) {
    float xyz[3];
    std::memcpy(xyz, bytes + i * tamVertice, sizeof xyz);
    EXPECT_EQ(xyz[0], i + 1.f);
    EXPECT_EQ(xyz[1], -i - 1.f);
    EXPECT_EQ(xyz[2], 10.f * i);
  }
}

TEST(Poligono, PushesFillVerticesInOrderUntilFull) {
  ComprobarPushes<dxTriangulo>(3, sizeof(dxVerticeColor));
  ComprobarPushes<dxCuadrado>(4, sizeof(dxVerticeColor));
  ComprobarPushes<dxTrianguloTex>(3, sizeof(dxVerticeTex));
  ComprobarPushes<dxCuadradoTex>(4, sizeof(dxVerticeTex));
}

TEST(Poligono, ColouredVerticesKeepColourZero) {
  dxCuadrado q(0);
  for (int i = 0; i < 4; ++i) q.AgregarVertice(1, 2, 3);
  const auto* v = static_cast<const dxVerticeColor*>(q.Vertices());
  for (int i = 0; i < 4; ++i) EXPECT_EQ(v[i].color, 0u);
}

TEST(Poligono, TextureCoordinatesSurviveLaterPushes) {
  TexturaFalsa pagina;
  dxCuadradoTex q(8);
  ASSERT_EQ(q.FijarTextura(&pagina, 0.f, 0.25f, 0.5f, 0.75f, 1.f, 0.125f, 0.375f, 0.625f), S_OK);
  for (int i = 0; i < 4; ++i) q.AgregarVertice(10.f * i, 0, 0);
  const auto* v = static_cast<const dxVerticeTex*>(q.Vertices());
  const float esperado[4][2] = {{0.f, 0.25f}, {0.5f, 0.75f}, {1.f, 0.125f}, {0.375f, 0.625f}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(v[i].x, 10.f * i);
    EXPECT_EQ(v[i].u, esperado[i][0]);
    EXPECT_EQ(v[i].v, esperado[i][1]);
  }
  EXPECT_EQ(q.ObtenerTextura(), &pagina);
  EXPECT_EQ(pagina.referencias, 1u) << "storing a page adds no reference";
}

TEST(Poligono, NullTextureIsRefusedAndChangesNothing) {
  dxTrianguloTex t(8);
  EXPECT_EQ(t.FijarTextura(nullptr, 1, 1, 1, 1, 1, 1), E_FAIL);
  EXPECT_EQ(t.ObtenerTextura(), nullptr);
  EXPECT_TRUE(TodoCero(t.Vertices(), 60));
}

TEST(Poligono, TexturedStorageStartsWithFirstPushedPosition) {
  dxTrianguloTex t(0);
  t.AgregarVertice(1.5f, -2.5f, 3.5f);
  float xyz[3];
  std::memcpy(xyz, t.Vertices(), 12);
  EXPECT_EQ(xyz[0], 1.5f);
  EXPECT_EQ(xyz[1], -2.5f);
  EXPECT_EQ(xyz[2], 3.5f);
}

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>

#include "falsos.h"
#include "geometry/dxBufferTextura.h"

namespace {
// A complete textured quad whose vertex i sits at (base + i, 0, 0).
dxCuadradoTex* Quad(float base, IDirect3DTexture8* pagina, DWORD flags = 8) {
  auto* q = new dxCuadradoTex(flags);
  q->FijarTextura(pagina, 0, 0, 1, 0, 0, 1, 1, 1);
  for (int i = 0; i < 4; ++i) q->AgregarVertice(base + i, 0, 0);
  return q;
}

dxTrianguloTex* Tri(float base, IDirect3DTexture8* pagina, DWORD flags = 8) {
  auto* t = new dxTrianguloTex(flags);
  t->FijarTextura(pagina, 0, 0, 1, 0, 0, 1);
  for (int i = 0; i < 3; ++i) t->AgregarVertice(base + i, 0, 0);
  return t;
}

D3DXVECTOR3 Transformar(const D3DXMATRIX& m, D3DXVECTOR3 p) {
  float r[4];
  for (int c = 0; c < 4; ++c) r[c] = p.x * m(0, c) + p.y * m(1, c) + p.z * m(2, c) + m(3, c);
  return {r[0] / r[3], r[1] / r[3], r[2] / r[3]};
}

bool EsIdentidad(const D3DXMATRIX& m) {
  for (int f = 0; f < 4; ++f)
    for (int c = 0; c < 4; ++c)
      if (m(f, c) != (f == c ? 1.f : 0.f)) return false;
  return true;
}
}  // namespace

TEST(BufferTextura, NewBufferIsEmpty) {
  dxBufferTextura b;
  EXPECT_EQ(b.ObtenerFVF(), 258u);
  EXPECT_EQ(b.ObtenerStride(), 20);
  EXPECT_EQ(b.NumTriangulos(), 0);
  EXPECT_EQ(b.NumCuadrados(), 0);
  EXPECT_EQ(b.NumVertices(), 0);
  EXPECT_EQ(b.DatosVertices(), nullptr);
  EXPECT_EQ(b.ObtenerVertexBuffer(), nullptr);
  EXPECT_TRUE(EsIdentidad(b.ObtenerMundo()));
  EXPECT_EQ(b.Empaquetar(), -1);

  dxBufferColor8 c;
  EXPECT_EQ(c.ObtenerFVF(), 66u);
  EXPECT_EQ(c.ObtenerStride(), 16);
}

TEST(BufferTextura, PacksInReverseOrderOfAdding) {
  TexturaFalsa ta, tb, tc;
  dxBufferTextura b;
  EXPECT_EQ(b.AgregarPoligono(Quad(100, &ta, 8)), 0);  // A
  EXPECT_EQ(b.AgregarPoligono(Tri(200, &tb, 2)), 0);   // B
  EXPECT_EQ(b.AgregarPoligono(Quad(300, &tc, 4)), 0);  // C
  EXPECT_EQ(b.NumCuadrados(), 2);
  EXPECT_EQ(b.NumTriangulos(), 1);
  EXPECT_EQ(b.NumVertices(), 11);
  ASSERT_EQ(b.Empaquetar(), 220);

  const auto* v = static_cast<const dxVerticeTex*>(b.DatosVertices());
  const float xEsperado[11] = {300, 301, 302, 303, 200, 201, 202, 100, 101, 102, 103};
  for (int i = 0; i < 11; ++i) EXPECT_EQ(v[i].x, xEsperado[i]) << "vertex " << i;
  EXPECT_EQ(b.FlagsPoligono(0), 4u | 17u);
  EXPECT_EQ(b.FlagsPoligono(1), 2u | 16u);
  EXPECT_EQ(b.FlagsPoligono(2), 8u | 17u);
  EXPECT_EQ(b.TexturaPoligono(0), &tc);
  EXPECT_EQ(b.TexturaPoligono(1), &tb);
  EXPECT_EQ(b.TexturaPoligono(2), &ta);
}

TEST(BufferTextura, SingleTriangle) {
  TexturaFalsa t;
  dxBufferTextura b;
  b.AgregarPoligono(Tri(0, &t));
  EXPECT_EQ(b.NumTriangulos(), 1);
  EXPECT_EQ(b.NumCuadrados(), 0);
  EXPECT_EQ(b.NumVertices(), 3);
  EXPECT_EQ(b.Empaquetar(), 60);
  EXPECT_EQ(b.FlagsPoligono(0), 24u);
}

TEST(BufferTextura, RepackingReplacesTheArraysUntilChangesAreCleared) {
  TexturaFalsa t;
  dxBufferTextura b;
  b.AgregarPoligono(Quad(0, &t));
  EXPECT_EQ(b.Empaquetar(), 80);
  EXPECT_EQ(b.Empaquetar(), 80);
  b.LimpiarCambios();
  EXPECT_EQ(b.Empaquetar(), -1);
  b.AgregarPoligono(Tri(50, &t));
  EXPECT_EQ(b.Empaquetar(), 140);
  EXPECT_EQ(static_cast<const dxVerticeTex*>(b.DatosVertices())[0].x, 50.f);
}

TEST(BufferTextura, NullPageStaysNullAndStillGetsTheTextureBit) {
  dxBufferTextura b;
  auto* q = new dxCuadradoTex(8);
  for (int i = 0; i < 4; ++i) q->AgregarVertice(1, 2, 3);
  b.AgregarPoligono(q);
  b.Empaquetar();
  EXPECT_EQ(b.TexturaPoligono(0), nullptr);
  EXPECT_EQ(b.FlagsPoligono(0), 25u);
}

TEST(BufferTextura, LookupsOutsideThePackingAreSafe) {
  TexturaFalsa t;
  dxBufferTextura b;
  EXPECT_EQ(b.FlagsPoligono(0), 0u);
  EXPECT_EQ(b.TexturaPoligono(0), nullptr);
  b.AgregarPoligono(Tri(0, &t));
  b.Empaquetar();
  EXPECT_EQ(b.FlagsPoligono(1), 0u);
  EXPECT_EQ(b.FlagsPoligono(-1), 0u);
  EXPECT_EQ(b.TexturaPoligono(1), nullptr);
}

TEST(BufferTextura, PolygonsOfTheOtherFamilyAreRefused) {
  dxBufferTextura b;
  EXPECT_EQ(b.AgregarPoligono(new dxTriangulo(0)), E_FAIL);
  EXPECT_EQ(b.AgregarPoligono(new dxCuadrado(0)), E_FAIL);
  EXPECT_EQ(b.AgregarPoligono(nullptr), E_FAIL);
  EXPECT_EQ(b.NumVertices(), 0);
  EXPECT_EQ(b.Empaquetar(), -1);

  dxBufferColor8 c;
  TexturaFalsa t;
  EXPECT_EQ(c.AgregarPoligono(Tri(0, &t)), E_FAIL);
  EXPECT_EQ(c.AgregarPoligono(new dxCuadrado(2)), 0);
  EXPECT_EQ(c.AgregarPoligono(new dxTriangulo(0)), 0);
  EXPECT_EQ(c.Empaquetar(), 7 * 16);
  EXPECT_EQ(c.FlagsPoligono(0), 0u);
  EXPECT_EQ(c.FlagsPoligono(1), 3u);
}

TEST(BufferTextura, DestructionReleasesTheVertexBufferOnceAndNoTexture) {
  TexturaFalsa t;
  VertexBufferFalso vb;
  {
    dxBufferTextura b;
    for (int i = 0; i < 50; ++i)
      b.AgregarPoligono(i % 2 ? Quad(i, &t) : static_cast<dxPoligono*>(Tri(i, &t)));
    b.Empaquetar();
    b.FijarVertexBuffer(&vb);
    EXPECT_EQ(b.ObtenerVertexBuffer(), &vb);
  }
  EXPECT_EQ(vb.liberaciones, 1);
  EXPECT_EQ(t.referencias, 1u);
}

TEST(BufferTextura, ReplacingTheVertexBufferReleasesTheOldOne) {
  VertexBufferFalso viejo, nuevo;
  {
    dxBufferTextura b;
    b.FijarVertexBuffer(&viejo);
    b.FijarVertexBuffer(&nuevo);
    EXPECT_EQ(viejo.liberaciones, 1);
    EXPECT_EQ(nuevo.liberaciones, 0);
  }
  EXPECT_EQ(viejo.liberaciones, 1);
  EXPECT_EQ(nuevo.liberaciones, 1);
}

TEST(BufferMundo, LastOperationActsFirst) {
  dxBufferTextura b;
  b.Trasladar(1, 0, 0);
  b.Escalar(2);
  D3DXVECTOR3 p = Transformar(b.ObtenerMundo(), {1, 0, 0});
  EXPECT_FLOAT_EQ(p.x, 3.f);

  // Trasladar T, RotarY R, Escalar S leave S x R x T: scale, turn, then move.
  b.ReiniciarMundo();
  b.Trasladar(10, 0, 0);
  b.RotarY(std::numbers::pi_v<float> / 2);
  b.Escalar(2);
  p = Transformar(b.ObtenerMundo(), {0, 0, 1});
  EXPECT_NEAR(p.x, 12.f, 1e-5f);
  EXPECT_NEAR(p.y, 0.f, 1e-5f);
  EXPECT_NEAR(p.z, 0.f, 1e-5f);

  b.RotarX(0.3f);
  b.ReiniciarMundo();
  EXPECT_TRUE(EsIdentidad(b.ObtenerMundo()));
}

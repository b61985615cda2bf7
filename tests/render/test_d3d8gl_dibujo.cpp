// What the OpenGL implementation draws, checked pixel by pixel in a 64 x 64
// VentanaEGL: orientation, texture coordinates, culling, fill modes, depth,
// 16-bit pages, null textures, and that merged draws draw the same.
#include <cmath>
#include <cstdlib>

#include "PruebaGL.h"

namespace prueba_gl {
namespace {

constexpr std::uint32_t kRojo = 0xFF0000, kVerde = 0x00FF00, kAzul = 0x0000FF, kAmarillo = 0xFFFF00,
                        kBlanco = 0xFFFFFF, kNegro = 0x000000, kFondo = 0xFF00FF;

// Clip-space square from -0.5 to 0.5 at depth z, as a strip in "Z" order
// (top-left, top-right, bottom-left, bottom-right) with the page mapped the
// right way: u grows to the right, v downward. It covers pixels 16..47.
std::vector<VerticeTex> Cuadrado(float z = 0.5f, float lado = 0.5f) {
  return {{-lado, lado, z, 0, 0},
          {lado, lado, z, 1, 0},
          {-lado, -lado, z, 0, 1},
          {lado, -lado, z, 1, 1}};
}

bool Parecido(std::uint32_t a, std::uint32_t b, int tolerancia) {
  for (int desplazamiento : {16, 8, 0}) {
    const int ca = static_cast<int>((a >> desplazamiento) & 255);
    const int cb = static_cast<int>((b >> desplazamiento) & 255);
    if (std::abs(ca - cb) > tolerancia) return false;
  }
  return true;
}

class Dibujo : public PruebaGL {
 protected:
  void Empezar(D3DCOLOR fondo = kMagenta) {
    ASSERT_EQ(dispositivo->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, fondo, 1.0f, 0),
              D3D_OK);
    ASSERT_EQ(dispositivo->BeginScene(), D3D_OK);
  }
  std::vector<std::uint8_t> Terminar() {
    EXPECT_EQ(dispositivo->EndScene(), D3D_OK);
    return Presentar();
  }
  // Draws one strip quad (or list triangle) of `vertices` with the states
  // the render classes set.
  std::vector<std::uint8_t> DibujarSolo(const std::vector<VerticeTex>& vertices,
                                        D3DPRIMITIVETYPE tipo, IDirect3DTexture8* textura,
                                        DWORD cull = D3DCULL_NONE, DWORD relleno = D3DFILL_SOLID) {
    Usar(Vertices(vertices, kFvfTex), kFvfTex, sizeof(VerticeTex));
    Empezar();
    DibujarPoligono(tipo, 0, tipo == D3DPT_TRIANGLESTRIP ? 2 : 1, textura, cull, relleno);
    return Terminar();
  }
};

TEST_F(Dibujo, ClearIsMagentaAndReachesTheWindowOnlyAtPresent) {
  ASSERT_EQ(dispositivo->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kMagenta, 1, 0),
            D3D_OK);
  EXPECT_EQ(En(ventana->LeerPixeles(), 10, 10), kNegro) << "nothing presented yet";
  const auto p = Presentar();
  EXPECT_EQ(ventana->Presentaciones(), 1);
  for (int y = 0; y < kLado; y += 7)
    for (int x = 0; x < kLado; x += 7) ASSERT_EQ(En(p, x, y), kFondo) << x << "," << y;
  EXPECT_EQ(p[3], 255) << "the window's pixels are opaque";
}

TEST_F(Dibujo, ClipYPlusOneIsTheTopOfTheWindow) {
  PonerIdentidades();
  // A band from clip y = +1 down to +0.5: the top quarter of the window.
  const auto p = DibujarSolo(
      {{-1, 1, 0.5f, 0, 0}, {1, 1, 0.5f, 0, 0}, {-1, 0.5f, 0.5f, 0, 0}, {1, 0.5f, 0.5f, 0, 0}},
      D3DPT_TRIANGLESTRIP, nullptr);
  EXPECT_EQ(En(p, 32, 0), kBlanco);
  EXPECT_EQ(En(p, 32, 15), kBlanco);
  EXPECT_EQ(En(p, 32, 16), kFondo);
  EXPECT_EQ(En(p, 32, 63), kFondo);
}

TEST_F(Dibujo, TexturedStripQuadIsNeitherMirroredNorUpsideDown) {
  PonerIdentidades();
  const auto p = DibujarSolo(Cuadrado(), D3DPT_TRIANGLESTRIP, PaginaCuadrantes());
  EXPECT_EQ(Hex(En(p, 24, 24)), Hex(kRojo)) << "page's top-left at the quad's top-left";
  EXPECT_EQ(Hex(En(p, 40, 24)), Hex(kVerde));
  EXPECT_EQ(Hex(En(p, 24, 40)), Hex(kAzul));
  EXPECT_EQ(Hex(En(p, 40, 40)), Hex(kAmarillo));
  EXPECT_EQ(En(p, 8, 8), kFondo);
  EXPECT_EQ(En(p, 15, 32), kFondo);
  EXPECT_NE(En(p, 16, 30), kFondo);
  EXPECT_EQ(En(p, 48, 32), kFondo);
}

TEST_F(Dibujo, TriangleListFollowsItsTextureCoordinates) {
  PonerIdentidades();
  // The upper-left half of the quad, but with the page turned: the corner
  // given v = 1 on the left shows the bottom of the page.
  const auto p =
      DibujarSolo({{-0.5f, 0.5f, 0.5f, 0, 1}, {0.5f, 0.5f, 0.5f, 1, 1}, {-0.5f, -0.5f, 0.5f, 0, 0}},
                  D3DPT_TRIANGLELIST, PaginaCuadrantes());
  EXPECT_EQ(Hex(En(p, 19, 19)), Hex(kAzul));      // near (u, v) = (0, 1)
  EXPECT_EQ(Hex(En(p, 42, 19)), Hex(kAmarillo));  // near (1, 1)
  EXPECT_EQ(Hex(En(p, 19, 42)), Hex(kRojo));      // near (0, 0)
  EXPECT_EQ(En(p, 42, 42), kFondo);               // the half that was not drawn
}

TEST_F(Dibujo, TheViewersCameraShowsTheQuadAsDirect3DWould) {
  PonerCamara();
  // A 400-unit square in the z = 0 plane, page corner (0, 0) at world
  // (-200, 200). Looking from +Z toward the origin in a left-handed space,
  // world +X points to the screen's left.
  const std::vector<VerticeTex> v = {
      {-200, 200, 0, 0, 0}, {200, 200, 0, 1, 0}, {-200, -200, 0, 0, 1}, {200, -200, 0, 1, 1}};
  float cx, cy, ax, ay;
  Proyectar(0, 0, 0, &cx, &cy);
  Proyectar(-200, 200, 0, &ax, &ay);
  ASSERT_GT(ax, cx) << "world -X lands right of centre";
  ASSERT_LT(ay, cy) << "world +Y lands above centre";
  const auto p = DibujarSolo(v, D3DPT_TRIANGLESTRIP, PaginaCuadrantes());
  struct Esquina {
    float x, y;
    std::uint32_t color;
  };
  for (Esquina e : {Esquina{-200, 200, kRojo}, Esquina{200, 200, kVerde},
                    Esquina{-200, -200, kAzul}, Esquina{200, -200, kAmarillo}}) {
    float px, py;
    // Halfway between the centre and the corner: inside that quadrant.
    Proyectar(e.x / 2, e.y / 2, 0, &px, &py);
    EXPECT_EQ(Hex(En(p, static_cast<int>(px), static_cast<int>(py))), Hex(e.color))
        << "corner " << e.x << "," << e.y;
  }
  Proyectar(300, 300, 0, &ax, &ay);
  EXPECT_EQ(En(p, static_cast<int>(ax), static_cast<int>(ay)), kFondo);
}

// --------------------------------------------------------------- culling
struct CasoCull {
  const char* nombre;
  D3DPRIMITIVETYPE tipo;
  bool horario;  // turns clockwise as seen on screen
  DWORD cull;
  bool visible;
};

void PrintTo(const CasoCull& c, std::ostream* os) { *os << c.nombre; }

class Culling : public Dibujo, public ::testing::WithParamInterface<CasoCull> {};

TEST_P(Culling, RemovesTheFacesDirect3DRemoves) {
  const CasoCull& c = GetParam();
  PonerIdentidades();
  std::vector<VerticeTex> v;
  if (c.tipo == D3DPT_TRIANGLESTRIP) {
    // "Z" order is clockwise on screen for both triangles of the strip
    // (Direct3D reverses every other one); swapping columns mirrors it.
    v = Cuadrado();
    if (!c.horario) v = {v[1], v[0], v[3], v[2]};
  } else {
    v = {{-0.5f, 0.5f, 0.5f, 0, 0}, {0.5f, 0.5f, 0.5f, 0, 0}, {-0.5f, -0.5f, 0.5f, 0, 0}};
    if (!c.horario) std::swap(v[1], v[2]);
  }
  const auto p = DibujarSolo(v, c.tipo, nullptr, c.cull);
  const std::uint32_t esperado = c.visible ? kBlanco : kFondo;
  // (30, 20) lies in the first triangle and (34, 44) in the second, whichever
  // diagonal the strip splits along.
  EXPECT_EQ(Hex(En(p, 30, 20)), Hex(esperado)) << "first triangle";
  if (c.tipo == D3DPT_TRIANGLESTRIP) {
    EXPECT_EQ(Hex(En(p, 34, 44)), Hex(esperado)) << "second triangle";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Todos, Culling,
    ::testing::Values(CasoCull{"StripCwNone", D3DPT_TRIANGLESTRIP, true, D3DCULL_NONE, true},
                      CasoCull{"StripCcwNone", D3DPT_TRIANGLESTRIP, false, D3DCULL_NONE, true},
                      CasoCull{"StripCwCullCw", D3DPT_TRIANGLESTRIP, true, D3DCULL_CW, false},
                      CasoCull{"StripCcwCullCw", D3DPT_TRIANGLESTRIP, false, D3DCULL_CW, true},
                      CasoCull{"StripCwCullCcw", D3DPT_TRIANGLESTRIP, true, D3DCULL_CCW, true},
                      CasoCull{"StripCcwCullCcw", D3DPT_TRIANGLESTRIP, false, D3DCULL_CCW, false},
                      CasoCull{"ListCwNone", D3DPT_TRIANGLELIST, true, D3DCULL_NONE, true},
                      CasoCull{"ListCcwNone", D3DPT_TRIANGLELIST, false, D3DCULL_NONE, true},
                      CasoCull{"ListCwCullCw", D3DPT_TRIANGLELIST, true, D3DCULL_CW, false},
                      CasoCull{"ListCcwCullCw", D3DPT_TRIANGLELIST, false, D3DCULL_CW, true},
                      CasoCull{"ListCwCullCcw", D3DPT_TRIANGLELIST, true, D3DCULL_CCW, true},
                      CasoCull{"ListCcwCullCcw", D3DPT_TRIANGLELIST, false, D3DCULL_CCW, false}),
    [](const auto& caso) { return std::string(caso.param.nombre); });

// ----------------------------------------------------------- fill modes
TEST_F(Dibujo, WireframeDrawsEdgesAndDiagonalButNotTheInside) {
  PonerIdentidades();
  // Corners on pixel centres 16.5 and 47.5, so each edge covers one column
  // or row of pixels; the strip's diagonal runs through (32, 32).
  const float a = 16.5f / 32 - 1, b = 47.5f / 32 - 1;
  const auto p = DibujarSolo(
      {{a, -a, 0.5f, 0, 0}, {b, -a, 0.5f, 0, 0}, {a, -b, 0.5f, 0, 0}, {b, -b, 0.5f, 0, 0}},
      D3DPT_TRIANGLESTRIP, nullptr, D3DCULL_NONE, D3DFILL_WIREFRAME);
  auto cercaHayLinea = [&](int x, int y) {
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (En(p, x + dx, y + dy) == kBlanco) return true;
    return false;
  };
  EXPECT_TRUE(cercaHayLinea(16, 32)) << "left edge";
  EXPECT_TRUE(cercaHayLinea(47, 32)) << "right edge";
  EXPECT_TRUE(cercaHayLinea(32, 16)) << "top edge";
  EXPECT_TRUE(cercaHayLinea(32, 47)) << "bottom edge";
  EXPECT_TRUE(cercaHayLinea(32, 32)) << "diagonal between the strip's triangles";
  EXPECT_EQ(En(p, 24, 24), kFondo) << "inside shows the clear colour";
  EXPECT_EQ(En(p, 40, 40), kFondo);
  EXPECT_EQ(En(p, 8, 32), kFondo);
}

TEST_F(Dibujo, PointFillDrawsOnlyTheCorners) {
  PonerIdentidades();
  const float a = 16.5f / 32 - 1, b = 47.5f / 32 - 1;
  const auto p = DibujarSolo({{a, -a, 0.5f, 0, 0}, {b, -a, 0.5f, 0, 0}, {a, -b, 0.5f, 0, 0}},
                             D3DPT_TRIANGLELIST, nullptr, D3DCULL_NONE, D3DFILL_POINT);
  EXPECT_EQ(En(p, 16, 16), kBlanco);
  EXPECT_EQ(En(p, 47, 16), kBlanco);
  EXPECT_EQ(En(p, 16, 47), kBlanco);
  EXPECT_EQ(En(p, 24, 24), kFondo);
  EXPECT_EQ(En(p, 32, 16), kFondo);
}

// ----------------------------------------------------------------- depth
struct CasoProfundidad {
  const char* nombre;
  DWORD zEnable;
  bool cercaPrimero;
  std::uint32_t esperado;
};

void PrintTo(const CasoProfundidad& c, std::ostream* os) { *os << c.nombre; }

class Profundidad : public Dibujo, public ::testing::WithParamInterface<CasoProfundidad> {};

TEST_P(Profundidad, NearerWinsWithZOnLaterWinsWithZOff) {
  const CasoProfundidad& c = GetParam();
  PonerCamara();
  // Two overlapping squares, the red one 100 units nearer the eye at +Z.
  const std::vector<VerticeTex> cerca = {{-200, 200, 100, 0, 0},
                                         {200, 200, 100, 1, 0},
                                         {-200, -200, 100, 0, 1},
                                         {200, -200, 100, 1, 1}};
  std::vector<VerticeTex> lejos = cerca;
  for (auto& v : lejos) v.z = -100;
  std::vector<VerticeTex> todos = cerca;
  todos.insert(todos.end(), lejos.begin(), lejos.end());
  Usar(Vertices(todos, kFvfTex), kFvfTex, sizeof(VerticeTex));
  IDirect3DTexture8* rojo = PaginaLisa(0xFF0000);
  IDirect3DTexture8* verde = PaginaLisa(0x00FF00);
  Empezar();
  dispositivo->SetRenderState(D3DRS_ZENABLE, c.zEnable);
  if (c.cercaPrimero) {
    DibujarPoligono(D3DPT_TRIANGLESTRIP, 0, 2, rojo);
    DibujarPoligono(D3DPT_TRIANGLESTRIP, 4, 2, verde);
  } else {
    DibujarPoligono(D3DPT_TRIANGLESTRIP, 4, 2, verde);
    DibujarPoligono(D3DPT_TRIANGLESTRIP, 0, 2, rojo);
  }
  const auto p = Terminar();
  EXPECT_EQ(Hex(En(p, 32, 32)), Hex(c.esperado));
}

INSTANTIATE_TEST_SUITE_P(Todos, Profundidad,
                         ::testing::Values(CasoProfundidad{"ZOnNearFirst", 1, true, kRojo},
                                           CasoProfundidad{"ZOnNearLast", 1, false, kRojo},
                                           CasoProfundidad{"ZOffNearFirst", 0, true, kVerde},
                                           CasoProfundidad{"ZOffNearLast", 0, false, kRojo}),
                         [](const auto& caso) { return std::string(caso.param.nombre); });

TEST_F(Dibujo, DepthValuesAreDirect3DsZeroToOne) {
  PonerIdentidades();
  // Cleared to 0.5: with LESSEQUAL, z = 0.4 passes and z = 0.6 fails. Under
  // GL's own -1..1 mapping 0.4 would become 0.7 and fail too.
  std::vector<VerticeTex> v = {{-1, 1, 0.4f, 0, 0}, {0, 1, 0.4f, 0, 0}, {-1, -1, 0.4f, 0, 0},
                               {0, -1, 0.4f, 0, 0}, {0, 1, 0.6f, 0, 0}, {1, 1, 0.6f, 0, 0},
                               {0, -1, 0.6f, 0, 0}, {1, -1, 0.6f, 0, 0}};
  Usar(Vertices(v, kFvfTex), kFvfTex, sizeof(VerticeTex));
  ASSERT_EQ(dispositivo->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kMagenta, 0.5f, 0),
            D3D_OK);
  ASSERT_EQ(dispositivo->BeginScene(), D3D_OK);
  dispositivo->SetRenderState(D3DRS_ZENABLE, 1);
  DibujarPoligono(D3DPT_TRIANGLESTRIP, 0, 2, nullptr);
  DibujarPoligono(D3DPT_TRIANGLESTRIP, 4, 2, nullptr);
  const auto p = Terminar();
  EXPECT_EQ(En(p, 16, 32), kBlanco);
  EXPECT_EQ(En(p, 48, 32), kFondo);
}

TEST_F(Dibujo, GeometryInFrontOfTheNearPlaneIsClipped) {
  PonerIdentidades();
  // Clip z below 0 is in front of Direct3D's near plane even though GL's
  // clip volume would keep it; z just above 0 is drawn.
  std::vector<VerticeTex> v = {{-1, 1, -0.25f, 0, 0}, {0, 1, -0.25f, 0, 0}, {-1, -1, -0.25f, 0, 0},
                               {0, 1, 0.01f, 0, 0},   {1, 1, 0.01f, 0, 0},  {0, -1, 0.01f, 0, 0}};
  Usar(Vertices(v, kFvfTex), kFvfTex, sizeof(VerticeTex));
  Empezar();
  DibujarPoligono(D3DPT_TRIANGLELIST, 0, 2, nullptr);
  const auto p = Terminar();
  EXPECT_EQ(En(p, 8, 16), kFondo);
  EXPECT_EQ(En(p, 40, 16), kBlanco);
}

// ------------------------------------------------------------- textures
TEST_F(Dibujo, SixteenBitPagesShowTheirColoursAndIgnoreTheTopBit) {
  PonerIdentidades();
  // Red 31, green 31 with bit 15 set, blue 31, and (16, 8, 4) with bit 15.
  IDirect3DTexture8* pagina = Pagina(D3DFMT_X1R5G5B5, 256, [](UINT x, UINT y) -> std::uint32_t {
    if (y < 128) return x < 128 ? 0x7C00 : 0x83E0;
    return x < 128 ? 0x001F : 0xC104;
  });
  const auto p = DibujarSolo(Cuadrado(), D3DPT_TRIANGLESTRIP, pagina);
  // A 5-bit value c shows as c * 255 / 31.
  EXPECT_TRUE(Parecido(En(p, 24, 24), kRojo, 1)) << Hex(En(p, 24, 24));
  EXPECT_TRUE(Parecido(En(p, 40, 24), kVerde, 1)) << Hex(En(p, 40, 24));
  EXPECT_TRUE(Parecido(En(p, 24, 40), kAzul, 1)) << Hex(En(p, 24, 40));
  EXPECT_TRUE(Parecido(En(p, 40, 40), 0x844221, 1)) << Hex(En(p, 40, 40));
}

TEST_F(Dibujo, NullTextureDrawsOpaqueWhite) {
  PonerIdentidades();
  const auto p = DibujarSolo(Cuadrado(), D3DPT_TRIANGLESTRIP, nullptr);
  EXPECT_EQ(Hex(En(p, 24, 24)), Hex(kBlanco));
  EXPECT_EQ(Hex(En(p, 40, 40)), Hex(kBlanco));
}

TEST_F(Dibujo, OnlyLevelZeroIsSampledWithoutAMipFilter) {
  PonerIdentidades();
  IDirect3DTexture8* t = PaginaLisa(0x00FF00);
  // Every smaller level filled red: a quad small enough to minify would
  // show red if the chain were sampled.
  ASSERT_EQ(t->GetLevelCount(), 4u);
  for (UINT nivel = 1; nivel < 4; ++nivel) {
    D3DLOCKED_RECT r{};
    ASSERT_EQ(t->LockRect(nivel, &r, nullptr, 0), D3D_OK);
    const UINT lado = 8u >> nivel;
    for (UINT i = 0; i < lado * lado; ++i) static_cast<std::uint32_t*>(r.pBits)[i] = 0xFF0000;
    ASSERT_EQ(t->UnlockRect(nivel), D3D_OK);
  }
  const std::vector<VerticeTex> v = Cuadrado(0.5f, 2.0f / kLado);  // 2 x 2 pixels, 8 x 8 texels
  const auto p = DibujarSolo(v, D3DPT_TRIANGLESTRIP, t);
  EXPECT_EQ(Hex(En(p, 32, 32)), Hex(kVerde));
}

// ------------------------------------------------------- vertex colours
TEST_F(Dibujo, FlatShadingTakesEachTrianglesFirstVertex) {
  PonerIdentidades();
  // A strip of two triangles: the first is shaded with vertex 0, the
  // second, reversed by the strip rule, still with its first vertex, 1.
  std::vector<VerticeColor> v = {{-0.5f, 0.5f, 0.5f, 0xFFFF0000},
                                 {0.5f, 0.5f, 0.5f, 0xFF00FF00},
                                 {-0.5f, -0.5f, 0.5f, 0xFF0000FF},
                                 {0.5f, -0.5f, 0.5f, 0xFFFFFFFF}};
  Usar(Vertices(v, kFvfColor), kFvfColor, sizeof(VerticeColor));
  Empezar();
  dispositivo->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
  dispositivo->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  dispositivo->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
  ASSERT_EQ(dispositivo->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
  auto p = Terminar();
  EXPECT_EQ(Hex(En(p, 22, 22)), Hex(kRojo));
  EXPECT_EQ(Hex(En(p, 42, 42)), Hex(kVerde));

  // Gouraud blends; lighting with no lights leaves black.
  Empezar();
  dispositivo->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
  ASSERT_EQ(dispositivo->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
  p = Terminar();
  EXPECT_NE(En(p, 22, 22), kRojo);
  Empezar();
  dispositivo->SetRenderState(D3DRS_LIGHTING, 1);
  ASSERT_EQ(dispositivo->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
  p = Terminar();
  EXPECT_EQ(En(p, 32, 32), kNegro);
}

// ------------------------------------------------------- merged drawing
TEST_F(Dibujo, ChangesAfterADrawDoNotReachThatDraw) {
  PonerIdentidades();
  IDirect3DTexture8* t = PaginaLisa(0xFF0000);
  std::vector<VerticeTex> v = {
      {-1, 1, 0.5f, 0, 0}, {0, 1, 0.5f, 1, 0}, {-1, -1, 0.5f, 0, 1}, {0, -1, 0.5f, 1, 1}};
  IDirect3DVertexBuffer8* vb = Vertices(v, kFvfTex);
  Usar(vb, kFvfTex, sizeof(VerticeTex));
  // Two draws with the same states would merge; a change in between may
  // only reach the second. First the page changes, then the vertices.
  Empezar();
  DibujarPoligono(D3DPT_TRIANGLESTRIP, 0, 2, t);
  D3DLOCKED_RECT r{};
  ASSERT_EQ(t->LockRect(0, &r, nullptr, 0), D3D_OK);
  for (int i = 0; i < 8 * 8; ++i) static_cast<std::uint32_t*>(r.pBits)[i] = 0x00FF00;
  ASSERT_EQ(t->UnlockRect(0), D3D_OK);
  dispositivo->SetTransform(D3DTS_WORLD, nullptr);  // fails, changes nothing
  DibujarPoligono(D3DPT_TRIANGLELIST, 1, 1, t);     // the right-hand triangle only
  auto p = Terminar();
  EXPECT_EQ(Hex(En(p, 4, 8)), Hex(kRojo)) << "top-left corner: only the first draw";
  EXPECT_EQ(Hex(En(p, 28, 56)), Hex(kVerde)) << "bottom-right of the left half: both draws";

  Empezar();
  DibujarPoligono(D3DPT_TRIANGLESTRIP, 0, 2, t);
  BYTE* datos = nullptr;
  ASSERT_EQ(vb->Lock(0, 0, &datos, 0), D3D_OK);
  for (int i = 0; i < 4; ++i) reinterpret_cast<VerticeTex*>(datos)[i].x += 1;
  ASSERT_EQ(vb->Unlock(), D3D_OK);
  DibujarPoligono(D3DPT_TRIANGLESTRIP, 0, 2, t);
  p = Terminar();
  EXPECT_EQ(Hex(En(p, 16, 32)), Hex(kVerde)) << "the first draw kept its vertices";
  EXPECT_EQ(Hex(En(p, 48, 32)), Hex(kVerde));

  // And a new world matrix moves only what is drawn after it.
  ASSERT_EQ(vb->Lock(0, 0, &datos, 0), D3D_OK);
  std::memcpy(datos, v.data(), v.size() * sizeof(VerticeTex));
  ASSERT_EQ(vb->Unlock(), D3D_OK);
  Empezar();
  DibujarPoligono(D3DPT_TRIANGLESTRIP, 0, 2, t);
  D3DXMATRIX mundo;
  D3DXMatrixTranslation(&mundo, 1, 0, 0);
  ASSERT_EQ(dispositivo->SetTransform(D3DTS_WORLD, &mundo), D3D_OK);
  DibujarPoligono(D3DPT_TRIANGLESTRIP, 0, 2, t);
  p = Terminar();
  EXPECT_EQ(Hex(En(p, 16, 32)), Hex(kVerde)) << "drawn before the matrix changed";
  EXPECT_EQ(Hex(En(p, 48, 32)), Hex(kVerde));
}

TEST_F(Dibujo, MergedDrawsMatchDrawsMadeOneByOne) {
  PonerIdentidades();
  // An 8 x 8 grid of cells: quads and triangles, two pages, every cull
  // mode, some cells turned the other way, as a mesh's polygons vary.
  std::vector<VerticeTex> v;
  struct Poligono {
    D3DPRIMITIVETYPE tipo;
    UINT inicio;
    IDirect3DTexture8* textura;
    DWORD cull;
  };
  std::vector<Poligono> poligonos;
  IDirect3DTexture8* paginas[2] = {PaginaCuadrantes(), PaginaLisa(0x3366CC)};
  const DWORD culls[3] = {D3DCULL_NONE, D3DCULL_CW, D3DCULL_CCW};
  for (int fila = 0; fila < 8; ++fila) {
    for (int col = 0; col < 8; ++col) {
      const int n = fila * 8 + col;
      const float x0 = -1 + col * 0.25f, x1 = x0 + 0.25f, y0 = 1 - fila * 0.25f, y1 = y0 - 0.25f;
      const UINT inicio = static_cast<UINT>(v.size());
      std::vector<VerticeTex> c = {
          {x0, y0, 0.5f, 0, 0}, {x1, y0, 0.5f, 1, 0}, {x0, y1, 0.5f, 0, 1}, {x1, y1, 0.5f, 1, 1}};
      if (n % 5 == 0) c = {c[1], c[0], c[3], c[2]};
      const bool cuadrado = n % 3 != 0;
      v.insert(v.end(), c.begin(), c.begin() + (cuadrado ? 4 : 3));
      poligonos.push_back({cuadrado ? D3DPT_TRIANGLESTRIP : D3DPT_TRIANGLELIST, inicio,
                           paginas[(n / 7) % 2], culls[(n / 4) % 3]});
    }
  }
  Usar(Vertices(v, kFvfTex), kFvfTex, sizeof(VerticeTex));
  auto dibujar = [&](bool unoPorUno) {
    Empezar();
    for (const Poligono& pol : poligonos) {
      DibujarPoligono(pol.tipo, pol.inicio, pol.tipo == D3DPT_TRIANGLESTRIP ? 2 : 1, pol.textura,
                      pol.cull);
      if (unoPorUno) {
        dispositivo->EndScene();
        dispositivo->BeginScene();
      }
    }
    return Terminar();
  };
  EstadisticasD3D8GL antes{}, despues{};
  ASSERT_TRUE(LeerEstadisticasD3D8GL(dispositivo, &antes));
  const auto juntos = dibujar(false);
  ASSERT_TRUE(LeerEstadisticasD3D8GL(dispositivo, &despues));
  EXPECT_EQ(despues.dibujosD3D - antes.dibujosD3D, 64u);
  EXPECT_LT(despues.dibujosGL - antes.dibujosGL, 40u) << "runs of equal states were merged";
  const auto separados = dibujar(true);
  EXPECT_TRUE(juntos == separados) << "merging changed what was drawn";
  // And the grid really holds both visible and culled cells.
  int fondo = 0;
  for (int i = 0; i < 64; ++i) fondo += En(juntos, 4 + (i % 8) * 8, 4 + (i / 8) * 8) == kFondo;
  EXPECT_GT(fondo, 0);
  EXPECT_LT(fondo, 64);
}

TEST_F(Dibujo, AMeshOfOneStateIsOneGLDraw) {
  PonerIdentidades();
  std::vector<VerticeTex> v;
  for (int i = 0; i < 300; ++i) {
    const auto c = Cuadrado(0.5f, 0.1f + 0.001f * i);
    v.insert(v.end(), c.begin(), c.end());
  }
  Usar(Vertices(v, kFvfTex), kFvfTex, sizeof(VerticeTex));
  IDirect3DTexture8* t = PaginaCuadrantes();
  EstadisticasD3D8GL antes{}, despues{};
  ASSERT_TRUE(LeerEstadisticasD3D8GL(dispositivo, &antes));
  Empezar();
  for (UINT i = 0; i < 300; ++i) DibujarPoligono(D3DPT_TRIANGLESTRIP, i * 4, 2, t, D3DCULL_CCW);
  Terminar();
  ASSERT_TRUE(LeerEstadisticasD3D8GL(dispositivo, &despues));
  EXPECT_EQ(despues.dibujosGL - antes.dibujosGL, 1u);
}

}  // namespace
}  // namespace prueba_gl

// Textures as layers of shared array textures in the OpenGL implementation:
// draws that switch between pages of one size and format merge into one GL
// draw and still show each polygon's own page; arrays grow, lose textures
// in the middle and keep other sizes and formats apart; vertices shared by
// draws of different pages; the per-frame index buffer.
#include <algorithm>

#include "PruebaGL.h"

namespace prueba_gl {
namespace {

constexpr std::uint32_t kRojo = 0xFF0000, kVerde = 0x00FF00, kAzul = 0x0000FF, kBlanco = 0xFFFFFF;

// An 8 x 8 grid of cells over the whole 64 x 64 window, cell i at column
// i % 8 and row i / 8, each a strip quad of 4 vertices from vertex 4 * i
// with the whole page mapped on it.
std::vector<VerticeTex> Rejilla() {
  std::vector<VerticeTex> v;
  for (int i = 0; i < 64; ++i) {
    const float x0 = -1 + (i % 8) * 0.25f, x1 = x0 + 0.25f;
    const float y0 = 1 - (i / 8) * 0.25f, y1 = y0 - 0.25f;
    v.insert(
        v.end(),
        {{x0, y0, 0.5f, 0, 0}, {x1, y0, 0.5f, 1, 0}, {x0, y1, 0.5f, 0, 1}, {x1, y1, 0.5f, 1, 1}});
  }
  return v;
}

class Capas : public PruebaGL {
 protected:
  // A page of one colour, `lado` texels a side, full chain, as Pagina makes it.
  IDirect3DTexture8* Lisa(std::uint32_t rgb, UINT lado = 8, D3DFORMAT formato = D3DFMT_X8R8G8B8) {
    const std::uint32_t texel =
        formato == D3DFMT_X1R5G5B5
            ? ((rgb >> 9) & 0x7C00) | ((rgb >> 6) & 0x03E0) | ((rgb >> 3) & 0x001F)
            : rgb;
    return Pagina(formato, lado, [texel](UINT, UINT) { return texel; });
  }

  // A distinct colour for each number: an exact 8-bit value in each channel.
  static std::uint32_t Color(int n) {
    return (static_cast<std::uint32_t>(40 + n * 53 % 200) << 16) |
           (static_cast<std::uint32_t>(30 + n * 97 % 210) << 8) |
           static_cast<std::uint32_t>(20 + n * 31 % 220);
  }

  std::uint64_t DibujosGL() {
    EstadisticasD3D8GL e{};
    EXPECT_TRUE(LeerEstadisticasD3D8GL(dispositivo, &e));
    return e.dibujosGL;
  }

  // Draws cell i of the grid with paginas[i] for every i given, as the draw
  // loop does; with `unoPorUno` every polygon is drawn on its own.
  std::vector<std::uint8_t> Dibujar(const std::vector<IDirect3DTexture8*>& paginas,
                                    bool unoPorUno = false) {
    EXPECT_EQ(dispositivo->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kMagenta, 1, 0),
              D3D_OK);
    EXPECT_EQ(dispositivo->BeginScene(), D3D_OK);
    for (std::size_t i = 0; i < paginas.size(); ++i) {
      DibujarPoligono(D3DPT_TRIANGLESTRIP, static_cast<UINT>(4 * i), 2, paginas[i]);
      if (unoPorUno) {
        dispositivo->EndScene();
        dispositivo->BeginScene();
      }
    }
    EXPECT_EQ(dispositivo->EndScene(), D3D_OK);
    return Presentar();
  }

  std::uint32_t Celda(const std::vector<std::uint8_t>& p, int i) const {
    return En(p, 4 + (i % 8) * 8, 4 + (i / 8) * 8);
  }

  void SetUp() override {
    PruebaGL::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    PonerIdentidades();
    Usar(Vertices(Rejilla(), kFvfTex), kFvfTex, sizeof(VerticeTex));
  }
};

TEST_F(Capas, AMeshAlternatingThreePagesIsOneGLDrawWithEachPolygonsPage) {
  IDirect3DTexture8* paginas[3] = {
      PaginaCuadrantes(),
      Pagina(D3DFMT_X8R8G8B8, 256, [](UINT x, UINT) { return x < 128 ? 0x0000FFu : 0xFFFFFFu; }),
      Pagina(D3DFMT_X8R8G8B8, 256, [](UINT, UINT) { return 0x00FF00u; })};
  std::vector<IDirect3DTexture8*> porCelda;
  for (int i = 0; i < 64; ++i) porCelda.push_back(paginas[(i * 7 / 3) % 3]);
  // The first frame gives the array its size in GL, drawing what was
  // queued before (see PagesBeyondAnArraysFirstSize...).
  Dibujar(porCelda);
  const std::uint64_t antes = DibujosGL();
  const auto juntos = Dibujar(porCelda);
  EXPECT_EQ(DibujosGL() - antes, 1u) << "page changes within an array merge";
  const auto separados = Dibujar(porCelda, true);
  EXPECT_TRUE(juntos == separados) << "merging changed what was drawn";
  for (int i = 0; i < 64; ++i) {
    // Each cell's top-left quarter shows its page's top-left corner.
    const int x = 2 + (i % 8) * 8, y = 2 + (i / 8) * 8;
    const std::uint32_t esperado = porCelda[i] == paginas[0]   ? kRojo
                                   : porCelda[i] == paginas[1] ? kAzul
                                                               : kVerde;
    ASSERT_EQ(Hex(En(juntos, x, y)), Hex(esperado)) << "cell " << i;
  }
}

TEST_F(Capas, PagesBeyondAnArraysFirstSizeAndMadeBetweenFramesDrawTheirOwn) {
  std::vector<IDirect3DTexture8*> porCelda;
  for (int i = 0; i < 20; ++i) porCelda.push_back(Lisa(Color(i)));
  auto p = Dibujar(porCelda);
  for (int i = 0; i < 20; ++i) ASSERT_EQ(Hex(Celda(p, i)), Hex(Color(i))) << "cell " << i;
  // More pages after the array has its GL size: they wait in memory until
  // a draw needs them, and the ones already drawn must survive the growth.
  // The frame that grows the array draws what it queued before growing.
  for (int i = 20; i < 64; ++i) porCelda.push_back(Lisa(Color(i)));
  p = Dibujar(porCelda);
  for (int i = 0; i < 64; ++i) ASSERT_EQ(Hex(Celda(p, i)), Hex(Color(i))) << "cell " << i;
  const std::uint64_t antes = DibujosGL();
  EXPECT_TRUE(p == Dibujar(porCelda));
  EXPECT_EQ(DibujosGL() - antes, 1u);
  EXPECT_TRUE(p == Dibujar(porCelda, true));
}

TEST_F(Capas, APageMadeWhileDrawsAreQueuedDoesNotDisturbThem) {
  std::vector<IDirect3DTexture8*> porCelda = {Lisa(kRojo)};
  Dibujar(porCelda);  // the array now has exactly one layer in GL
  ASSERT_EQ(dispositivo->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kMagenta, 1, 0),
            D3D_OK);
  ASSERT_EQ(dispositivo->BeginScene(), D3D_OK);
  DibujarPoligono(D3DPT_TRIANGLESTRIP, 0, 2, porCelda[0]);  // queued
  IDirect3DTexture8* verde = Lisa(kVerde);                  // the array must grow for it
  DibujarPoligono(D3DPT_TRIANGLESTRIP, 4, 2, verde);
  DibujarPoligono(D3DPT_TRIANGLESTRIP, 8, 2, porCelda[0]);
  ASSERT_EQ(dispositivo->EndScene(), D3D_OK);
  const auto p = Presentar();
  EXPECT_EQ(Hex(Celda(p, 0)), Hex(kRojo));
  EXPECT_EQ(Hex(Celda(p, 1)), Hex(kVerde));
  EXPECT_EQ(Hex(Celda(p, 2)), Hex(kRojo));
}

TEST_F(Capas, ReleasingAPageInTheMiddleOfAnArrayKeepsTheOthers) {
  std::vector<IDirect3DTexture8*> porCelda;
  for (int i = 0; i < 5; ++i) porCelda.push_back(Lisa(Color(i)));
  Dibujar(porCelda);
  // Released by the test, not at TearDown.
  texturas.erase(std::find(texturas.begin(), texturas.end(), porCelda[2]));
  EXPECT_EQ(porCelda[2]->Release(), 0u);
  porCelda[2] = Lisa(kBlanco);  // may take the freed layer
  const auto p = Dibujar(porCelda);
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(Hex(Celda(p, i)), Hex(i == 2 ? kBlanco : Color(i))) << "cell " << i;
}

TEST_F(Capas, AReleasedPagesLayerTakenByANewPageLeavesQueuedDrawsTheOldTexels) {
  IDirect3DTexture8* rojo = nullptr;
  ASSERT_EQ(D3DXCreateTexture(dispositivo, 8, 8, 0, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &rojo),
            D3D_OK);
  D3DLOCKED_RECT r{};
  ASSERT_EQ(rojo->LockRect(0, &r, nullptr, 0), D3D_OK);
  for (int i = 0; i < 64; ++i) static_cast<std::uint32_t*>(r.pBits)[i] = kRojo;
  ASSERT_EQ(rojo->UnlockRect(0), D3D_OK);
  IDirect3DTexture8* otra = Lisa(kAzul);
  ASSERT_EQ(dispositivo->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kMagenta, 1, 0),
            D3D_OK);
  ASSERT_EQ(dispositivo->BeginScene(), D3D_OK);
  DibujarPoligono(D3DPT_TRIANGLESTRIP, 0, 2, rojo);  // queued with the red layer
  DibujarPoligono(D3DPT_TRIANGLESTRIP, 4, 2, otra);  // the device lets go of red
  EXPECT_EQ(rojo->Release(), 0u);
  IDirect3DTexture8* verde = Lisa(kVerde);  // red's layer, free again
  DibujarPoligono(D3DPT_TRIANGLESTRIP, 8, 2, verde);
  ASSERT_EQ(dispositivo->EndScene(), D3D_OK);
  const auto p = Presentar();
  EXPECT_EQ(Hex(Celda(p, 0)), Hex(kRojo));
  EXPECT_EQ(Hex(Celda(p, 1)), Hex(kAzul));
  EXPECT_EQ(Hex(Celda(p, 2)), Hex(kVerde));
}

TEST_F(Capas, PagesOfOtherSizesAndFormatsDrawBesideEachOther) {
  IDirect3DTexture8* unNivel = nullptr;
  ASSERT_EQ(dispositivo->CreateTexture(64, 64, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &unNivel),
            D3D_OK);
  texturas.push_back(unNivel);
  D3DLOCKED_RECT r{};
  ASSERT_EQ(unNivel->LockRect(0, &r, nullptr, 0), D3D_OK);
  for (int i = 0; i < 64 * 64; ++i) static_cast<std::uint32_t*>(r.pBits)[i] = 0x808080;
  ASSERT_EQ(unNivel->UnlockRect(0), D3D_OK);
  IDirect3DTexture8* alfa = nullptr;
  ASSERT_EQ(dispositivo->CreateTexture(8, 8, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &alfa),
            D3D_OK);
  texturas.push_back(alfa);
  ASSERT_EQ(alfa->LockRect(0, &r, nullptr, 0), D3D_OK);
  for (int i = 0; i < 64; ++i) static_cast<std::uint32_t*>(r.pBits)[i] = 0x40FFFF00;
  ASSERT_EQ(alfa->UnlockRect(0), D3D_OK);
  struct Tipo {
    IDirect3DTexture8* pagina;
    std::uint32_t color;
  };
  const Tipo tipos[] = {{Lisa(kRojo, 256), kRojo},
                        {Lisa(kVerde, 8), kVerde},
                        {Lisa(kAzul, 256, D3DFMT_X1R5G5B5), kAzul},
                        {unNivel, 0x808080},
                        {alfa, 0xFFFF00},
                        {Lisa(kBlanco, 256), kBlanco},
                        {nullptr, kBlanco}};
  std::vector<IDirect3DTexture8*> porCelda;
  std::vector<std::uint32_t> colores;
  for (int i = 0; i < 64; ++i) {
    const Tipo& t = tipos[(i * 5 / 2) % 7];
    porCelda.push_back(t.pagina);
    colores.push_back(t.color);
  }
  const auto juntos = Dibujar(porCelda);
  for (int i = 0; i < 64; ++i) ASSERT_EQ(Hex(Celda(juntos, i)), Hex(colores[i])) << "cell " << i;
  EXPECT_TRUE(juntos == Dibujar(porCelda, true));
}

TEST_F(Capas, OnlyPagesOfOneArrayShareAGLDraw) {
  IDirect3DTexture8* a1 = Lisa(kRojo, 256);
  IDirect3DTexture8* a2 = Lisa(kVerde, 256);
  IDirect3DTexture8* b = Lisa(kAzul, 8);
  Dibujar({a1, a2});  // gives the array its size in GL
  const std::uint64_t antes = DibujosGL();
  // a1 a2 a1 | b | a2 | nothing | a1 a2: four changes of array, five draws.
  Dibujar({a1, a2, a1, b, a2, nullptr, a1, a2});
  EXPECT_EQ(DibujosGL() - antes, 5u);
}

TEST_F(Capas, VerticesSharedByDrawsOfDifferentPagesKeepEachDrawsPage) {
  // Cell 0's lower-right triangle (vertices 1, 2, 3) with red, then its
  // upper-left one (vertices 0, 1, 2) with green. Flat shading takes the red
  // triangle's layer from vertex 1, which the green draw uses too: one GL
  // draw for both would give vertex 1 one layer and one of them the wrong
  // page.
  IDirect3DTexture8* rojo = Lisa(kRojo);
  IDirect3DTexture8* verde = Lisa(kVerde);
  Dibujar({rojo, verde});  // gives the array its size in GL
  ASSERT_EQ(dispositivo->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kMagenta, 1, 0),
            D3D_OK);
  ASSERT_EQ(dispositivo->BeginScene(), D3D_OK);
  DibujarPoligono(D3DPT_TRIANGLELIST, 1, 1, rojo);
  DibujarPoligono(D3DPT_TRIANGLELIST, 0, 1, verde);
  ASSERT_EQ(dispositivo->EndScene(), D3D_OK);
  const auto p = Presentar();
  EXPECT_EQ(Hex(En(p, 6, 6)), Hex(kRojo)) << "lower-right triangle";
  EXPECT_EQ(Hex(En(p, 1, 1)), Hex(kVerde)) << "upper-left triangle";
}

TEST_F(Capas, MipLevelsSurviveTheArrayGrowing) {
  IDirect3DTexture8* t = Lisa(kVerde);
  ASSERT_EQ(t->GetLevelCount(), 4u);
  for (UINT nivel = 1; nivel < 4; ++nivel) {
    D3DLOCKED_RECT r{};
    ASSERT_EQ(t->LockRect(nivel, &r, nullptr, 0), D3D_OK);
    const UINT lado = 8u >> nivel;
    for (UINT i = 0; i < lado * lado; ++i) static_cast<std::uint32_t*>(r.pBits)[i] = kRojo;
    ASSERT_EQ(t->UnlockRect(nivel), D3D_OK);
  }
  std::vector<IDirect3DTexture8*> porCelda = {t};
  for (int i = 1; i < 40; ++i) porCelda.push_back(Lisa(Color(i)));  // the array grows
  Dibujar(porCelda);
  // One cell of 8 x 8 pixels is as big as level 0: a quad a quarter of it
  // minifies by 4 and, with a mip filter, samples level 2.
  const std::vector<VerticeTex> pequeno = {{-1, 1, 0.5f, 0, 0},
                                           {-1 + 1.0f / 16, 1, 0.5f, 1, 0},
                                           {-1, 1 - 1.0f / 16, 0.5f, 0, 1},
                                           {-1 + 1.0f / 16, 1 - 1.0f / 16, 0.5f, 1, 1}};
  Usar(Vertices(pequeno, kFvfTex), kFvfTex, sizeof(VerticeTex));
  ASSERT_EQ(dispositivo->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kMagenta, 1, 0),
            D3D_OK);
  ASSERT_EQ(dispositivo->BeginScene(), D3D_OK);
  dispositivo->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_POINT);
  DibujarPoligono(D3DPT_TRIANGLESTRIP, 0, 2, t);
  ASSERT_EQ(dispositivo->EndScene(), D3D_OK);
  auto p = Presentar();
  EXPECT_EQ(Hex(En(p, 0, 0)), Hex(kRojo)) << "a smaller level, kept through the growth";
  dispositivo->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
  ASSERT_EQ(dispositivo->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kMagenta, 1, 0),
            D3D_OK);
  ASSERT_EQ(dispositivo->BeginScene(), D3D_OK);
  DibujarPoligono(D3DPT_TRIANGLESTRIP, 0, 2, t);
  ASSERT_EQ(dispositivo->EndScene(), D3D_OK);
  p = Presentar();
  EXPECT_EQ(Hex(En(p, 0, 0)), Hex(kVerde)) << "level 0 without a mip filter";
}

TEST_F(Capas, FramesOfOtherPolygonsInBetweenDoNotDisturbAFrameDrawnAgain) {
  // Each frame's batches go into one index buffer from its start, and a
  // batch found where the last frame left the same indices is not sent
  // again. Frames that draw other cells, or the same cells in another order
  // or other batches, must each draw their own.
  IDirect3DTexture8* rojo = Lisa(kRojo, 256);
  IDirect3DTexture8* azul = Lisa(kAzul, 8);
  IDirect3DTexture8* verde = Lisa(kVerde, 8);
  struct Celda {
    int numero;
    IDirect3DTexture8* pagina;
  };
  auto comprobar = [&](const std::vector<Celda>& celdas) {
    ASSERT_EQ(dispositivo->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kMagenta, 1, 0),
              D3D_OK);
    ASSERT_EQ(dispositivo->BeginScene(), D3D_OK);
    std::vector<std::uint32_t> esperado(64, 0xFF00FF);
    for (const Celda& c : celdas) {
      DibujarPoligono(D3DPT_TRIANGLESTRIP, static_cast<UINT>(4 * c.numero), 2, c.pagina);
      esperado[c.numero] = c.pagina == rojo    ? kRojo
                           : c.pagina == azul  ? kAzul
                           : c.pagina == verde ? kVerde
                                               : kBlanco;
    }
    ASSERT_EQ(dispositivo->EndScene(), D3D_OK);
    const auto p = Presentar();
    for (int i = 0; i < 64; ++i)
      EXPECT_EQ(Hex(this->Celda(p, i)), Hex(esperado[i])) << "cell " << i;
  };
  std::vector<Celda> todas, impares, alReves, otrosLotes;
  for (int i = 0; i < 64; ++i) {
    todas.push_back({i, i % 3 == 0 ? azul : rojo});
    if (i % 2 == 1) impares.push_back({i, i < 20 ? rojo : verde});
    alReves.push_back({63 - i, i % 3 == 0 ? azul : rojo});
    otrosLotes.push_back({i, i % 4 == 0 ? nullptr : (i % 3 == 0 ? verde : rojo)});
  }
  comprobar(todas);
  comprobar(impares);
  comprobar(todas);
  comprobar(alReves);
  comprobar(otrosLotes);
  comprobar({todas.begin(), todas.begin() + 5});
  comprobar(todas);
  comprobar(impares);
}

}  // namespace
}  // namespace prueba_gl

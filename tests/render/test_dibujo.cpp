// Texture pages, buffer upload and drawing against the recording
// implementation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "geometry/dxBufferTextura.h"
#include "level/trNivel.h"
#include "render/d3d8/d3dx8.h"
#include "render/dxDevice8.h"
#include "render/dxMain.h"
#include "render/grabacion/GrabacionD3D8.h"
#include "render/trTextura.h"

namespace {
using Textos = std::vector<std::string>;

class Dibujo : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(contexto.CrearContexto(), S_OK);
    ASSERT_EQ(contexto.CrearDispositivo(nullptr, true, &dispositivo), S_OK);
    grabacion.Olvidar();
  }
  void TearDown() override {
    delete dispositivo;
    EXPECT_TRUE(grabacion.Errores().empty()) << grabacion.Errores()[0];
  }

  // Textured quad or triangle whose vertex i sits at (base + i, 0, 0).
  dxPoligono* Poligono(bool quad, float base, DWORD flags, IDirect3DTexture8* t) {
    if (quad) {
      auto* q = new dxCuadradoTex(flags);
      q->FijarTextura(t, 0, 0, 1, 0, 0, 1, 1, 1);
      for (int i = 0; i < 4; ++i) q->AgregarVertice(base + i, 0, 0);
      return q;
    }
    auto* tri = new dxTrianguloTex(flags);
    tri->FijarTextura(t, 0, 0, 1, 0, 0, 1);
    for (int i = 0; i < 3; ++i) tri->AgregarVertice(base + i, 0, 0);
    return tri;
  }

  IDirect3DTexture8* Textura() {
    std::vector<std::uint8_t> pagina(262144, 0);
    IDirect3DTexture8* t = dispositivo->CrearTextura(256, 256, D3DFMT_X8R8G8B8, pagina.data());
    texturas.push_back(t);
    return t;
  }

  GrabacionD3D8 grabacion;
  FabricaD3D8Temporal instalada{grabacion.Fabrica()};
  dxMain contexto;
  dxDevice8* dispositivo = nullptr;
  std::vector<IDirect3DTexture8*> texturas;

 public:
  ~Dibujo() override {
    for (auto* t : texturas) t->Release();
  }
};

// A level record with `bytes1` bytes of 32-bit pages and `bytes2` of 16-bit
// ones, each byte marking its page.
trNivel NivelConPaginas(std::size_t bytes1, std::size_t bytes2) {
  trNivel n;
  n.tamanoBloque1 = static_cast<std::uint32_t>(bytes1);
  n.tamanoBloque2 = static_cast<std::uint32_t>(bytes2);
  n.bloque1.resize(bytes1);
  n.bloque2.resize(bytes2);
  for (std::size_t i = 0; i < bytes1; ++i) n.bloque1[i] = static_cast<std::uint8_t>(i / 262144 + 1);
  for (std::size_t i = 0; i < bytes2; ++i)
    n.bloque2[i] = static_cast<std::uint8_t>(i / 131072 + 101);
  return n;
}
}  // namespace

TEST_F(Dibujo, PageCountIsWholePagesOfChunkOne) {
  struct Caso {
    std::size_t bytes;
    int paginas;
  };
  for (const Caso& c : {Caso{0, 0}, Caso{262143, 0}, Caso{262144, 1}, Caso{786432 + 5, 3}}) {
    trNivel n = NivelConPaginas(c.bytes, 0);
    EXPECT_EQ(trTextura(&n).NumPaginas(), c.paginas) << c.bytes;
  }
}

TEST_F(Dibujo, BuildsOnePagePerTextureFromTheRightOffsets) {
  trNivel n = NivelConPaginas(3 * 262144 + 5, 3 * 131072);
  {
    trTextura paginas(&n);
    ASSERT_EQ(paginas.CargarPaginas32(dispositivo), 0);
    EXPECT_TRUE(paginas.Es32Bits());
    EXPECT_EQ(grabacion.Contar("CreateTexture"), 3u);
    for (int i = 0; i < 3; ++i) {
      const DatosTextura* d = grabacion.Textura(paginas.Pagina32(i));
      ASSERT_NE(d, nullptr);
      EXPECT_EQ(d->formato, D3DFMT_X8R8G8B8);
      EXPECT_EQ(d->niveles[0].front(), i + 1);
      EXPECT_EQ(d->niveles[0].back(), i + 1);
      EXPECT_EQ(paginas.Pagina16(i), nullptr);
    }
    EXPECT_EQ(paginas.Pagina32(3), nullptr);
    EXPECT_EQ(paginas.Pagina32(-1), nullptr);
  }
  EXPECT_EQ(grabacion.Vivos(ObjetoD3D8::Textura), 0) << "the set releases its pages";

  trTextura paginas16(&n);
  ASSERT_EQ(paginas16.CargarPaginas16(dispositivo), 0);
  EXPECT_FALSE(paginas16.Es32Bits());
  for (int i = 0; i < 3; ++i) {
    const DatosTextura* d = grabacion.Textura(paginas16.Pagina16(i));
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->formato, D3DFMT_X1R5G5B5);
    EXPECT_EQ(d->niveles[0].size(), 131072u);
    EXPECT_EQ(d->niveles[0].front(), i + 101);
    EXPECT_EQ(d->niveles[0].back(), i + 101);
    EXPECT_EQ(paginas16.Pagina32(i), nullptr);
  }
}

TEST_F(Dibujo, MissingPagesStayNullAndTheBuildGoesOn) {
  // Chunk 2 one page short, and the second texture creation refused.
  trNivel n = NivelConPaginas(3 * 262144, 2 * 131072);
  trTextura p16(&n);
  grabacion.Fallar({.metodo = "CreateTexture", .vez = 1});
  EXPECT_EQ(p16.CargarPaginas16(dispositivo), 0);
  EXPECT_EQ(p16.Pagina16(0), nullptr);
  EXPECT_NE(p16.Pagina16(1), nullptr);
  EXPECT_EQ(p16.Pagina16(2), nullptr);

  trTextura sinDispositivo(&n);
  grabacion.Olvidar();
  EXPECT_EQ(sinDispositivo.CargarPaginas32(nullptr), E_FAIL);
  EXPECT_TRUE(grabacion.Llamadas().empty());
}

TEST_F(Dibujo, UploadCopiesThePackedVerticesIntoANewVertexBuffer) {
  IDirect3DTexture8* t = Textura();
  dxBufferTextura b;
  b.AgregarPoligono(Poligono(true, 100, 8, t));
  b.AgregarPoligono(Poligono(false, 200, 8, t));
  b.AgregarPoligono(Poligono(true, 300, 8, t));
  grabacion.Olvidar();
  ASSERT_EQ(dispositivo->SubirBuffer(&b), 0);
  EXPECT_EQ(grabacion.Textos(),
            (Textos{"CreateVertexBuffer(220,0,258,0)", "Lock(0,220,0)", "Unlock()"}));
  const DatosVertexBuffer* datos = grabacion.VertexBuffer(b.ObtenerVertexBuffer());
  ASSERT_NE(datos, nullptr);
  ASSERT_EQ(datos->bytes.size(), 220u);
  EXPECT_EQ(std::memcmp(datos->bytes.data(), b.DatosVertices(), 220), 0);
  EXPECT_FALSE(b.Cambiado());

  // Nothing new: no device call, the first vertex buffer stays.
  grabacion.Olvidar();
  IDirect3DVertexBuffer8* primero = b.ObtenerVertexBuffer();
  EXPECT_EQ(dispositivo->SubirBuffer(&b), E_FAIL);
  EXPECT_TRUE(grabacion.Llamadas().empty());
  EXPECT_EQ(b.ObtenerVertexBuffer(), primero);
}

TEST_F(Dibujo, AFailedUploadStoresNoVertexBufferAndKeepsTheChanges) {
  for (const char* metodo : {"CreateVertexBuffer", "Lock"}) {
    dxBufferTextura b;
    b.AgregarPoligono(Poligono(false, 0, 8, nullptr));
    grabacion.QuitarFallos();
    grabacion.Fallar({.metodo = metodo});
    EXPECT_EQ(dispositivo->SubirBuffer(&b), E_FAIL) << metodo;
    EXPECT_EQ(b.ObtenerVertexBuffer(), nullptr) << metodo;
    EXPECT_TRUE(b.Cambiado()) << metodo;
    EXPECT_EQ(grabacion.Vivos(ObjetoD3D8::VertexBuffer), 0) << metodo;
  }
  dxBufferTextura vacio;
  EXPECT_EQ(dispositivo->SubirBuffer(&vacio), E_FAIL);
  EXPECT_EQ(dispositivo->SubirBuffer(nullptr), E_FAIL);
}

TEST_F(Dibujo, DrawsEachPolygonWithTheStatesItsFlagsAskFor) {
  IDirect3DTexture8* t = Textura();
  dxBufferTextura b;
  // Packed order: quad (CW|CCW), triangle (wireframe, no cull), quad (CCW).
  b.AgregarPoligono(Poligono(true, 0, 8, t));
  b.AgregarPoligono(Poligono(false, 0, 2, t));
  b.AgregarPoligono(Poligono(true, 0, 4 | 8, t));
  ASSERT_EQ(dispositivo->SubirBuffer(&b), 0);
  b.Trasladar(5, 6, 7);
  const D3DXMATRIX mundo = b.ObtenerMundo();
  grabacion.Olvidar();

  ASSERT_EQ(dispositivo->DibujarBuffer(&b, 0), 0);
  const Textos inicio = {"SetStreamSource(0,VB1,20)", "SetVertexShader(258)",
                         "SetRenderState(137,0)",     "SetRenderState(7,1)",
                         "SetTransform(256,M)",       "BeginScene()"};
  auto estados = [](const std::string& fill, Textos cull, const std::string& textura,
                    const std::string& dibujo) {
    Textos l = {"SetRenderState(8," + fill + ")"};
    for (auto& c : cull) l.push_back("SetRenderState(22," + c + ")");
    for (auto s : {"SetTextureStageState(0,1,2)", "SetTextureStageState(0,2,2)",
                   "SetTextureStageState(0,4,1)", "SetTextureStageState(0,16,2)",
                   "SetTextureStageState(0,17,2)", "SetRenderState(9,1)"})
      l.push_back(s);
    l.push_back("SetTexture(0," + textura + ")");
    l.push_back(dibujo);
    return l;
  };
  Textos esperado = inicio;
  for (const Textos& p : {estados("3", {"1", "2", "3"}, "T1", "DrawPrimitive(5,0,2)"),
                          estados("2", {"1"}, "T1", "DrawPrimitive(4,4,1)"),
                          estados("3", {"1", "3"}, "T1", "DrawPrimitive(5,7,2)")})
    esperado.insert(esperado.end(), p.begin(), p.end());
  esperado.push_back("EndScene()");
  EXPECT_EQ(grabacion.Textos(), esperado);

  const auto transformaciones = grabacion.Filtrar("SetTransform");
  ASSERT_EQ(transformaciones.size(), 1u);
  EXPECT_EQ(std::memcmp(&*transformaciones[0]->matriz, &mundo, sizeof(D3DMATRIX)), 0);
  D3DXMATRIX identidad;
  D3DXMatrixIdentity(&identidad);
  const D3DXMATRIX despues = b.ObtenerMundo();
  EXPECT_EQ(std::memcmp(&despues, &identidad, sizeof(D3DMATRIX)), 0);
}

TEST_F(Dibujo, WireframeModeDropsTexturesButKeepsCullAndPrimitive) {
  IDirect3DTexture8* t = Textura();
  dxBufferTextura b;
  b.AgregarPoligono(Poligono(false, 0, 8, t));
  b.AgregarPoligono(Poligono(true, 0, 8, t));
  dispositivo->SubirBuffer(&b);
  grabacion.Olvidar();
  ASSERT_EQ(dispositivo->DibujarBuffer(&b, 2), 0);
  const Textos esperado = {"SetTexture(0,T1)", "SetTexture(0,null)", "DrawPrimitive(5,0,2)",
                           "SetTexture(0,T1)", "SetTexture(0,null)", "DrawPrimitive(4,4,1)"};
  EXPECT_EQ(grabacion.Textos({"SetTexture", "DrawPrimitive"}), esperado);
  const Textos fills = grabacion.Textos({"SetRenderState"});
  EXPECT_EQ(std::count(fills.begin(), fills.end(), "SetRenderState(8,2)"), 2);
  EXPECT_EQ(std::count(fills.begin(), fills.end(), "SetRenderState(22,3)"), 2);
}

TEST_F(Dibujo, DrawFailuresAndTheWorldMatrix) {
  struct Caso {
    const char* metodo;
    bool mundoConsumido;
  };
  for (const Caso& c : {Caso{"SetStreamSource", false}, Caso{"SetVertexShader", false},
                        Caso{"BeginScene", true}, Caso{"EndScene", true}}) {
    dxBufferTextura b;
    b.AgregarPoligono(Poligono(false, 0, 8, nullptr));
    grabacion.QuitarFallos();
    ASSERT_EQ(dispositivo->SubirBuffer(&b), 0);
    b.Escalar(6);
    grabacion.Fallar({.metodo = c.metodo});
    EXPECT_EQ(dispositivo->DibujarBuffer(&b, 0), E_FAIL) << c.metodo;
    EXPECT_EQ(b.ObtenerMundo()(0, 0), c.mundoConsumido ? 1.0f : 6.0f) << c.metodo;
  }
  EXPECT_EQ(dispositivo->DibujarBuffer(nullptr, 0), E_FAIL);
}

TEST_F(Dibujo, AnEmptyBufferOpensAndClosesASceneAndDrawsNothing) {
  dxBufferTextura b;
  b.Escalar(3);
  grabacion.Olvidar();
  EXPECT_EQ(dispositivo->DibujarBuffer(&b, 0), 0);
  EXPECT_EQ(grabacion.Contar("BeginScene"), 1u);
  EXPECT_EQ(grabacion.Contar("EndScene"), 1u);
  EXPECT_EQ(grabacion.Contar("DrawPrimitive"), 0u);
  EXPECT_EQ(b.ObtenerMundo()(0, 0), 1.0f);
}

TEST_F(Dibujo, UntexturedFlagsDrawWithoutTexture) {
  // A null page keeps the texture bit but draws with a null texture.
  dxBufferTextura b;
  b.AgregarPoligono(Poligono(false, 0, 8, nullptr));
  dispositivo->SubirBuffer(&b);
  grabacion.Olvidar();
  dispositivo->DibujarBuffer(&b, 0);
  EXPECT_EQ(grabacion.Textos({"SetTexture"}), (Textos{"SetTexture(0,null)"}));
}

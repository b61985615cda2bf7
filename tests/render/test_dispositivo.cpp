// The Direct3D context and device against the recording implementation: the
// exact calls they make, and what they do when a call fails.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>

#include "render/d3d8/d3dx8.h"
#include "render/dxDevice8.h"
#include "render/dxMain.h"
#include "render/grabacion/GrabacionD3D8.h"

namespace {
using Textos = std::vector<std::string>;

bool MismaMatriz(const D3DMATRIX& a, const D3DMATRIX& b) {
  return std::memcmp(&a, &b, sizeof(D3DMATRIX)) == 0;
}

class VentanaNula : public IVentanaD3D {
 public:
  bool HacerActual() override { return true; }
  void Presentar() override {}
  void TamanoCliente(int* ancho, int* alto) override { *ancho = 321, *alto = 385; }
};

class Contexto : public ::testing::Test {
 protected:
  // The viewer's start-up: context, device on the window, clear colour.
  void Crear() {
    ASSERT_EQ(contexto.CrearContexto(), S_OK);
    ASSERT_EQ(contexto.CrearDispositivo(&ventana, true, &dispositivo), S_OK);
    dispositivo->PonerColorFondo(255, 0, 255);
    grabacion.Olvidar();
  }
  void TearDown() override { delete dispositivo; }

  GrabacionD3D8 grabacion;
  FabricaD3D8Temporal instalada{grabacion.Fabrica()};
  VentanaNula ventana;
  dxMain contexto;
  dxDevice8* dispositivo = nullptr;
};
}  // namespace

TEST_F(Contexto, CreatesAWindowedDeviceWithA16BitDepthBuffer) {
  grabacion.PonerModoPantalla(D3DFMT_R5G6B5);
  ASSERT_EQ(contexto.CrearContexto(), S_OK);
  ASSERT_EQ(contexto.CrearDispositivo(&ventana, true, &dispositivo), S_OK);
  ASSERT_NE(dispositivo, nullptr);
  EXPECT_NE(dispositivo->Dispositivo(), nullptr);

  const auto creaciones = grabacion.Filtrar("CreateDevice");
  ASSERT_EQ(creaciones.size(), 1u);
  EXPECT_EQ(creaciones[0]->numeros[0], 0);  // adapter
  EXPECT_EQ(creaciones[0]->numeros[1], D3DDEVTYPE_HAL);
  EXPECT_EQ(creaciones[0]->punteros[0], static_cast<IVentanaD3D*>(&ventana));  // focus window
  EXPECT_EQ(creaciones[0]->numeros[2], D3DCREATE_SOFTWARE_VERTEXPROCESSING);
  const D3DPRESENT_PARAMETERS& p = *creaciones[0]->parametros;
  EXPECT_EQ(p.SwapEffect, D3DSWAPEFFECT_DISCARD);
  EXPECT_EQ(p.hDeviceWindow, nullptr);
  EXPECT_EQ(p.BackBufferCount, 1u);
  EXPECT_EQ(p.Windowed, 1);
  EXPECT_EQ(p.BackBufferFormat, D3DFMT_R5G6B5);
  EXPECT_EQ(p.EnableAutoDepthStencil, 1);
  EXPECT_EQ(p.AutoDepthStencilFormat, D3DFMT_D16);
  EXPECT_EQ(p.BackBufferWidth, 0u);
  EXPECT_EQ(p.BackBufferHeight, 0u);
  EXPECT_EQ(p.MultiSampleType, 0u);
  EXPECT_EQ(p.Flags, 0u);
}

TEST_F(Contexto, WithoutAContextNoDeviceObjectIsMade) {
  grabacion.Fallar({.metodo = "Direct3DCreate8"});
  EXPECT_EQ(contexto.CrearContexto(), E_FAIL);
  dxDevice8* marcador = reinterpret_cast<dxDevice8*>(0x1234);
  dxDevice8* salida = marcador;
  EXPECT_EQ(contexto.CrearDispositivo(&ventana, true, &salida), E_FAIL);
  EXPECT_EQ(salida, marcador);
  EXPECT_FALSE(contexto.SoportaTextura(D3DFMT_X8R8G8B8));
  D3DPRESENT_PARAMETERS ceros{};
  D3DPRESENT_PARAMETERS p = contexto.LlenarParametros(true);
  EXPECT_EQ(std::memcmp(&p, &ceros, sizeof p), 0);
}

TEST_F(Contexto, ARefusedDeviceLeavesAnObjectThatCallsNothing) {
  grabacion.Fallar({.metodo = "CreateDevice", .resultado = D3DERR_NOTAVAILABLE});
  ASSERT_EQ(contexto.CrearContexto(), S_OK);
  ASSERT_EQ(contexto.CrearDispositivo(&ventana, true, &dispositivo), E_FAIL);
  ASSERT_NE(dispositivo, nullptr);
  EXPECT_EQ(dispositivo->Dispositivo(), nullptr);
  grabacion.Olvidar();

  EXPECT_EQ(dispositivo->PonerColorFondo(255, 0, 255), 0);
  EXPECT_EQ(dispositivo->PonerProyeccion(0.1f, 3000.0f, 1.0f, std::numbers::pi_v<float> / 4), 0);
  EXPECT_EQ(dispositivo->Limpiar(true), 0);
  EXPECT_EQ(dispositivo->Presentar(), E_FAIL);
  EXPECT_EQ(dispositivo->PonerOjo(0, 0, 1000), E_FAIL);
  EXPECT_EQ(dispositivo->PonerObjetivo(0, 0, 0), E_FAIL);
  EXPECT_EQ(dispositivo->CrearTextura(256, 256, D3DFMT_X8R8G8B8, "x"), nullptr);
  EXPECT_TRUE(grabacion.Llamadas().empty()) << grabacion.Textos()[0];
}

TEST_F(Contexto, TextureSupportIsAskedOnTheDisplayFormatOfTheLastDevice) {
  ASSERT_EQ(contexto.CrearContexto(), S_OK);
  // Before any device the display format is still 0.
  EXPECT_TRUE(contexto.SoportaTextura(D3DFMT_X8R8G8B8));
  ASSERT_EQ(grabacion.Textos({"CheckDeviceFormat"}), (Textos{"CheckDeviceFormat(0,1,0,0,3,22)"}));
  ASSERT_EQ(contexto.CrearDispositivo(&ventana, true, &dispositivo), S_OK);
  grabacion.Olvidar();
  grabacion.Fallar({.metodo = "CheckDeviceFormat",
                    .resultado = D3DERR_NOTAVAILABLE,
                    .argumento = 5,
                    .valor = D3DFMT_X8R8G8B8});
  EXPECT_FALSE(contexto.SoportaTextura(D3DFMT_X8R8G8B8));
  EXPECT_TRUE(contexto.SoportaTextura(D3DFMT_X1R5G5B5));
  EXPECT_EQ(grabacion.Textos({"CheckDeviceFormat"}),
            (Textos{"CheckDeviceFormat(0,1,22,0,3,22)", "CheckDeviceFormat(0,1,22,0,3,24)"}));
}

TEST_F(Contexto, ClearColourKeepsTheLowEightBitsOfEachComponent) {
  struct Caso {
    int r, g, b;
    D3DCOLOR esperado;
  };
  dxDevice8 d;
  for (const Caso& c : {Caso{255, 0, 255, 0xFFFF00FFu}, Caso{256, -1, 0, 0xFF00FF00u},
                        Caso{0x1234, 0x80, 0x7F, 0xFF34807Fu}}) {
    d.PonerColorFondo(c.r, c.g, c.b);
    EXPECT_EQ(d.ColorFondo(), c.esperado);
  }
}

TEST_F(Contexto, ClearWithAndWithoutDepth) {
  Crear();
  EXPECT_EQ(dispositivo->Limpiar(true), 0);
  EXPECT_EQ(dispositivo->Limpiar(false), 0);
  EXPECT_EQ(grabacion.Textos(), (Textos{"SetRenderState(7,1)", "Clear(0,null,3,0xFFFF00FF,1,0)",
                                        "Clear(0,null,1,0xFFFF00FF,1,0)"}));
  // A failed depth enable skips this frame's clear; the result is still 0.
  grabacion.Olvidar();
  grabacion.Fallar({.metodo = "SetRenderState"});
  EXPECT_EQ(dispositivo->Limpiar(true), 0);
  EXPECT_EQ(grabacion.Contar("Clear"), 0u);
}

TEST_F(Contexto, PresentFailuresBecomeEFail) {
  Crear();
  EXPECT_EQ(dispositivo->Presentar(), S_OK);
  EXPECT_EQ(grabacion.Textos(), (Textos{"Present(null,null,null,null)"}));
  grabacion.Fallar({.metodo = "Present", .resultado = D3DERR_DEVICELOST});
  EXPECT_EQ(dispositivo->Presentar(), E_FAIL);
}

TEST_F(Contexto, ProjectionIsTheLeftHandedPerspectiveOfTheArguments) {
  Crear();
  EXPECT_EQ(dispositivo->PonerProyeccion(0.1f, 3000.0f, 1.0f, std::numbers::pi_v<float> / 4), 0);
  D3DXMATRIX esperada;
  D3DXMatrixPerspectiveFovLH(&esperada, std::numbers::pi_v<float> / 4, 1.0f, 0.1f, 3000.0f);
  const auto llamadas = grabacion.Filtrar("SetTransform");
  ASSERT_EQ(llamadas.size(), 1u);
  EXPECT_EQ(llamadas[0]->numeros[0], D3DTS_PROJECTION);
  EXPECT_TRUE(MismaMatriz(*llamadas[0]->matriz, esperada));
  EXPECT_TRUE(MismaMatriz(dispositivo->Proyeccion(), esperada));
  // A failed SetTransform is not reported.
  grabacion.Fallar({.metodo = "SetTransform"});
  EXPECT_EQ(dispositivo->PonerProyeccion(0.1f, 3000.0f, 1.0f, 1.0f), 0);
}

TEST_F(Contexto, EyeAndTargetCombineInEitherOrder) {
  Crear();
  D3DXVECTOR3 ojo(10, -20, 1030), objetivo(10, -20, 30), arriba(0, 1, 0);
  D3DXMATRIX esperada;
  D3DXMatrixLookAtLH(&esperada, &ojo, &objetivo, &arriba);

  EXPECT_EQ(dispositivo->PonerOjo(10, -20, 1030), S_OK);
  EXPECT_EQ(dispositivo->PonerObjetivo(10, -20, 30), S_OK);
  const D3DXMATRIX primera = dispositivo->Vista();
  EXPECT_EQ(dispositivo->PonerObjetivo(10, -20, 30), S_OK);
  EXPECT_EQ(dispositivo->PonerOjo(10, -20, 1030), S_OK);
  EXPECT_TRUE(MismaMatriz(primera, esperada));
  EXPECT_TRUE(MismaMatriz(dispositivo->Vista(), esperada));
  const auto llamadas = grabacion.Filtrar("SetTransform");
  ASSERT_EQ(llamadas.size(), 4u);
  EXPECT_EQ(llamadas[3]->numeros[0], D3DTS_VIEW);
  EXPECT_TRUE(MismaMatriz(*llamadas[3]->matriz, esperada));

  grabacion.Fallar({.metodo = "SetTransform", .resultado = D3DERR_INVALIDCALL});
  EXPECT_EQ(dispositivo->PonerOjo(0, 0, 1000), D3DERR_INVALIDCALL);
}

TEST_F(Contexto, DestroyingTheDeviceObjectReleasesTheDeviceOnce) {
  Crear();
  IDirect3DDevice8* interfaz = dispositivo->Dispositivo();
  EXPECT_EQ(grabacion.Referencias(interfaz), 1u);
  delete dispositivo;
  dispositivo = nullptr;
  EXPECT_EQ(grabacion.Referencias(interfaz), 0u);
  EXPECT_TRUE(grabacion.Errores().empty());
}

TEST_F(Contexto, PageTexturesAreCopiedWholeIntoLevelZero) {
  Crear();
  struct Caso {
    D3DFORMAT formato;
    size_t bytes;
  };
  for (const Caso& c : {Caso{D3DFMT_X8R8G8B8, 262144}, Caso{D3DFMT_X1R5G5B5, 131072}}) {
    std::vector<std::uint8_t> pagina(c.bytes);
    for (size_t i = 0; i < pagina.size(); ++i)
      pagina[i] = static_cast<std::uint8_t>(i * 7 + i / 1024);
    grabacion.Olvidar();
    IDirect3DTexture8* t = dispositivo->CrearTextura(256, 256, c.formato, pagina.data());
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(grabacion.Textos({"CreateTexture"}),
              (Textos{"CreateTexture(256,256,9,0," + std::to_string(c.formato) + ",1)"}));
    const DatosTextura* datos = grabacion.Textura(t);
    ASSERT_NE(datos, nullptr);
    ASSERT_EQ(datos->niveles[0].size(), c.bytes);
    EXPECT_EQ(std::memcmp(datos->niveles[0].data(), pagina.data(), c.bytes), 0);
    EXPECT_EQ(grabacion.Contar("UnlockRect"), 1u);
    t->Release();
  }
}

TEST_F(Contexto, APageThatCannotBeLockedIsReleasedAndNotHandedOut) {
  Crear();
  std::vector<std::uint8_t> pagina(262144, 0x55);
  grabacion.Fallar({.metodo = "LockRect"});
  EXPECT_EQ(dispositivo->CrearTextura(256, 256, D3DFMT_X8R8G8B8, pagina.data()), nullptr);
  EXPECT_EQ(grabacion.Vivos(ObjetoD3D8::Textura), 0);
  grabacion.QuitarFallos();
  grabacion.Fallar({.metodo = "CreateTexture", .resultado = E_OUTOFMEMORY});
  EXPECT_EQ(dispositivo->CrearTextura(256, 256, D3DFMT_X8R8G8B8, pagina.data()), nullptr);
  // Formats without a defined page size are refused before any call.
  grabacion.Olvidar();
  EXPECT_EQ(dispositivo->CrearTextura(256, 256, D3DFMT_R5G6B5, pagina.data()), nullptr);
  EXPECT_TRUE(grabacion.Llamadas().empty());
}

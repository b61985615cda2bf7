// The recording Direct3D 8 implementation: what the render classes' tests
// rely on it to report.
#include <gtest/gtest.h>

#include <cstring>

#include "render/d3d8/d3dx8.h"
#include "render/grabacion/GrabacionD3D8.h"

namespace {
using Textos = std::vector<std::string>;

class Grabacion : public ::testing::Test {
 protected:
  void SetUp() override {
    d3d = Direct3DCreate8(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    D3DPRESENT_PARAMETERS pp{};
    pp.Windowed = 1;
    ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                &pp, &dispositivo),
              D3D_OK);
    grabacion.Olvidar();
  }
  void TearDown() override {
    if (dispositivo != nullptr) dispositivo->Release();
    if (d3d != nullptr) d3d->Release();
  }

  GrabacionD3D8 grabacion;
  FabricaD3D8Temporal instalada{grabacion.Fabrica()};
  IDirect3D8* d3d = nullptr;
  IDirect3DDevice8* dispositivo = nullptr;
};

TEST_F(Grabacion, RecordsCallsInOrderWithTheirArguments) {
  D3DXMATRIX mundo;
  D3DXMatrixTranslation(&mundo, 1, 2, 3);
  dispositivo->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
  dispositivo->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(255, 0, 255),
                     1.0f, 0);
  dispositivo->SetTransform(D3DTS_WORLD, &mundo);
  dispositivo->SetTexture(0, nullptr);
  dispositivo->Present(nullptr, nullptr, nullptr, nullptr);

  EXPECT_EQ(grabacion.Textos(),
            (Textos{"SetRenderState(8,3)", "Clear(0,null,3,0xFFFF00FF,1,0)", "SetTransform(256,M)",
                    "SetTexture(0,null)", "Present(null,null,null,null)"}));
  const auto transformaciones = grabacion.Filtrar("SetTransform");
  ASSERT_EQ(transformaciones.size(), 1u);
  // The matrix is a copy: changing the caller's afterwards changes nothing.
  mundo(3, 0) = 99;
  ASSERT_TRUE(transformaciones[0]->matriz.has_value());
  EXPECT_FLOAT_EQ(transformaciones[0]->matriz->m[3][0], 1.0f);
  EXPECT_EQ(transformaciones[0]->nombreObjeto, "Dispositivo1");
  EXPECT_EQ(grabacion.Textos({"Clear", "Present"}),
            (Textos{"Clear(0,null,3,0xFFFF00FF,1,0)", "Present(null,null,null,null)"}));
}

TEST_F(Grabacion, NamesObjectArgumentsByCreationOrder) {
  IDirect3DTexture8* t = nullptr;
  IDirect3DVertexBuffer8* vb = nullptr;
  ASSERT_EQ(D3DXCreateTexture(dispositivo, 256, 256, 0, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &t),
            D3D_OK);
  ASSERT_EQ(dispositivo->CreateVertexBuffer(220, 0, 258, D3DPOOL_DEFAULT, &vb), D3D_OK);
  dispositivo->SetTexture(0, t);
  dispositivo->SetStreamSource(0, vb, 20);
  EXPECT_EQ(grabacion.Textos(),
            (Textos{"CreateTexture(256,256,9,0,22,1)", "CreateVertexBuffer(220,0,258,0)",
                    "SetTexture(0,T1)", "SetStreamSource(0,VB1,20)"}));
  EXPECT_EQ(grabacion.Llamadas()[0].creado, t);
  EXPECT_EQ(grabacion.Llamadas()[2].punteros[0], t);
  vb->Release();
  t->Release();
}

TEST_F(Grabacion, LockRectGivesEveryLevelOfTheFormatsSizeAndPitch) {
  struct Caso {
    D3DFORMAT formato;
    INT pitch;
  };
  for (Caso c : {Caso{D3DFMT_X8R8G8B8, 1024}, Caso{D3DFMT_X1R5G5B5, 512}}) {
    IDirect3DTexture8* t = nullptr;
    ASSERT_EQ(D3DXCreateTexture(dispositivo, 256, 256, 0, 0, c.formato, D3DPOOL_MANAGED, &t),
              D3D_OK);
    EXPECT_EQ(t->GetLevelCount(), 9u);
    D3DLOCKED_RECT r{};
    ASSERT_EQ(t->LockRect(0, &r, nullptr, 0), D3D_OK);
    EXPECT_EQ(r.Pitch, c.pitch);
    // The whole level is writable; its last byte is the last texel's.
    std::memset(r.pBits, 0x5A, static_cast<std::size_t>(r.Pitch) * 256);
    ASSERT_EQ(t->UnlockRect(0), D3D_OK);
    const DatosTextura* datos = grabacion.Textura(t);
    ASSERT_NE(datos, nullptr);
    ASSERT_EQ(datos->niveles[0].size(), static_cast<std::size_t>(c.pitch) * 256);
    EXPECT_EQ(datos->niveles[0].back(), 0x5A);
    EXPECT_EQ(datos->niveles[8].size(), static_cast<std::size_t>(c.pitch / 256));
    // Untouched levels keep the fill that marks unwritten memory.
    EXPECT_EQ(datos->niveles[1][0], 0xCD);
    t->Release();
  }
}

TEST_F(Grabacion, UnbalancedLocksAreErrorsNotCrashes) {
  IDirect3DTexture8* t = nullptr;
  ASSERT_EQ(dispositivo->CreateTexture(4, 4, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &t), D3D_OK);
  D3DLOCKED_RECT r{};
  EXPECT_EQ(t->UnlockRect(0), D3DERR_INVALIDCALL);
  EXPECT_EQ(t->LockRect(0, &r, nullptr, 0), D3D_OK);
  EXPECT_EQ(t->LockRect(0, &r, nullptr, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(t->LockRect(1, &r, nullptr, 0), D3DERR_INVALIDCALL);  // one level only
  EXPECT_EQ(grabacion.Errores(), (Textos{"T1.UnlockRect: level 0 is not locked",
                                         "T1.LockRect: level 0 is already locked"}));
  t->Release();
}

TEST_F(Grabacion, VertexBufferLockCoversTheAskedRange) {
  IDirect3DVertexBuffer8* vb = nullptr;
  ASSERT_EQ(dispositivo->CreateVertexBuffer(60, 0, 258, D3DPOOL_DEFAULT, &vb), D3D_OK);
  BYTE* datos = nullptr;
  ASSERT_EQ(vb->Lock(20, 40, &datos, 0), D3D_OK);
  std::memset(datos, 7, 40);
  ASSERT_EQ(vb->Unlock(), D3D_OK);
  const auto& bytes = grabacion.VertexBuffer(vb)->bytes;
  EXPECT_EQ(bytes[19], 0xCD);
  EXPECT_EQ(bytes[20], 7);
  EXPECT_EQ(bytes[59], 7);
  EXPECT_EQ(vb->Lock(20, 41, &datos, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(datos, nullptr);
  vb->Release();
}

TEST_F(Grabacion, FailureRulesPickMethodArgumentAndOccurrence) {
  grabacion.Fallar({.metodo = "CheckDeviceFormat",
                    .resultado = D3DERR_NOTAVAILABLE,
                    .argumento = 5,
                    .valor = D3DFMT_X8R8G8B8});
  grabacion.Fallar({.metodo = "SetTransform", .resultado = E_FAIL, .vez = 2});
  auto comprobar = [&](D3DFORMAT f) {
    return d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_TEXTURE, f);
  };
  EXPECT_EQ(comprobar(D3DFMT_X8R8G8B8), D3DERR_NOTAVAILABLE);
  EXPECT_EQ(comprobar(D3DFMT_X1R5G5B5), D3D_OK);
  D3DXMATRIX m;
  D3DXMatrixIdentity(&m);
  EXPECT_EQ(dispositivo->SetTransform(D3DTS_VIEW, &m), D3D_OK);
  EXPECT_EQ(dispositivo->SetTransform(D3DTS_VIEW, &m), E_FAIL);
  EXPECT_EQ(dispositivo->SetTransform(D3DTS_VIEW, &m), D3D_OK);
  EXPECT_TRUE(grabacion.Llamadas()[0].inyectado);
  EXPECT_FALSE(grabacion.Llamadas()[1].inyectado);
  EXPECT_TRUE(grabacion.Llamadas()[3].inyectado);
}

TEST_F(Grabacion, FailedCreationClearsTheOutPointerAndCreatesNothing) {
  grabacion.Fallar({.metodo = "CreateTexture", .resultado = E_OUTOFMEMORY});
  grabacion.Fallar({.metodo = "CreateVertexBuffer"});
  IDirect3DTexture8* t = reinterpret_cast<IDirect3DTexture8*>(&grabacion);
  IDirect3DVertexBuffer8* vb = reinterpret_cast<IDirect3DVertexBuffer8*>(&grabacion);
  EXPECT_EQ(D3DXCreateTexture(dispositivo, 256, 256, 0, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &t),
            E_OUTOFMEMORY);
  EXPECT_EQ(dispositivo->CreateVertexBuffer(20, 0, 258, D3DPOOL_DEFAULT, &vb), E_FAIL);
  EXPECT_EQ(t, nullptr);
  EXPECT_EQ(vb, nullptr);
  EXPECT_EQ(grabacion.Vivos(ObjetoD3D8::Textura), 0);
  EXPECT_EQ(grabacion.Vivos(ObjetoD3D8::VertexBuffer), 0);
}

TEST_F(Grabacion, FailingLockLeavesNoMemoryToWrite) {
  grabacion.Fallar({.metodo = "Lock"});
  grabacion.Fallar({.metodo = "LockRect", .resultado = D3DERR_INVALIDCALL});
  IDirect3DVertexBuffer8* vb = nullptr;
  IDirect3DTexture8* t = nullptr;
  ASSERT_EQ(dispositivo->CreateVertexBuffer(20, 0, 258, D3DPOOL_DEFAULT, &vb), D3D_OK);
  ASSERT_EQ(dispositivo->CreateTexture(2, 2, 1, 0, D3DFMT_X1R5G5B5, D3DPOOL_MANAGED, &t), D3D_OK);
  BYTE* datos = reinterpret_cast<BYTE*>(&grabacion);
  D3DLOCKED_RECT r{4, &grabacion};
  EXPECT_EQ(vb->Lock(0, 20, &datos, 0), E_FAIL);
  EXPECT_EQ(t->LockRect(0, &r, nullptr, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(datos, nullptr);
  EXPECT_EQ(r.pBits, nullptr);
  t->Release();
  vb->Release();
}

TEST_F(Grabacion, ReferenceCountsAndReleasingTwice) {
  IDirect3DVertexBuffer8* vb = nullptr;
  ASSERT_EQ(dispositivo->CreateVertexBuffer(20, 0, 258, D3DPOOL_DEFAULT, &vb), D3D_OK);
  EXPECT_EQ(grabacion.Vivos(), 3);  // IDirect3D8, device, vertex buffer
  EXPECT_EQ(vb->AddRef(), 2u);
  EXPECT_EQ(vb->Release(), 1u);
  EXPECT_EQ(grabacion.Referencias(vb), 1u);
  EXPECT_EQ(vb->Release(), 0u);
  EXPECT_EQ(grabacion.Vivos(ObjetoD3D8::VertexBuffer), 0);
  EXPECT_TRUE(grabacion.Errores().empty());
  // A second release and a use after it are reported, not undefined.
  EXPECT_EQ(vb->Release(), 0u);
  EXPECT_EQ(dispositivo->SetStreamSource(0, vb, 20), D3DERR_INVALIDCALL);
  EXPECT_EQ(grabacion.Errores(), (Textos{"VB1.Release: already released",
                                         "Dispositivo1.SetStreamSource: VB1 is already released"}));
  EXPECT_EQ(grabacion.Textos({"Release"}), (Textos{"Release()", "Release()", "Release()"}));
  EXPECT_EQ(grabacion.Filtrar("Release")[1]->resultado, 0);
}

TEST_F(Grabacion, SceneMisuseIsReported) {
  EXPECT_EQ(dispositivo->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);
  EXPECT_EQ(dispositivo->EndScene(), D3DERR_INVALIDCALL);
  EXPECT_EQ(dispositivo->BeginScene(), D3D_OK);
  EXPECT_EQ(dispositivo->BeginScene(), D3DERR_INVALIDCALL);
  EXPECT_EQ(dispositivo->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3D_OK);
  EXPECT_EQ(dispositivo->EndScene(), D3D_OK);
  EXPECT_EQ(grabacion.Errores().size(), 3u);
}

TEST_F(Grabacion, DisplayModeAndTextureFormatsAreConfigurable) {
  D3DDISPLAYMODE modo{};
  ASSERT_EQ(d3d->GetAdapterDisplayMode(0, &modo), D3D_OK);
  EXPECT_EQ(modo.Format, D3DFMT_X8R8G8B8);
  grabacion.PonerModoPantalla(D3DFMT_R5G6B5, 800, 600);
  grabacion.PonerFormatosTextura({D3DFMT_X1R5G5B5});
  ASSERT_EQ(d3d->GetAdapterDisplayMode(0, &modo), D3D_OK);
  EXPECT_EQ(modo.Format, D3DFMT_R5G6B5);
  EXPECT_EQ(modo.Width, 800u);
  EXPECT_EQ(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_R5G6B5, 0, D3DRTYPE_TEXTURE,
                                   D3DFMT_X8R8G8B8),
            D3DERR_NOTAVAILABLE);
  IDirect3DTexture8* t = nullptr;
  EXPECT_EQ(dispositivo->CreateTexture(4, 4, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &t),
            D3DERR_INVALIDCALL);
}

TEST(GrabacionInstalacion, InstallsForItsLifetimeAndRestoresThePrevious) {
  EXPECT_EQ(Direct3DCreate8(D3D_SDK_VERSION), nullptr);
  {
    GrabacionD3D8 grabacion;
    auto instalada = grabacion.Instalar();
    EXPECT_EQ(Direct3DCreate8(219), nullptr);  // wrong SDK version: not even asked
    IDirect3D8* d3d = Direct3DCreate8(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    EXPECT_EQ(grabacion.Textos(), (Textos{"Direct3DCreate8(220)"}));
    grabacion.Fallar({.metodo = "Direct3DCreate8"});
    EXPECT_EQ(Direct3DCreate8(D3D_SDK_VERSION), nullptr);
    d3d->Release();
  }
  EXPECT_EQ(Direct3DCreate8(D3D_SDK_VERSION), nullptr);
}

TEST(GrabacionVida, ObjectsReleasedAfterTheRecordingIsGoneAreSafe) {
  // A static owner releases its IDirect3D8 at exit, after the test's
  // recording is destroyed; that late Release must still be valid.
  IDirect3D8* d3d = nullptr;
  IDirect3DDevice8* dispositivo = nullptr;
  {
    GrabacionD3D8 grabacion;
    d3d = grabacion.Fabrica()();
    D3DPRESENT_PARAMETERS pp{};
    ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0, &pp, &dispositivo), D3D_OK);
  }
  EXPECT_EQ(dispositivo->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1, 0), D3D_OK);
  EXPECT_EQ(dispositivo->Release(), 0u);
  EXPECT_EQ(d3d->Release(), 0u);
}

TEST(GrabacionVida, LiberarRestantesDropsWhatTheCodeUnderTestLeaked) {
  GrabacionD3D8 grabacion;
  IDirect3D8* d3d = grabacion.Fabrica()();
  IDirect3DDevice8* dispositivo = nullptr;
  D3DPRESENT_PARAMETERS pp{};
  ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0, &pp, &dispositivo), D3D_OK);
  IDirect3DTexture8* t = nullptr;
  ASSERT_EQ(dispositivo->CreateTexture(2, 2, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &t), D3D_OK);
  EXPECT_EQ(grabacion.Vivos(), 3);
  grabacion.LiberarRestantes();
  EXPECT_EQ(grabacion.Vivos(), 0);
  ASSERT_NE(grabacion.Textura(t), nullptr);  // contents stay readable
}
}  // namespace

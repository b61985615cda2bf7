// The OpenGL implementation's objects: what CheckDeviceFormat and
// GetAdapterDisplayMode report, texture and vertex-buffer locks, reference
// counts, invalid calls, life after the window is gone, and VentanaEGL's
// PNG output.
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "PruebaGL.h"

namespace prueba_gl {
namespace {

using Recursos = PruebaGL;

TEST_F(Recursos, DisplayModeIsX8R8G8B8AtTheWindowsSize) {
  D3DDISPLAYMODE modo{};
  ASSERT_EQ(d3d->GetAdapterDisplayMode(0, &modo), D3D_OK);
  EXPECT_EQ(modo.Format, D3DFMT_X8R8G8B8);
  EXPECT_EQ(modo.Width, static_cast<UINT>(kLado));
  EXPECT_EQ(modo.Height, static_cast<UINT>(kLado));
  EXPECT_EQ(d3d->GetAdapterDisplayMode(1, &modo), D3DERR_INVALIDCALL);
}

TEST_F(Recursos, CheckDeviceFormatAnswersWhatCreateTextureCanMake) {
  struct Caso {
    D3DFORMAT formato;
    D3DRESOURCETYPE recurso;
    DWORD usage;
    HRESULT esperado;
  };
  for (Caso c : {Caso{D3DFMT_X8R8G8B8, D3DRTYPE_TEXTURE, 0, D3D_OK},
                 Caso{D3DFMT_X1R5G5B5, D3DRTYPE_TEXTURE, 0, D3D_OK},
                 Caso{D3DFMT_A8R8G8B8, D3DRTYPE_TEXTURE, 0, D3D_OK},
                 Caso{D3DFMT_R5G6B5, D3DRTYPE_TEXTURE, 0, D3D_OK},
                 Caso{D3DFMT_D16, D3DRTYPE_TEXTURE, 0, D3DERR_NOTAVAILABLE},
                 Caso{D3DFMT_X8R8G8B8, D3DRTYPE_VOLUMETEXTURE, 0, D3DERR_NOTAVAILABLE},
                 Caso{D3DFMT_X8R8G8B8, D3DRTYPE_TEXTURE, 1, D3DERR_NOTAVAILABLE}}) {
    const HRESULT hr =
        d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, c.usage, c.recurso, c.formato);
    EXPECT_EQ(hr, c.esperado) << "format " << c.formato << " resource " << c.recurso;
    IDirect3DTexture8* t = nullptr;
    if (c.recurso == D3DRTYPE_TEXTURE) {
      const HRESULT creada =
          dispositivo->CreateTexture(16, 16, 1, c.usage, c.formato, D3DPOOL_MANAGED, &t);
      EXPECT_EQ(SUCCEEDED(creada), c.esperado == D3D_OK) << "format " << c.formato;
      if (t != nullptr) t->Release();
    }
  }
  // An adapter format no display runs in: nothing is available on it.
  EXPECT_EQ(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_UNKNOWN, 0, D3DRTYPE_TEXTURE,
                                   D3DFMT_X8R8G8B8),
            D3DERR_NOTAVAILABLE);
}

TEST_F(Recursos, PagesLockWithTheirPitchAndAFullChain) {
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
    ASSERT_NE(r.pBits, nullptr);
    static_cast<BYTE*>(r.pBits)[static_cast<std::size_t>(c.pitch) * 256 - 1] = 1;  // last byte
    EXPECT_EQ(t->LockRect(0, &r, nullptr, 0), D3DERR_INVALIDCALL) << "already locked";
    EXPECT_EQ(t->UnlockRect(0), D3D_OK);
    EXPECT_EQ(t->UnlockRect(0), D3DERR_INVALIDCALL) << "not locked";
    EXPECT_EQ(t->LockRect(9, &r, nullptr, 0), D3DERR_INVALIDCALL) << "no such level";
    ASSERT_EQ(t->LockRect(8, &r, nullptr, 0), D3D_OK);
    EXPECT_EQ(r.Pitch, c.pitch / 256);
    EXPECT_EQ(t->UnlockRect(8), D3D_OK);
    EXPECT_EQ(t->Release(), 0u);
  }
}

TEST_F(Recursos, InvalidCallsFailWithoutDrawing) {
  IDirect3DVertexBuffer8* vb = Vertices(std::vector<VerticeTex>(4), kFvfTex);
  EXPECT_EQ(dispositivo->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL)
      << "no stream yet";
  Usar(vb, kFvfTex, sizeof(VerticeTex));
  EXPECT_EQ(dispositivo->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3DERR_INVALIDCALL)
      << "outside a scene";
  ASSERT_EQ(dispositivo->BeginScene(), D3D_OK);
  EXPECT_EQ(dispositivo->BeginScene(), D3DERR_INVALIDCALL);
  EXPECT_EQ(dispositivo->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
  EXPECT_EQ(dispositivo->DrawPrimitive(D3DPT_TRIANGLESTRIP, 1, 2), D3DERR_INVALIDCALL)
      << "reads a fifth vertex";
  EXPECT_EQ(dispositivo->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2), D3DERR_INVALIDCALL);
  EXPECT_EQ(dispositivo->DrawPrimitive(static_cast<D3DPRIMITIVETYPE>(99), 0, 1),
            D3DERR_INVALIDCALL);
  EXPECT_EQ(dispositivo->EndScene(), D3D_OK);
  EXPECT_EQ(dispositivo->EndScene(), D3DERR_INVALIDCALL);
  EXPECT_EQ(dispositivo->SetVertexShader(D3DFVF_XYZRHW), D3DERR_INVALIDCALL);
  EXPECT_EQ(dispositivo->SetTransform(D3DTS_WORLD, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(dispositivo->SetTexture(8, nullptr), D3DERR_INVALIDCALL);
  BYTE* datos = nullptr;
  EXPECT_EQ(vb->Lock(60, 21, &datos, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(vb->Unlock(), D3DERR_INVALIDCALL);
  EXPECT_EQ(dispositivo->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1, 0), D3DERR_INVALIDCALL)
      << "a D16 depth buffer has no stencil";
}

TEST_F(Recursos, BindingHoldsAReferenceUntilUnbound) {
  IDirect3DTexture8* t = nullptr;
  ASSERT_EQ(dispositivo->CreateTexture(8, 8, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &t), D3D_OK);
  IDirect3DVertexBuffer8* vb = nullptr;
  ASSERT_EQ(dispositivo->CreateVertexBuffer(80, 0, kFvfTex, D3DPOOL_DEFAULT, &vb), D3D_OK);
  ASSERT_EQ(dispositivo->SetTexture(0, t), D3D_OK);
  ASSERT_EQ(dispositivo->SetStreamSource(0, vb, 20), D3D_OK);
  EXPECT_EQ(t->AddRef(), 3u);  // creator, device, and this AddRef
  EXPECT_EQ(t->Release(), 2u);
  EXPECT_EQ(t->Release(), 1u) << "the device still holds it";
  EXPECT_EQ(vb->Release(), 1u);
  ASSERT_EQ(dispositivo->SetTexture(0, nullptr), D3D_OK);  // last reference: freed
  // Releasing the device lets go of the vertex buffer it still had bound.
  EXPECT_EQ(dispositivo->Release(), 0u);
  dispositivo = nullptr;
}

TEST_F(Recursos, DeviceAndResourcesOutliveTheirWindowSafely) {
  IDirect3DTexture8* t = nullptr;
  ASSERT_EQ(D3DXCreateTexture(dispositivo, 256, 256, 0, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &t),
            D3D_OK);
  IDirect3DVertexBuffer8* vb = Vertices(std::vector<VerticeTex>(4), kFvfTex);
  Usar(vb, kFvfTex, sizeof(VerticeTex));
  ASSERT_EQ(dispositivo->SetTexture(0, t), D3D_OK);
  ASSERT_EQ(dispositivo->BeginScene(), D3D_OK);
  ASSERT_EQ(dispositivo->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);  // left queued

  ventana.reset();  // the GL context and every GL object in it are gone

  EXPECT_EQ(dispositivo->EndScene(), D3DERR_DEVICELOST);
  EXPECT_EQ(dispositivo->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1, 0), D3DERR_DEVICELOST);
  EXPECT_EQ(dispositivo->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
  IDirect3DTexture8* otra = nullptr;
  EXPECT_EQ(dispositivo->CreateTexture(8, 8, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &otra),
            D3DERR_DEVICELOST);
  EXPECT_EQ(otra, nullptr);
  // Locks still give memory; only sending it to GL is impossible.
  D3DLOCKED_RECT r{};
  ASSERT_EQ(t->LockRect(0, &r, nullptr, 0), D3D_OK);
  static_cast<BYTE*>(r.pBits)[0] = 7;
  EXPECT_EQ(t->UnlockRect(0), D3DERR_DEVICELOST);
  D3DDISPLAYMODE modo{};
  EXPECT_EQ(d3d->GetAdapterDisplayMode(0, &modo), D3D_OK);
  EXPECT_EQ(modo.Width, 0u);
  // Releases in the order a careless program might: the device first.
  EXPECT_EQ(dispositivo->Release(), 0u);
  dispositivo = nullptr;
  EXPECT_EQ(t->Release(), 0u);
}

TEST_F(Recursos, TwoWindowsDrawIndependently) {
  std::string motivo;
  auto segunda = VentanaEGL::Crear(8, 8, &motivo);
  ASSERT_TRUE(segunda) << motivo;
  D3DPRESENT_PARAMETERS pp{};
  pp.Windowed = 1;
  pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
  pp.BackBufferFormat = D3DFMT_X8R8G8B8;
  IDirect3DDevice8* otro = nullptr;
  ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, segunda.get(), 0, &pp, &otro), D3D_OK);
  ASSERT_EQ(otro->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1, 0), D3D_OK);
  ASSERT_EQ(dispositivo->Clear(0, nullptr, D3DCLEAR_TARGET, kMagenta, 1, 0), D3D_OK);
  ASSERT_EQ(otro->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  const auto p = Presentar();
  EXPECT_EQ(Rgb(segunda->LeerPixeles(), 8, 4, 4), 0x00FF00u);
  EXPECT_EQ(En(p, 4, 4), 0xFF00FFu);
  EXPECT_EQ(otro->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1, 0), D3DERR_INVALIDCALL)
      << "created without a depth buffer";
  otro->Release();
}

TEST_F(Recursos, TwoDevicesOnOneWindowDoNotDisturbEachOther) {
  // Both devices share the window's GL context; the second one drawing in
  // the middle of the first one's scene must not leave the first drawing
  // into the wrong framebuffer or with the wrong texture.
  IDirect3DDevice8* otro = nullptr;
  ASSERT_EQ(CrearDispositivo(&otro), D3D_OK);
  IDirect3DTexture8* rojo = nullptr;
  IDirect3DTexture8* verde = nullptr;
  IDirect3DTexture8* azul = nullptr;
  for (auto [t, color] : {std::pair{&rojo, 0xFF0000u}, {&verde, 0x00FF00u}}) {
    ASSERT_EQ(dispositivo->CreateTexture(1, 1, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, t), D3D_OK);
    D3DLOCKED_RECT r{};
    ASSERT_EQ((*t)->LockRect(0, &r, nullptr, 0), D3D_OK);
    *static_cast<std::uint32_t*>(r.pBits) = color;
    ASSERT_EQ((*t)->UnlockRect(0), D3D_OK);
  }
  ASSERT_EQ(otro->CreateTexture(1, 1, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &azul), D3D_OK);
  const std::vector<VerticeTex> mitades = {
      {-1, 1, 0.5f, 0, 0}, {0, 1, 0.5f, 0, 0}, {-1, -1, 0.5f, 0, 0}, {0, -1, 0.5f, 0, 0},
      {0, 1, 0.5f, 0, 0},  {1, 1, 0.5f, 0, 0}, {0, -1, 0.5f, 0, 0},  {1, -1, 0.5f, 0, 0}};
  Usar(Vertices(mitades, kFvfTex), kFvfTex, sizeof(VerticeTex));
  IDirect3DVertexBuffer8* suyo = nullptr;
  ASSERT_EQ(otro->CreateVertexBuffer(80, 0, kFvfTex, D3DPOOL_DEFAULT, &suyo), D3D_OK);
  BYTE* datos = nullptr;
  ASSERT_EQ(suyo->Lock(0, 0, &datos, 0), D3D_OK);
  std::memcpy(datos, mitades.data(), 80);
  ASSERT_EQ(suyo->Unlock(), D3D_OK);
  PonerIdentidades();

  ASSERT_EQ(dispositivo->Clear(0, nullptr, D3DCLEAR_TARGET, kMagenta, 1, 0), D3D_OK);
  ASSERT_EQ(dispositivo->BeginScene(), D3D_OK);
  DibujarPoligono(D3DPT_TRIANGLESTRIP, 0, 2, rojo);
  DibujarPoligono(D3DPT_TRIANGLESTRIP, 4, 2, verde);  // draws the red half
  // The other device draws a whole frame of its own.
  ASSERT_EQ(otro->SetStreamSource(0, suyo, 20), D3D_OK);
  ASSERT_EQ(otro->SetVertexShader(kFvfTex), D3D_OK);
  otro->SetRenderState(D3DRS_LIGHTING, 0);
  otro->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  otro->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  otro->SetTexture(0, azul);
  ASSERT_EQ(otro->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1, 0), D3D_OK);
  ASSERT_EQ(otro->BeginScene(), D3D_OK);
  ASSERT_EQ(otro->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
  ASSERT_EQ(otro->EndScene(), D3D_OK);
  DibujarPoligono(D3DPT_TRIANGLESTRIP, 4, 2, verde);  // merges with the queued green half
  ASSERT_EQ(dispositivo->EndScene(), D3D_OK);
  const auto p = Presentar();
  EXPECT_EQ(Hex(En(p, 16, 32)), Hex(0xFF0000));
  EXPECT_EQ(Hex(En(p, 48, 32)), Hex(0x00FF00));
  otro->SetTexture(0, nullptr);
  otro->SetStreamSource(0, nullptr, 0);
  suyo->Release();
  azul->Release();
  rojo->Release();
  verde->Release();
  otro->Release();
}

TEST_F(Recursos, ClearRectanglesCountRowsFromTheTop) {
  ASSERT_EQ(dispositivo->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1, 0), D3D_OK);
  const D3DRECT arriba{0, 0, kLado, 8};
  ASSERT_EQ(dispositivo->Clear(1, &arriba, D3DCLEAR_TARGET, kMagenta, 1, 0), D3D_OK);
  const auto p = Presentar();
  EXPECT_EQ(En(p, 32, 0), 0xFF00FFu);
  EXPECT_EQ(En(p, 32, 7), 0xFF00FFu);
  EXPECT_EQ(En(p, 32, 8), 0x000000u);
}

TEST_F(Recursos, WindowPixelsWriteAsAPngTheRightWayUp) {
  ASSERT_EQ(dispositivo->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1, 0), D3D_OK);
  const D3DRECT arriba{0, 0, kLado, 8};
  ASSERT_EQ(dispositivo->Clear(1, &arriba, D3DCLEAR_TARGET, kMagenta, 1, 0), D3D_OK);
  Presentar();
  const auto ruta = std::filesystem::temp_directory_path() / "varidazir_test_ventana.png";
  std::string motivo;
  ASSERT_TRUE(ventana->GuardarPNG(ruta.string(), &motivo)) << motivo;
  png_image imagen{};
  imagen.version = PNG_IMAGE_VERSION;
  ASSERT_NE(png_image_begin_read_from_file(&imagen, ruta.string().c_str()), 0);
  imagen.format = PNG_FORMAT_RGBA;
  std::vector<std::uint8_t> leido(PNG_IMAGE_SIZE(imagen));
  ASSERT_NE(png_image_finish_read(&imagen, nullptr, leido.data(), 0, nullptr), 0);
  std::filesystem::remove(ruta);
  EXPECT_EQ(imagen.width, static_cast<png_uint_32>(kLado));
  EXPECT_EQ(Rgb(leido, kLado, 5, 0), 0xFF00FFu) << "top row first";
  EXPECT_EQ(Rgb(leido, kLado, 5, kLado - 1), 0x000000u);
}

// Each case breaks EGL or GL in a fresh process (the EGL display, once made,
// lasts as long as the process) and expects a null window with a reason,
// not a crash. The variables are Mesa's and glvnd's own.
struct CasoSinGL {
  const char* variable;
  const char* valor;
  const char* motivo;
};

TEST(VentanaEGLSinGL, FailsWithAReasonWhenEGLOrGL33IsMissing) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  for (CasoSinGL c :
       {CasoSinGL{"MESA_GL_VERSION_OVERRIDE", "3.1", "no OpenGL 3.3 core context"},
        CasoSinGL{"LIBGL_DRIVERS_PATH", "/nonexistent", "cannot initialise the surfaceless EGL"},
        CasoSinGL{"__EGL_VENDOR_LIBRARY_FILENAMES", "/nonexistent.json",
                  "EGL has no surfaceless platform"}}) {
    EXPECT_EXIT(
        {
          setenv(c.variable, c.valor, 1);
          std::string motivo;
          const bool creada = VentanaEGL::Crear(8, 8, &motivo) != nullptr;
          std::fprintf(stderr, "motivo: %s\n", motivo.c_str());
          std::fflush(stderr);
          // _Exit: the driver that failed to start is not this test's leak.
          std::_Exit(creada ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), c.motivo)
        << c.variable << "=" << c.valor;
  }
}

TEST(VentanaEGLSinGL, RefusesAnEmptySizeWithAReason) {
  std::string motivo;
  EXPECT_EQ(VentanaEGL::Crear(0, 10, &motivo), nullptr);
  EXPECT_FALSE(motivo.empty());
}

}  // namespace
}  // namespace prueba_gl

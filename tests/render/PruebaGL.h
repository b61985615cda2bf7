// Shared set-up for tests that render for real through the OpenGL
// implementation into a VentanaEGL, then read the window's pixels.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "render/d3d8/d3dx8.h"
#include "render/gl/D3D8GL.h"
#include "render/gl/ImagenPNG.h"
#include "render/gl/VentanaEGL.h"

namespace prueba_gl {

// The textured vertex layout the render classes upload: XYZ | TEX1, 20 bytes.
struct VerticeTex {
  float x, y, z, u, v;
};
constexpr DWORD kFvfTex = D3DFVF_XYZ | D3DFVF_TEX1;
static_assert(sizeof(VerticeTex) == 20 && kFvfTex == 258);

// The coloured layout: XYZ | DIFFUSE, 16 bytes.
struct VerticeColor {
  float x, y, z;
  D3DCOLOR color;
};
constexpr DWORD kFvfColor = D3DFVF_XYZ | D3DFVF_DIFFUSE;
static_assert(sizeof(VerticeColor) == 16 && kFvfColor == 66);

constexpr D3DCOLOR kMagenta = 0xFFFF00FF;

// 0xRRGGBB of the pixel at column x, row y (row 0 at the top).
inline std::uint32_t Rgb(const std::vector<std::uint8_t>& pixeles, int ancho, int x, int y) {
  const std::size_t i = (static_cast<std::size_t>(y) * ancho + x) * 4;
  return (std::uint32_t{pixeles[i]} << 16) | (std::uint32_t{pixeles[i + 1]} << 8) | pixeles[i + 2];
}

inline std::string Hex(std::uint32_t rgb) {
  char texto[16];
  std::snprintf(texto, sizeof texto, "%06X", rgb);
  return texto;
}

class PruebaGL : public ::testing::Test {
 protected:
  static constexpr int kLado = 64;

  void SetUp() override {
    std::string motivo;
    ventana = VentanaEGL::Crear(kLado, kLado, &motivo);
    if (!ventana) {
      GTEST_SKIP() << "no OpenGL 3.3 through surfaceless EGL: " << motivo;
    }
    instalada.emplace(FabricaD3D8GL(ventana.get()));
    d3d = Direct3DCreate8(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    ASSERT_EQ(CrearDispositivo(&dispositivo), D3D_OK);
  }

  void TearDown() override {
    for (IDirect3DVertexBuffer8* vb : vbs) vb->Release();
    for (IDirect3DTexture8* t : texturas) t->Release();
    if (dispositivo != nullptr) dispositivo->Release();
    if (d3d != nullptr) d3d->Release();
    if (ventana) {
      EXPECT_EQ(ventana->ErroresGL(), 0u) << "a GL call failed";
    }
    // A failed test leaves the last image it looked at for a person to see.
    if (HasFailure() && !ultimaImagen.empty()) {
      const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
      std::string nombre = std::string(info->test_suite_name()) + "." + info->name();
      for (char& c : nombre)
        if (c == '/') c = '_';
      const std::string ruta = ::testing::TempDir() + nombre + ".png";
      if (EscribirPNG(ruta, kLado, kLado, ultimaImagen.data()))
        std::printf("image drawn: %s\n", ruta.c_str());
    }
  }

  // Present parameters as the device class fills them: windowed, discard,
  // the display format, a 16-bit depth buffer, the window's size.
  HRESULT CrearDispositivo(IDirect3DDevice8** salida) {
    D3DDISPLAYMODE modo{};
    d3d->GetAdapterDisplayMode(0, &modo);
    D3DPRESENT_PARAMETERS pp{};
    pp.Windowed = 1;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.BackBufferCount = 1;
    pp.BackBufferFormat = modo.Format;
    pp.EnableAutoDepthStencil = 1;
    pp.AutoDepthStencilFormat = D3DFMT_D16;
    return d3d->CreateDevice(0, D3DDEVTYPE_HAL, ventana.get(), D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                             &pp, salida);
  }

  // A texture page of the given size filled texel by texel, level 0 only,
  // made the way the texture class makes one (D3DX, full chain, managed).
  IDirect3DTexture8* Pagina(D3DFORMAT formato, UINT lado,
                            const std::function<std::uint32_t(UINT x, UINT y)>& texel) {
    IDirect3DTexture8* t = nullptr;
    EXPECT_EQ(D3DXCreateTexture(dispositivo, lado, lado, 0, 0, formato, D3DPOOL_MANAGED, &t),
              D3D_OK);
    if (t == nullptr) return nullptr;
    texturas.push_back(t);
    D3DLOCKED_RECT r{};
    EXPECT_EQ(t->LockRect(0, &r, nullptr, 0), D3D_OK);
    for (UINT y = 0; y < lado; ++y) {
      auto* fila = static_cast<BYTE*>(r.pBits) + static_cast<std::size_t>(y) * r.Pitch;
      for (UINT x = 0; x < lado; ++x) {
        const std::uint32_t valor = texel(x, y);
        if (formato == D3DFMT_X1R5G5B5)
          std::memcpy(fila + x * 2, &valor, 2);
        else
          std::memcpy(fila + x * 4, &valor, 4);
      }
    }
    EXPECT_EQ(t->UnlockRect(0), D3D_OK);
    return t;
  }

  // 256 x 256, 32 bits: top-left red, top-right green, bottom-left blue,
  // bottom-right yellow. The unused top byte is left 0 on purpose.
  IDirect3DTexture8* PaginaCuadrantes() {
    return Pagina(D3DFMT_X8R8G8B8, 256, [](UINT x, UINT y) -> std::uint32_t {
      if (y < 128) return x < 128 ? 0x00FF0000 : 0x0000FF00;
      return x < 128 ? 0x000000FF : 0x00FFFF00;
    });
  }

  IDirect3DTexture8* PaginaLisa(D3DCOLOR color) {
    return Pagina(D3DFMT_X8R8G8B8, 8, [color](UINT, UINT) { return color; });
  }

  template <class Vertice>
  IDirect3DVertexBuffer8* Vertices(const std::vector<Vertice>& vertices, DWORD fvf) {
    const UINT largo = static_cast<UINT>(vertices.size() * sizeof(Vertice));
    IDirect3DVertexBuffer8* vb = nullptr;
    EXPECT_EQ(dispositivo->CreateVertexBuffer(largo, 0, fvf, D3DPOOL_DEFAULT, &vb), D3D_OK);
    if (vb == nullptr) return nullptr;
    vbs.push_back(vb);
    BYTE* datos = nullptr;
    EXPECT_EQ(vb->Lock(0, largo, &datos, 0), D3D_OK);
    std::memcpy(datos, vertices.data(), largo);
    EXPECT_EQ(vb->Unlock(), D3D_OK);
    return vb;
  }

  void Usar(IDirect3DVertexBuffer8* vb, DWORD fvf, UINT stride) {
    ASSERT_EQ(dispositivo->SetStreamSource(0, vb, stride), D3D_OK);
    ASSERT_EQ(dispositivo->SetVertexShader(fvf), D3D_OK);
    dispositivo->SetRenderState(D3DRS_LIGHTING, 0);
  }

  // The states the draw loop sets before every polygon, then the draw.
  void DibujarPoligono(D3DPRIMITIVETYPE tipo, UINT inicio, UINT cuenta, IDirect3DTexture8* textura,
                       DWORD cull = D3DCULL_NONE, DWORD relleno = D3DFILL_SOLID) {
    dispositivo->SetRenderState(D3DRS_FILLMODE, relleno);
    dispositivo->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    dispositivo->SetRenderState(D3DRS_CULLMODE, cull);
    dispositivo->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    dispositivo->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    dispositivo->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    dispositivo->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    dispositivo->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    dispositivo->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    dispositivo->SetTexture(0, textura);
    EXPECT_EQ(dispositivo->DrawPrimitive(tipo, inicio, cuenta), D3D_OK);
  }

  void PonerIdentidades() {
    D3DXMATRIX i;
    D3DXMatrixIdentity(&i);
    dispositivo->SetTransform(D3DTS_WORLD, &i);
    dispositivo->SetTransform(D3DTS_VIEW, &i);
    dispositivo->SetTransform(D3DTS_PROJECTION, &i);
  }

  // The viewer's camera: eye 1000 along +Z from the origin, looking at it,
  // 45 degrees of vertical field, square aspect, near 0.1, far 3000.
  void PonerCamara() {
    D3DXMATRIX mundo, vista, proyeccion;
    D3DXMatrixIdentity(&mundo);
    const D3DXVECTOR3 ojo(0, 0, 1000), objetivo(0, 0, 0), arriba(0, 1, 0);
    D3DXMatrixLookAtLH(&vista, &ojo, &objetivo, &arriba);
    D3DXMatrixPerspectiveFovLH(&proyeccion, 3.14159265f / 4, 1.0f, 0.1f, 3000.0f);
    dispositivo->SetTransform(D3DTS_WORLD, &mundo);
    dispositivo->SetTransform(D3DTS_VIEW, &vista);
    dispositivo->SetTransform(D3DTS_PROJECTION, &proyeccion);
    camara = vista;
    D3DXMatrixMultiply(&camara, &vista, &proyeccion);
  }

  // Where a world point lands in the window under `camara`, in pixels from
  // the top-left corner, as Direct3D's viewport transform puts it.
  void Proyectar(float x, float y, float z, float* px, float* py) const {
    float r[4];
    for (int c = 0; c < 4; ++c)
      r[c] = x * camara(0, c) + y * camara(1, c) + z * camara(2, c) + camara(3, c);
    *px = (r[0] / r[3] + 1) * 0.5f * kLado;
    *py = (1 - r[1] / r[3]) * 0.5f * kLado;
  }

  std::vector<std::uint8_t> Presentar() {
    EXPECT_EQ(dispositivo->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    ultimaImagen = ventana->LeerPixeles();
    return ultimaImagen;
  }

  std::uint32_t En(const std::vector<std::uint8_t>& p, int x, int y) const {
    return Rgb(p, kLado, x, y);
  }

  std::unique_ptr<VentanaEGL> ventana;
  std::optional<FabricaD3D8Temporal> instalada;
  IDirect3D8* d3d = nullptr;
  IDirect3DDevice8* dispositivo = nullptr;
  std::vector<IDirect3DTexture8*> texturas;
  std::vector<IDirect3DVertexBuffer8*> vbs;
  D3DXMATRIX camara;
  std::vector<std::uint8_t> ultimaImagen;
};

}  // namespace prueba_gl

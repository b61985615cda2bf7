// varidazir-cli render, run as a program on generated levels; the frames are
// read back from the PNG files it writes.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ejecutar.h"
#include "support/EscritorTr4.h"

namespace {
using testing::HasSubstr;

struct Imagen {
  int ancho = 0, alto = 0;
  std::vector<std::uint8_t> rgba;
  const std::uint8_t* Pixel(int x, int y) const { return &rgba[(y * ancho + x) * 4]; }
};

Imagen LeerPNG(const std::string& ruta) {
  Imagen img;
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, ruta.c_str())) return img;
  png.format = PNG_FORMAT_RGBA;
  img.rgba.resize(PNG_IMAGE_SIZE(png));
  if (!png_image_finish_read(&png, nullptr, img.rgba.data(), 0, nullptr)) return {};
  img.ancho = static_cast<int>(png.width);
  img.alto = static_cast<int>(png.height);
  return img;
}

bool EsMagenta(const std::uint8_t* p) { return p[0] == 255 && p[1] == 0 && p[2] == 255; }

// Pixels close to the colour of one of the level's two solid pages.
int PixelesDePaginas(const Imagen& img) {
  auto cerca = [](const std::uint8_t* p, int r, int g, int b) {
    return std::abs(p[0] - r) < 8 && std::abs(p[1] - g) < 8 && std::abs(p[2] - b) < 8;
  };
  int n = 0;
  for (int y = 0; y < img.alto; ++y)
    for (int x = 0; x < img.ancho; ++x)
      n += cerca(img.Pixel(x, y), 200, 40, 40) || cerca(img.Pixel(x, y), 40, 40, 200);
  return n;
}

std::string NivelGuardado(const char* nombre) {
  const std::string ruta = testing::TempDir() + "/" + nombre;
  EXPECT_TRUE(escritor::GuardarArchivo(ruta, escritor::EscribirNivel(escritor::NivelPequeno())));
  return ruta;
}
}  // namespace

TEST(CliRender, DrawsTheTexturedMeshOnMagenta) {
  const std::string nivel = NivelGuardado("render_pequeno.tr4");
  const std::string salida = testing::TempDir() + "/render_0.png";
  const ResultadoCli r =
      EjecutarCli("render '" + nivel + "' --mesh 0 --scale 1 --out '" + salida + "'");
  ASSERT_EQ(r.codigo, 0) << r.errores;
  const Imagen img = LeerPNG(salida);
  ASSERT_EQ(img.ancho, 321);
  ASSERT_EQ(img.alto, 385);
  EXPECT_TRUE(EsMagenta(img.Pixel(0, 0)));
  EXPECT_TRUE(EsMagenta(img.Pixel(320, 384)));
  EXPECT_GT(PixelesDePaginas(img), 5000) << "the cube's faces are drawn with its pages";
}

TEST(CliRender, OptionsChangeTheFrame) {
  const std::string nivel = NivelGuardado("render_opciones.tr4");
  struct Caso {
    const char* opciones;
    bool igualQueBase;
  };
  const std::string base = testing::TempDir() + "/render_base.png";
  ASSERT_EQ(
      EjecutarCli("render '" + nivel + "' --mesh 0 --scale 1 --size 64x80 --out '" + base + "'")
          .codigo,
      0);
  const Imagen referencia = LeerPNG(base);
  for (const Caso& c :
       {Caso{"--yaw 0.5", false}, Caso{"--pitch 0.5", false}, Caso{"--scale 2", false},
        Caso{"--pan 100 0", false}, Caso{"--wireframe", false}, Caso{"--16bit", true}}) {
    const std::string salida = testing::TempDir() + "/render_caso.png";
    const ResultadoCli r = EjecutarCli("render '" + nivel + "' --mesh 0 --scale 1 --size 64x80 " +
                                       c.opciones + " --out '" + salida + "'");
    ASSERT_EQ(r.codigo, 0) << c.opciones << ": " << r.errores;
    const Imagen img = LeerPNG(salida);
    ASSERT_EQ(img.rgba.size(), referencia.rgba.size()) << c.opciones;
    // A solid page looks the same at 16 bits whenever its colour survives
    // 5 bits per channel; the generated pages are chosen so.
    int distintos = 0;
    for (std::size_t i = 0; i < img.rgba.size(); ++i)
      distintos += std::abs(img.rgba[i] - referencia.rgba[i]) > 8;
    EXPECT_EQ(distintos == 0, c.igualQueBase) << c.opciones << " changed " << distintos;
  }
}

TEST(CliRender, RefusesWhatItCannotDraw) {
  const std::string nivel = NivelGuardado("render_errores.tr4");
  const std::string salida = testing::TempDir() + "/render_no.png";
  struct Caso {
    std::string argumentos;
    const char* mensaje;
  };
  auto bytes = escritor::EscribirNivel(escritor::NivelPequeno());
  bytes.resize(bytes.size() / 2);
  const std::string cortado = testing::TempDir() + "/render_cortado.tr4";
  ASSERT_TRUE(escritor::GuardarArchivo(cortado, bytes));
  for (const Caso& c :
       {Caso{"'" + nivel + "' --mesh 3 --out '" + salida + "'", "no hay mesh 3"},
        Caso{"'" + nivel + "' --mesh -1 --out '" + salida + "'", "no hay mesh -1"},
        Caso{"'" + cortado + "' --mesh 0 --out '" + salida + "'", cortado.c_str()},
        Caso{"/no/existe.tr4 --mesh 0 --out '" + salida + "'", "/no/existe.tr4"},
        Caso{"'" + nivel + "' --out '" + salida + "'", "faltan"},
        Caso{"'" + nivel + "' --mesh 0 --size 0x5 --out '" + salida + "'", "tamaño"}}) {
    const ResultadoCli r = EjecutarCli("render " + c.argumentos);
    EXPECT_EQ(r.codigo, 2) << c.argumentos;
    EXPECT_THAT(r.errores, HasSubstr(c.mensaje)) << c.argumentos;
  }
}

// The level data block: sections, rooms, object textures, the tail.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ayuda.h"

namespace {

using escritor::BytesPatron;
using testing::HasSubstr;

template <class T>
std::vector<std::uint8_t> Bytes(const std::vector<T>& v) {
  std::vector<std::uint8_t> b(v.size() * sizeof(T));
  if (!b.empty()) std::memcpy(b.data(), v.data(), b.size());
  return b;
}

// The tail with every count 0: entities, AI objects, demo data, sound map,
// sound details, sample indices, trailing bytes.
std::vector<std::uint8_t> ColaVacia() {
  std::vector<std::uint8_t> c(4 + 4 + 2 + 740 + 4 + 4 + 6, 0);
  return c;
}

TEST(LeerDatosNivel, NivelPequenoCompleto) {
  const escritor::Nivel d = escritor::NivelPequeno();
  trNivel n;
  std::string motivo;
  ASSERT_EQ(LeerBloqueDatos(escritor::EscribirDatosNivel(d), &n, &motivo), 1) << motivo;
  EXPECT_TRUE(n.advertencia.empty());
  EXPECT_EQ(n.valorInicial, 0x12345678u);

  ASSERT_EQ(n.cantidadSalas, 2);
  ASSERT_EQ(n.salas.size(), 2u);
  const trSala& s = n.salas[0];
  EXPECT_EQ(s.posicion.x, 1024);
  EXPECT_EQ(s.posicion.z, 2048);
  EXPECT_EQ(s.posicion.ySuperior, -1024);
  EXPECT_EQ(s.cantidadPalabras, 77u);
  EXPECT_EQ(Bytes(s.vertices), BytesPatron(48, 100));
  EXPECT_EQ(Bytes(s.rectangulos), BytesPatron(10, 101));
  EXPECT_EQ(Bytes(s.triangulos), BytesPatron(16, 102));
  EXPECT_EQ(Bytes(s.sprites), BytesPatron(4, 103));
  EXPECT_EQ(Bytes(s.portales), BytesPatron(32, 104));
  EXPECT_EQ(s.sectoresZ, 2);
  EXPECT_EQ(s.sectoresX, 3);
  EXPECT_EQ(Bytes(s.sectores), BytesPatron(48, 105));
  EXPECT_EQ(s.colorAmbiente[0], 0x1111);
  EXPECT_EQ(s.colorAmbiente[1], 0x2222);
  EXPECT_EQ(s.luces, BytesPatron(92, 106));
  EXPECT_EQ(Bytes(s.meshesEstaticos), BytesPatron(20, 107));
  EXPECT_EQ(s.salaAlterna, 5);
  EXPECT_EQ(s.banderas, 0x40);
  EXPECT_EQ(s.esquemaAgua, 1);
  EXPECT_EQ(s.reverberacion, 2);
  EXPECT_EQ(s.grupoAlterno, 3);

  EXPECT_EQ(Bytes(n.datosSuelo), BytesPatron(10, 3));
  std::vector<std::uint32_t> offsets;
  const auto malla = escritor::EscribirMeshes(d.meshes, &offsets);
  EXPECT_EQ(n.cantidadPalabrasMesh * 2, malla.size());
  EXPECT_EQ(Bytes(n.palabrasMesh), malla);
  EXPECT_EQ(n.punterosMesh, offsets);
  EXPECT_EQ(Bytes(n.animaciones), BytesPatron(80, 6));
  EXPECT_EQ(Bytes(n.cuadros), BytesPatron(12, 11));
  EXPECT_EQ(Bytes(n.meshesEstaticos), BytesPatron(32, 13));
  EXPECT_EQ(Bytes(n.texturasSprite), BytesPatron(16, 15));
  EXPECT_EQ(Bytes(n.solapes), BytesPatron(6, 21));
  EXPECT_EQ(Bytes(n.zonas), BytesPatron(40, 22));
  EXPECT_EQ(Bytes(n.texturasAnimadas), BytesPatron(4, 23));
  ASSERT_EQ(n.cantidadObjetosTextura, 8u);
  ASSERT_EQ(n.objetosTextura.size(), 8u);
  EXPECT_EQ(n.objetosTextura[7].Pagina(), 1);
  EXPECT_EQ(n.objetosTextura[7].esquinas[1].pixelX, 255);
  EXPECT_EQ(n.objetosTextura[7].esquinas[2].pixelY, 127);
  EXPECT_EQ(Bytes(n.entidades), BytesPatron(48, 26));
  EXPECT_EQ(Bytes(n.objetosIA), BytesPatron(24, 27));
  EXPECT_EQ(n.cantidadDemo, 3);
  EXPECT_EQ(Bytes(n.datosDemo), BytesPatron(6, 28));
  EXPECT_EQ(n.mapaSonido[0], 0);
  EXPECT_EQ(n.mapaSonido[369], 369 * 3);
  EXPECT_EQ(Bytes(n.detallesSonido), BytesPatron(16, 30));
  EXPECT_EQ(Bytes(n.indicesMuestra), BytesPatron(8, 31));
}

TEST(LeerDatosNivel, SinSalasLaCantidadDeSueloSigueDirecto) {
  escritor::Nivel d;
  d.datosSuelo.cantidad = 2;
  escritor::Mapa mapa;
  const auto bloque = escritor::EscribirDatosNivel(d, &mapa);
  ASSERT_EQ(mapa.datos.at("datosSuelo"), 6u);  // leading value 4 + room count 2
  trNivel n;
  ASSERT_EQ(LeerBloqueDatos(bloque, &n), 1);
  EXPECT_EQ(n.cantidadSalas, 0);
  EXPECT_TRUE(n.salas.empty());
  EXPECT_EQ(Bytes(n.datosSuelo), BytesPatron(4, 3));
}

// Negative signed room counts give no array and consume no bytes, so
// everything after them still lines up.
TEST(LeerDatosNivel, CuentasNegativasDeSala) {
  escritor::Nivel d;
  escritor::Sala s;
  s.vertices = -1;
  s.rectangulos = -5;
  s.triangulos = -32768;
  s.sprites = -2;
  s.portales = 1;
  s.salaAlterna = 0x1234;
  s.grupoAlterno = 9;
  d.salas.push_back(s);
  d.datosSuelo.cantidad = 1;
  trNivel n;
  ASSERT_EQ(LeerBloqueDatos(escritor::EscribirDatosNivel(d), &n), 1);
  const trSala& r = n.salas[0];
  EXPECT_EQ(r.cantidadVertices, -1);
  EXPECT_EQ(r.cantidadTriangulos, -32768);
  EXPECT_TRUE(r.vertices.empty());
  EXPECT_TRUE(r.rectangulos.empty());
  EXPECT_TRUE(r.triangulos.empty());
  EXPECT_TRUE(r.sprites.empty());
  EXPECT_EQ(Bytes(r.portales), BytesPatron(32, 104));
  EXPECT_EQ(r.salaAlterna, 0x1234);
  EXPECT_EQ(r.grupoAlterno, 9);
  EXPECT_EQ(Bytes(n.datosSuelo), BytesPatron(2, 3));
}

TEST(LeerDatosNivel, SectoresDeProductoCero) {
  escritor::Nivel d;
  escritor::Sala s;
  s.sectoresZ = 5;
  s.sectoresX = 0;
  s.luces = 1;
  d.salas = {s, escritor::Sala{}};
  trNivel n;
  ASSERT_EQ(LeerBloqueDatos(escritor::EscribirDatosNivel(d), &n), 1);
  EXPECT_EQ(n.salas[0].sectoresZ, 5);
  EXPECT_TRUE(n.salas[0].sectores.empty());
  EXPECT_EQ(n.salas[0].luces, BytesPatron(46, 106));
  EXPECT_TRUE(n.salas[1].luces.empty());
}

TEST(LeerDatosNivel, SinCajasNoHayZonas) {
  escritor::Nivel d;
  d.solapes.cantidad = 2;
  d.texturasAnimadas.cantidad = 1;
  trNivel n;
  ASSERT_EQ(LeerBloqueDatos(escritor::EscribirDatosNivel(d), &n), 1);
  EXPECT_TRUE(n.zonas.empty());
  EXPECT_EQ(Bytes(n.solapes), BytesPatron(4, 21));
  EXPECT_EQ(Bytes(n.texturasAnimadas), BytesPatron(2, 23));
}

// n units of demo data are 2n bytes; the sound map is 740 bytes whatever
// the counts around it.
TEST(LeerDatosNivel, DatosDeDemoYMapaDeSonido) {
  for (std::uint32_t demo : {0u, 1u, 5u}) {
    escritor::Nivel d;
    d.datosDemo.cantidad = demo;
    for (std::size_t i = 0; i < d.mapaSonido.size(); ++i)
      d.mapaSonido[i] = static_cast<std::uint16_t>(0xA000 + i);
    d.detallesSonido.cantidad = 1;
    d.bytesFinales[5] = 0x77;
    trNivel n;
    ASSERT_EQ(LeerBloqueDatos(escritor::EscribirDatosNivel(d), &n), 1);
    EXPECT_TRUE(n.advertencia.empty()) << n.advertencia;
    EXPECT_EQ(n.cantidadDemo, demo);
    EXPECT_EQ(Bytes(n.datosDemo), BytesPatron(2 * demo, 28));
    EXPECT_EQ(n.mapaSonido[0], 0xA000);
    EXPECT_EQ(n.mapaSonido[369], 0xA000 + 369);
    EXPECT_EQ(Bytes(n.detallesSonido), BytesPatron(8, 30));
    EXPECT_EQ(n.bytesFinales[5], 0x77);
  }
}

// Bytes 0..75 read as two object textures show each field's place.
TEST(LeerDatosNivel, CamposDeTexturaDeObjetoEnOrden) {
  escritor::Nivel d;
  d.cantidadObjetosTextura = 2;
  std::vector<std::uint8_t> cola;
  for (int i = 0; i < 76; ++i) cola.push_back(static_cast<std::uint8_t>(i));
  const auto vacia = ColaVacia();
  cola.insert(cola.end(), vacia.begin(), vacia.end());
  d.colaCruda = cola;
  trNivel n;
  std::string motivo;
  ASSERT_EQ(LeerBloqueDatos(escritor::EscribirDatosNivel(d), &n, &motivo), 1) << motivo;
  EXPECT_TRUE(n.advertencia.empty()) << n.advertencia;
  ASSERT_EQ(n.objetosTextura.size(), 2u);
  const trObjetoTextura& t = n.objetosTextura[0];
  EXPECT_EQ(t.atributo, 0x0100);
  EXPECT_EQ(t.baldosa, 0x0302);
  EXPECT_EQ(t.banderas, 0x0504);
  EXPECT_EQ(t.esquinas[0].fraccionX, 6);
  EXPECT_EQ(t.esquinas[0].pixelX, 7);
  EXPECT_EQ(t.esquinas[0].fraccionY, 8);
  EXPECT_EQ(t.esquinas[0].pixelY, 9);
  EXPECT_EQ(t.esquinas[3].pixelY, 21);
  EXPECT_EQ(t.u, 0x19181716u);
  EXPECT_EQ(t.v, 0x1D1C1B1Au);
  EXPECT_EQ(t.ancho, 0x21201F1Eu);
  EXPECT_EQ(t.alto, 0x25242322u);
  EXPECT_EQ(n.objetosTextura[1].atributo, 38 | 39 << 8);
  EXPECT_EQ(n.objetosTextura[1].alto, 0x4B4A4948u);
}

TEST(LeerDatosNivel, BaldosaConBanderaEnElBitAlto) {
  trObjetoTextura t;
  t.baldosa = 0x8005;
  EXPECT_EQ(t.Pagina(), 5);
}

TEST(LeerDatosNivel, MarcasDeCualquierValor) {
  escritor::Nivel d;
  d.valorInicial = 0xFFFFFFFF;
  const std::uint8_t sprites[3] = {0xFF, 0x00, 0x07};
  const std::uint8_t tex[4] = {0xAA, 0xBB, 0xCC, 0xDD};
  const std::uint8_t finales[6] = {1, 2, 3, 4, 5, 0xFE};
  std::memcpy(d.marcaSprites, sprites, 3);
  std::memcpy(d.marcaObjetosTextura, tex, 4);
  std::memcpy(d.bytesFinales, finales, 6);
  trNivel n;
  ASSERT_EQ(LeerBloqueDatos(escritor::EscribirDatosNivel(d), &n), 1);
  EXPECT_EQ(n.valorInicial, 0xFFFFFFFFu);
  EXPECT_EQ(0, std::memcmp(n.marcaSprites, sprites, 3));
  EXPECT_EQ(0, std::memcmp(n.marcaObjetosTextura, tex, 4));
  EXPECT_EQ(0, std::memcmp(n.bytesFinales, finales, 6));
  EXPECT_TRUE(n.advertencia.empty());
}

// Cuts and impossible counts up to the object textures refuse the block;
// the reason names the section and the offset.
struct CasoCuerpo {
  const char* nombre;
  void (*preparar)(escritor::Nivel& d);
  const char* seccion;            // Mapa key the cut is relative to
  std::ptrdiff_t desplazamiento;  // cut at mapa[seccion] + this; -1 = no cut
  const char* fragmento;
};

const CasoCuerpo kCuerpo[] = {
    {"vacio", [](escritor::Nivel&) {}, "salas", -4,
     "el valor inicial pasa del final en el offset 0"},
    {"cantidad_de_salas", [](escritor::Nivel&) {}, "salas", 1, "la cantidad de salas pasa"},
    {"vertices_de_sala", [](escritor::Nivel&) {}, "sala0", 30, "los vértices de la sala 0 pasan"},
    {"final_de_sala", [](escritor::Nivel&) {}, "sala1", -10,
     "los meshes estáticos de la sala 0 pasan"},
    {"segunda_sala", [](escritor::Nivel&) {}, "sala1", 20, "de la sala 1 pasa"},
    {"datos_de_suelo", [](escritor::Nivel&) {}, "datosSuelo", 5, "los datos de suelo pasan"},
    {"palabras_de_mesh", [](escritor::Nivel&) {}, "palabrasMesh", 50, "las palabras de mesh pasan"},
    {"cuadros", [](escritor::Nivel&) {}, "cuadros", 2, "la cantidad de cuadros de animación pasa"},
    {"marca_de_sprites", [](escritor::Nivel&) {}, "marcaSprites", 2, "la marca de sprites pasa"},
    {"zonas", [](escritor::Nivel&) {}, "zonas", 39, "las zonas pasan"},
    {"marca_de_texturas", [](escritor::Nivel&) {}, "marcaObjetosTextura", 0,
     "la marca de texturas de objeto pasa"},
    {"texturas_de_objeto", [](escritor::Nivel&) {}, "objetosTextura", 4 + 38 * 7 + 37,
     "las texturas de objeto pasan del final en el offset"},
    {"salas_de_mas",
     [](escritor::Nivel& d) {
       d.datosNivelCrudos = std::vector<std::uint8_t>{0, 0, 0, 0, 0xFF, 0xFF, 1, 2};
     },
     "salas", -1, "de la sala 0 pasa"},
    {"sectores_enormes",
     [](escritor::Nivel& d) {
       // The writer would emit 34 GB of sectors for 0xFFFF x 0xFFFF, so the
       // counts are patched into a block written with X = 0xFFFF, Z = 0.
       d.salas[1].sectoresX = 0xFFFF;
       escritor::Mapa m;
       auto bytes = escritor::EscribirDatosNivel(d, &m);
       bytes[m.datos.at("sala1") + 16 + 4 + 2 * 4 + 2] = 0xFF;
       bytes[m.datos.at("sala1") + 16 + 4 + 2 * 4 + 3] = 0xFF;
       d.datosNivelCrudos = bytes;
     },
     "salas", -1, "los sectores de la sala 1 pasan"},
    {"cuenta_enorme_de_suelo",
     [](escritor::Nivel& d) {
       d.datosSuelo = {0xFFFFFFFF, {1, 2, 3, 4}};
     },
     "salas", -1, "los datos de suelo pasan"},
    {"cuenta_enorme_de_animaciones",
     [](escritor::Nivel& d) {
       d.animaciones = {0x10000000, {0}};
     },
     "salas", -1, "las animaciones pasan"},
    {"cuenta_enorme_de_texturas", [](escritor::Nivel& d) { d.cantidadObjetosTextura = 0xFFFFFFFF; },
     "salas", -1, "las texturas de objeto pasan"},
};

class LeerDatosNivelRechazo : public testing::TestWithParam<CasoCuerpo> {};

TEST_P(LeerDatosNivelRechazo, NombraLaSeccionYElOffset) {
  const CasoCuerpo& c = GetParam();
  escritor::Nivel d = escritor::NivelPequeno();
  c.preparar(d);
  escritor::Mapa mapa;
  auto bloque = escritor::EscribirDatosNivel(d, &mapa);
  std::size_t corte = bloque.size();
  if (c.desplazamiento != -1) {
    corte = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(mapa.datos.at(c.seccion)) +
                                     c.desplazamiento);
    bloque.resize(corte);
  }
  trNivel n;
  n.valorInicial = 99;
  n.advertencia = "anterior";
  n.objetosTextura.resize(4);
  std::string motivo;
  EXPECT_EQ(LeerBloqueDatos(bloque, &n, &motivo), 0);
  EXPECT_THAT(motivo, HasSubstr(c.fragmento));
  EXPECT_THAT(motivo, HasSubstr("datos del nivel: "));
  EXPECT_THAT(motivo, HasSubstr("(el bloque tiene " + std::to_string(bloque.size()) + " bytes)"));
  // The section fields are left as they were.
  EXPECT_EQ(n.valorInicial, 99u);
  EXPECT_EQ(n.advertencia, "anterior");
  EXPECT_EQ(n.objetosTextura.size(), 4u);
}

INSTANTIATE_TEST_SUITE_P(Casos, LeerDatosNivelRechazo, testing::ValuesIn(kCuerpo),
                         [](const auto& caso) { return std::string(caso.param.nombre); });

TEST(LeerDatosNivel, OffsetDelMotivoEsDondeSeRompe) {
  escritor::Nivel d = escritor::NivelPequeno();
  d.datosSuelo = {0xFFFFFFFF, {1, 2}};
  escritor::Mapa mapa;
  trNivel n;
  std::string motivo;
  ASSERT_EQ(LeerBloqueDatos(escritor::EscribirDatosNivel(d, &mapa), &n, &motivo), 0);
  EXPECT_THAT(motivo, HasSubstr("los datos de suelo pasan del final en el offset " +
                                std::to_string(mapa.datos.at("datosSuelo") + 4)));
}

// A tail that does not fit: the level is kept up to the failing section, the
// rest of the tail is empty, and a warning names the section.
struct CasoCola {
  const char* seccion;  // cut just after this section starts
  std::ptrdiff_t desplazamiento;
  const char* fragmento;
  std::uint32_t entidades, objetosIA, detalles;
};

const CasoCola kCola[] = {
    {"entidades", 0, "la cantidad de entidades pasa", 0, 0, 0},
    {"entidades", 30, "las entidades pasan", 0, 0, 0},
    {"objetosIA", 2, "la cantidad de objetos de IA pasa", 2, 0, 0},
    {"datosDemo", 3, "los datos de demo pasan", 2, 1, 0},
    {"mapaSonido", 739, "el mapa de sonido pasa", 2, 1, 0},
    {"detallesSonido", 19, "los detalles de sonido pasan", 2, 1, 0},
    {"indicesMuestra", 4, "los índices de muestra pasan", 2, 1, 2},
    {"bytesFinales", 5, "los bytes finales pasan", 2, 1, 2},
};

class LeerDatosNivelCola : public testing::TestWithParam<CasoCola> {};

TEST_P(LeerDatosNivelCola, SeAceptaConAdvertencia) {
  const CasoCola& c = GetParam();
  escritor::Nivel d = escritor::NivelPequeno();
  escritor::Mapa mapa;
  auto bloque = escritor::EscribirDatosNivel(d, &mapa);
  bloque.resize(static_cast<std::size_t>(static_cast<std::ptrdiff_t>(mapa.datos.at(c.seccion)) +
                                         c.desplazamiento));
  trNivel n;
  std::string motivo;
  ASSERT_EQ(LeerBloqueDatos(bloque, &n, &motivo), 1) << motivo;
  EXPECT_THAT(n.advertencia, HasSubstr(c.fragmento));
  EXPECT_THAT(n.advertencia, HasSubstr("no tiene el formato clásico"));
  // Everything before the tail is whole.
  EXPECT_EQ(n.objetosTextura.size(), 8u);
  EXPECT_EQ(n.salas.size(), 2u);
  // Tail sections read whole are kept; the failing one and those after it are
  // empty with count 0.
  EXPECT_EQ(n.cantidadEntidades, c.entidades);
  EXPECT_EQ(n.entidades.size(), c.entidades);
  EXPECT_EQ(n.cantidadObjetosIA, c.objetosIA);
  EXPECT_EQ(n.objetosIA.size(), c.objetosIA);
  EXPECT_EQ(n.cantidadDetallesSonido, c.detalles);
  EXPECT_EQ(n.detallesSonido.size(), c.detalles);
  EXPECT_EQ(n.cantidadIndicesMuestra, n.indicesMuestra.size());
}

INSTANTIATE_TEST_SUITE_P(Casos, LeerDatosNivelCola, testing::ValuesIn(kCola), [](const auto& caso) {
  return std::string(caso.param.seccion) + "_" + std::to_string(caso.index);
});

TEST(LeerDatosNivel, ColaConCuentaImposibleSeAceptaConAdvertencia) {
  escritor::Nivel d = escritor::NivelPequeno();
  d.objetosIA = {0x7FFFFFFF, {1, 2, 3}};
  trNivel n;
  std::string motivo;
  ASSERT_EQ(LeerBytes(escritor::EscribirNivel(d), &n, &motivo), 1) << motivo;
  EXPECT_THAT(n.advertencia, HasSubstr("los objetos de IA pasan del final"));
  EXPECT_EQ(n.cantidadEntidades, 2u);
  EXPECT_EQ(n.cantidadObjetosIA, 0u);
  EXPECT_TRUE(n.objetosIA.empty());
  EXPECT_EQ(n.cantidadDemo, 0);
  EXPECT_EQ(n.mapaSonido[369], 0);
  // A later whole level clears the warning.
  ASSERT_EQ(LeerBytes(escritor::EscribirNivel(escritor::NivelPequeno()), &n), 1);
  EXPECT_TRUE(n.advertencia.empty());
}

// Every cut of the block: before the tail refused, inside it accepted with a
// warning, and only the whole block has none.
TEST(LeerDatosNivel, CadaCorteDelBloque) {
  escritor::Mapa mapa;
  const auto bloque = escritor::EscribirDatosNivel(escritor::NivelPequeno(), &mapa);
  const std::size_t cola = mapa.datos.at("entidades");
  for (std::size_t corte = 0; corte <= bloque.size(); ++corte) {
    trNivel n;
    const int r = LeerBloqueDatos({bloque.begin(), bloque.begin() + corte}, &n);
    if (corte < cola) {
      EXPECT_EQ(r, 0) << "corte en " << corte;
    } else {
      EXPECT_EQ(r, 1) << "corte en " << corte;
      EXPECT_EQ(n.advertencia.empty(), corte == bloque.size()) << "corte en " << corte;
    }
  }
}

}  // namespace

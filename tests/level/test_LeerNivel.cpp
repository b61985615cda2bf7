// The container: header, chunks, sample block, refusals.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ayuda.h"

namespace {

using testing::HasSubstr;

TEST(LeerNivel, LeeCabeceraBloquesYMuestras) {
  escritor::Nivel d = escritor::NivelPequeno();
  d.version = 0xDEADBEEF;
  d.paginasSalas = 3;
  d.paginasObjetos = 4;
  d.paginasRelieve = 5;
  escritor::Mapa mapa;
  const auto bytes = escritor::EscribirNivel(d, &mapa);
  trNivel n;
  std::string motivo;
  ASSERT_EQ(LeerBytes(bytes, &n, &motivo), 1) << motivo;

  EXPECT_EQ(n.version, 0xDEADBEEFu);
  EXPECT_EQ(n.cantidadPaginasSalas, 3);
  EXPECT_EQ(n.cantidadPaginasObjetos, 4);
  EXPECT_EQ(n.cantidadPaginasRelieve, 5);
  EXPECT_EQ(n.bloque1, d.paginas32);
  EXPECT_EQ(n.bloque2, d.paginas16);
  EXPECT_EQ(n.bloque3, d.bloque3);
  EXPECT_EQ(n.bloque4, escritor::EscribirDatosNivel(d));
  EXPECT_EQ(n.tamanoBloque1, d.paginas32.size());
  EXPECT_EQ(n.tamanoBloque4, n.bloque4.size());
  // C is what lies between one chunk's header and the next.
  EXPECT_EQ(n.comprimidoBloque1, mapa.bloques[1] - mapa.bloques[0] - 8);
  EXPECT_EQ(n.comprimidoBloque3, mapa.bloques[3] - mapa.bloques[2] - 8);
  EXPECT_EQ(n.comprimidoBloque4, mapa.cantidadMuestras - mapa.bloques[3] - 8);
  EXPECT_EQ(n.cantidadMuestras, 2u);
  EXPECT_EQ(n.muestras, d.muestras);
  EXPECT_EQ(n.CantidadPaginas(), 2u);
  EXPECT_TRUE(n.advertencia.empty());
}

TEST(LeerNivel, DesdeArchivo) {
  const auto bytes = escritor::EscribirNivel(escritor::NivelPequeno());
  const std::string ruta = testing::TempDir() + "/leer_nivel_desde_archivo.tr4";
  ASSERT_TRUE(escritor::GuardarArchivo(ruta, bytes));
  trNivel n;
  std::string motivo;
  EXPECT_EQ(LeerNivel(ruta.c_str(), &n, &motivo), 1) << motivo;
  EXPECT_EQ(n.cantidadObjetosTextura, 8u);
  std::remove(ruta.c_str());
}

TEST(LeerNivel, ArchivoQueNoSeAbreNoTocaElRegistro) {
  trNivel n;
  n.version = 77;
  n.muestras = {1, 2, 3};
  std::string motivo;
  EXPECT_EQ(LeerNivel("/no/existe/nivel.tr4", &n, &motivo), 0);
  EXPECT_THAT(motivo, HasSubstr("no se puede abrir"));
  EXPECT_EQ(n.version, 77u);
  EXPECT_EQ(n.muestras.size(), 3u);
}

TEST(LeerNivel, CarpetaYArchivoVacio) {
  trNivel n;
  std::string motivo;
  EXPECT_EQ(LeerNivel(testing::TempDir().c_str(), &n, &motivo), 0);
  EXPECT_THAT(motivo, HasSubstr("no se puede leer el archivo"));
  const std::string vacio = testing::TempDir() + "/leer_nivel_vacio.tr4";
  ASSERT_TRUE(escritor::GuardarArchivo(vacio, {}));
  EXPECT_EQ(LeerNivel(vacio.c_str(), &n, &motivo), 0);
  EXPECT_THAT(motivo, HasSubstr("cabecera"));
  std::remove(vacio.c_str());
}

TEST(LeerNivel, ArchivoQueTerminaTrasLaCantidadDeMuestras) {
  escritor::Nivel d = escritor::NivelPequeno();
  d.muestras.clear();
  trNivel n;
  ASSERT_EQ(LeerBytes(escritor::EscribirNivel(d), &n), 1);
  EXPECT_EQ(n.cantidadMuestras, 2u);
  EXPECT_TRUE(n.muestras.empty());
}

TEST(LeerNivel, CorteDentroDeLasMuestrasSeAcepta) {
  escritor::Mapa mapa;
  auto bytes = escritor::EscribirNivel(escritor::NivelPequeno(), &mapa);
  bytes.resize(mapa.muestras + 10);
  trNivel n;
  ASSERT_EQ(LeerBytes(bytes, &n), 1);
  EXPECT_EQ(n.muestras, escritor::BytesPatron(10, 99));
}

// A stream that ends before the stored U is accepted; the size field then
// holds what was produced, and chunk 4 is parsed over exactly that.
TEST(LeerNivel, BloqueQueInflaMenosQueSuTamanoDeclarado) {
  escritor::Nivel d = escritor::NivelPequeno();
  d.bloques[2].tamano = static_cast<std::uint32_t>(d.bloque3.size() + 100);
  const auto datos = escritor::EscribirDatosNivel(d);
  d.bloques[3].tamano = static_cast<std::uint32_t>(datos.size() + 64);
  trNivel n;
  std::string motivo;
  ASSERT_EQ(LeerBytes(escritor::EscribirNivel(d), &n, &motivo), 1) << motivo;
  EXPECT_EQ(n.tamanoBloque3, d.bloque3.size());
  EXPECT_EQ(n.bloque3.size(), d.bloque3.size());
  EXPECT_EQ(n.tamanoBloque4, datos.size());
  EXPECT_TRUE(n.advertencia.empty());
}

TEST(LeerNivel, PaginasCompletasSolamente) {
  escritor::Nivel d = escritor::NivelPequeno();
  d.paginas32.resize(2 * 0x40000 + 0x3FFFF);
  trNivel n;
  ASSERT_EQ(LeerBytes(escritor::EscribirNivel(d), &n), 1);
  EXPECT_EQ(n.CantidadPaginas(), 2u);
}

TEST(LeerNivel, SegundoNivelReemplazaTodo) {
  trNivel n;
  ASSERT_EQ(LeerBytes(escritor::EscribirNivel(escritor::NivelPequeno()), &n), 1);
  escritor::Nivel otro;
  otro.version = 5;
  otro.meshes.push_back(escritor::MeshCubo(10, 0));
  ASSERT_EQ(LeerBytes(escritor::EscribirNivel(otro), &n), 1);
  EXPECT_EQ(n.version, 5u);
  EXPECT_TRUE(n.bloque1.empty());
  EXPECT_TRUE(n.bloque3.empty());
  EXPECT_TRUE(n.muestras.empty());
  EXPECT_EQ(n.cantidadSalas, 0);
  EXPECT_TRUE(n.salas.empty());
  EXPECT_TRUE(n.objetosTextura.empty());
  EXPECT_EQ(n.cantidadMuestras, 0u);
  EXPECT_EQ(n.cantidadPunterosMesh, 1u);
}

// Where a file may break, and what the reason must say.
struct CasoRechazo {
  const char* nombre;
  // Changes the description or the finished bytes.
  void (*preparar)(escritor::Nivel& d);
  void (*danar)(std::vector<std::uint8_t>& bytes, const escritor::Mapa& m);
  const char* fragmento;
};

void Nada(escritor::Nivel&) {}
void NoDanar(std::vector<std::uint8_t>&, const escritor::Mapa&) {}

const CasoRechazo kRechazos[] = {
    {"archivo_vacio", Nada, [](auto& b, auto&) { b.clear(); }, "cabecera"},
    {"cabecera_cortada", Nada, [](auto& b, auto&) { b.resize(9); }, "cabecera"},
    {"sin_bloque_1", Nada, [](auto& b, auto&) { b.resize(10); }, "bloque 1: el archivo termina"},
    {"cabecera_bloque_2_cortada", Nada, [](auto& b, auto& m) { b.resize(m.bloques[1] + 6); },
     "bloque 2: el archivo termina en la cabecera"},
    {"flujo_1_cortado", Nada, [](auto& b, auto& m) { b.resize(m.bloques[0] + 20); },
     "bloque 1: los"},
    {"flujo_4_cortado", Nada, [](auto& b, auto& m) { b.resize(m.cantidadMuestras - 1); },
     "bloque 4: los"},
    {"sin_cantidad_de_muestras", Nada, [](auto& b, auto& m) { b.resize(m.cantidadMuestras); },
     "antes de la cantidad de muestras"},
    {"cantidad_de_muestras_cortada", Nada,
     [](auto& b, auto& m) { b.resize(m.cantidadMuestras + 3); },
     "antes de la cantidad de muestras"},
    {"zlib_corrupto", Nada,
     [](auto& b, auto& m) {
       for (std::size_t i = m.bloques[1] + 10; i < m.bloques[1] + 40; ++i) b[i] ^= 0x5A;
     },
     "bloque 2: datos zlib corruptos"},
    {"cabecera_zlib_invalida",
     [](escritor::Nivel& d) {
       d.bloques[2].flujo = std::vector<std::uint8_t>{0x12, 0x34, 0, 0};
     },
     NoDanar, "bloque 3: datos zlib corruptos"},
    {"flujo_mas_largo_que_u", [](escritor::Nivel& d) { d.bloques[0].tamano = 1000; }, NoDanar,
     "bloque 1: los datos inflados pasan del tamaño declarado"},
    {"c_menor_que_el_flujo",
     [](escritor::Nivel& d) {
       // The stream of the data block is cut short inside the file: the
       // inflation runs out of input.
       d.bloques[3].comprimido = 40;
       d.muestras.assign(4000, 0);
     },
     NoDanar, "bloque 4: datos zlib corruptos"},
    {"c_pasa_del_archivo", [](escritor::Nivel& d) { d.bloques[1].comprimido = 0x7FFFFFFF; },
     NoDanar, "pasan del final del archivo"},
    {"u_enorme", [](escritor::Nivel& d) { d.bloques[0].tamano = 0xFFFFFFFF; }, NoDanar,
     "es imposible"},
    {"u_mas_alla_de_la_expansion_de_zlib",
     [](escritor::Nivel& d) {
       // 100 zeros deflate to far fewer than 200 bytes, and no stream of
       // that size can inflate to 1032 x 200.
       d.bloque3.assign(100, 0);
       d.bloques[2].tamano = 1032 * 200;
     },
     NoDanar, "bloque 3: el tamaño inflado declarado"},
    {"datos_del_nivel_cortados",
     [](escritor::Nivel& d) {
       auto datos = escritor::EscribirDatosNivel(d);
       datos.resize(100);
       d.datosNivelCrudos = datos;
     },
     NoDanar, "datos del nivel: "},
};

class LeerNivelRechazo : public testing::TestWithParam<CasoRechazo> {};

TEST_P(LeerNivelRechazo, DaMotivoYNoTocaElRegistro) {
  const CasoRechazo& c = GetParam();
  escritor::Nivel d = escritor::NivelPequeno();
  c.preparar(d);
  escritor::Mapa mapa;
  auto bytes = escritor::EscribirNivel(d, &mapa);
  c.danar(bytes, mapa);

  // The record holds an earlier level; a refusal must leave all of it.
  escritor::Nivel previo;
  previo.version = 42;
  previo.muestras = {9, 8, 7};
  previo.objetosTextura.resize(3);
  previo.meshes.push_back(escritor::MeshCubo(5, 0));
  AgregarPaginaSolida(previo, 1, 2, 3);
  trNivel n;
  ASSERT_EQ(LeerBytes(escritor::EscribirNivel(previo), &n), 1);
  const std::vector<std::uint8_t> bloque1 = n.bloque1, bloque4 = n.bloque4;
  const std::uint8_t* datosBloque1 = n.bloque1.data();

  std::string motivo;
  EXPECT_EQ(LeerBytes(bytes, &n, &motivo), 0);
  EXPECT_THAT(motivo, HasSubstr(c.fragmento));
  EXPECT_EQ(n.version, 42u);
  EXPECT_EQ(n.bloque1.data(), datosBloque1);
  EXPECT_EQ(n.bloque1, bloque1);
  EXPECT_EQ(n.bloque4, bloque4);
  EXPECT_EQ(n.muestras, (std::vector<std::uint8_t>{9, 8, 7}));
  EXPECT_EQ(n.objetosTextura.size(), 3u);
  EXPECT_EQ(n.cantidadPalabrasMesh * 2, escritor::EscribirMeshes(previo.meshes).size());
}

INSTANTIATE_TEST_SUITE_P(Casos, LeerNivelRechazo, testing::ValuesIn(kRechazos),
                         [](const auto& caso) { return std::string(caso.param.nombre); });

// Every cut before the sample block is refused; none crashes or reads out of
// the data (the ASan build checks the latter).
TEST(LeerNivel, CadaCorteAntesDeLasMuestrasSeRechaza) {
  escritor::Mapa mapa;
  const auto bytes = escritor::EscribirNivel(escritor::NivelPequeno(), &mapa);
  for (std::size_t corte = 0; corte < mapa.muestras; ++corte) {
    const std::vector<std::uint8_t> cortado(bytes.begin(), bytes.begin() + corte);
    trNivel n;
    std::string motivo;
    EXPECT_EQ(LeerBytes(cortado, &n, &motivo), 0) << "corte en " << corte;
    EXPECT_FALSE(motivo.empty());
  }
}

}  // namespace

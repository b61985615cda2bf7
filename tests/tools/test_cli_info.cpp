// varidazir-cli info, run as a program on generated levels.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "ejecutar.h"
#include "support/EscritorTr4.h"

namespace {

using testing::HasSubstr;
using testing::Not;

using Resultado = ResultadoCli;

Resultado Ejecutar(const std::string& argumentos) { return EjecutarCli(argumentos); }

std::string Guardar(const escritor::Nivel& d, const char* nombre, std::size_t corte = 0) {
  auto bytes = escritor::EscribirNivel(d);
  if (corte != 0) bytes.resize(corte);
  const std::string ruta = testing::TempDir() + "/" + nombre;
  EXPECT_TRUE(escritor::GuardarArchivo(ruta, bytes));
  return ruta;
}

TEST(CliInfo, TextoDeUnNivel) {
  const std::string ruta = Guardar(escritor::NivelPequeno(), "cli_pequeno.tr4");
  const Resultado r = Ejecutar("info '" + ruta + "'");
  EXPECT_EQ(r.codigo, 0) << r.errores;
  EXPECT_THAT(r.salida, HasSubstr("páginas de textura: 2"));
  EXPECT_THAT(r.salida, HasSubstr("texturas de objeto: 8"));
  EXPECT_THAT(r.salida, HasSubstr("meshes: 3"));
  EXPECT_THAT(r.salida, HasSubstr("(10, -20, 30)"));
  EXPECT_THAT(r.salida, Not(HasSubstr("advertencia")));
  EXPECT_TRUE(r.errores.empty());
}

TEST(CliInfo, Json) {
  const std::string ruta = Guardar(escritor::NivelPequeno(), "cli_json.tr4");
  const Resultado r = Ejecutar("info --json '" + ruta + "'");
  ASSERT_EQ(r.codigo, 0) << r.errores;
  EXPECT_EQ(r.salida.front(), '{');
  EXPECT_EQ(r.salida.back(), '\n');
  EXPECT_THAT(r.salida, HasSubstr("\"version\": 3428948"));  // "TR4\0"
  EXPECT_THAT(r.salida, HasSubstr("\"pages\": 2,"));
  EXPECT_THAT(r.salida, HasSubstr("\"object_textures\": 8,"));
  EXPECT_THAT(r.salida, HasSubstr("{\"index\": 1, \"centre\": [10, -20, 30], \"vertices\": 8, "
                                  "\"normals\": -8, \"rectangles\": 6, \"triangles\": 0}"));
  EXPECT_THAT(r.salida, HasSubstr("\"vertices\": 5, \"normals\": 0, \"rectangles\": 1, "
                                  "\"triangles\": 4}]"));
  EXPECT_THAT(r.salida, Not(HasSubstr("\"warning\"")));
}

TEST(CliInfo, CuentaLasCarasQueElNivelNoRespalda) {
  escritor::Nivel d = escritor::NivelPequeno();
  escritor::Mesh m = escritor::MeshCubo(64, 0);
  m.rectangulos[0].vertices[3] = 8;   // the cube has vertices 0 to 7
  m.rectangulos[1].textura = 0x8001;  // bit 15 set: object texture 1
  m.rectangulos[2].textura = 0x7000;  // no such object texture
  d.meshes.push_back(m);
  const ResultadoCli r = EjecutarCli("info --json '" + Guardar(d, "cli_caras.tr4") + "'");
  EXPECT_EQ(r.codigo, 0) << r.errores;
  EXPECT_THAT(r.salida, HasSubstr("\"faces_out_of_range\": {\"vertex_skipped\": 1, "
                                  "\"texture_masked\": 1, \"texture_missing\": 1, "
                                  "\"page_missing\": 0}"));
  const ResultadoCli texto = EjecutarCli("info '" + Guardar(d, "cli_caras.tr4") + "'");
  EXPECT_THAT(texto.salida, HasSubstr("caras con índices fuera de rango: 3"));
}

TEST(CliInfo, AdvertenciaDeColaSaleYTerminaBien) {
  escritor::Nivel d = escritor::NivelPequeno();
  d.colaCruda = std::vector<std::uint8_t>{1, 0, 0, 0};  // one entity, then nothing
  const std::string ruta = Guardar(d, "cli_cola.tr4");
  const Resultado texto = Ejecutar("info '" + ruta + "'");
  EXPECT_EQ(texto.codigo, 0);
  EXPECT_THAT(texto.salida, HasSubstr("advertencia: datos del nivel: las entidades pasan"));
  const Resultado json = Ejecutar("info --json '" + ruta + "'");
  EXPECT_EQ(json.codigo, 0);
  EXPECT_THAT(json.salida, HasSubstr("\"warning\": \"datos del nivel: las entidades pasan"));
}

TEST(CliInfo, NivelRechazadoDaUnaLineaYCodigo2) {
  const std::string ruta = Guardar(escritor::NivelPequeno(), "cli_cortado.tr4", 300);
  const Resultado r = Ejecutar("info --json '" + ruta + "'");
  EXPECT_EQ(r.codigo, 2);
  EXPECT_TRUE(r.salida.empty());
  EXPECT_THAT(r.errores, HasSubstr(ruta + ": bloque"));
  EXPECT_EQ(r.errores.find('\n'), r.errores.size() - 1) << r.errores;
}

TEST(CliInfo, ArchivoQueNoExiste) {
  const Resultado r = Ejecutar("info /no/existe.tr4");
  EXPECT_EQ(r.codigo, 2);
  EXPECT_THAT(r.errores, HasSubstr("/no/existe.tr4: no se puede abrir el archivo"));
}

TEST(CliInfo, ErroresDeUso) {
  for (const char* argumentos : {"", "info", "info a.tr4 b.tr4", "info --xml a.tr4", "ayuda"}) {
    const Resultado r = Ejecutar(argumentos);
    EXPECT_EQ(r.codigo, 2) << argumentos;
    EXPECT_THAT(r.errores, HasSubstr("uso: varidazir-cli info")) << argumentos;
    EXPECT_TRUE(r.salida.empty()) << argumentos;
  }
}

}  // namespace

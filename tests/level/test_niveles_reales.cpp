// The real levels in VARIDAZIR_LEVELS_DIR, when that folder exists.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "ayuda.h"
#include "level/Lista_Mesh.h"

namespace {

using testing::HasSubstr;

std::vector<std::uint8_t> Cargar(const std::string& ruta) {
  std::ifstream f(ruta, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), {}};
}

struct CasoReal {
  const char* archivo;
  int meshes;
  std::uint32_t paginas;
  std::uint32_t objetosTextura;  // 0: not checked
  bool advertencia;
};

class NivelReal : public testing::TestWithParam<CasoReal> {
 protected:
  void SetUp() override {
    ruta = RutaNivelReal(GetParam().archivo);
    if (!std::filesystem::exists(ruta)) GTEST_SKIP() << "no está " << ruta;
  }
  std::string ruta;
};

TEST_P(NivelReal, CuentasConocidas) {
  const CasoReal& c = GetParam();
  trNivel n;
  std::string motivo;
  ASSERT_EQ(LeerNivel(ruta.c_str(), &n, &motivo), 1) << motivo;
  EXPECT_EQ(n.CantidadPaginas(), c.paginas);
  if (c.objetosTextura != 0) {
    EXPECT_EQ(n.cantidadObjetosTextura, c.objetosTextura);
  }
  EXPECT_EQ(n.objetosTextura.size(), n.cantidadObjetosTextura);
  EXPECT_EQ(!n.advertencia.empty(), c.advertencia) << n.advertencia;
  Lista_Mesh* l = nullptr;
  ASSERT_EQ(LeerMeshes(n.palabrasMesh.data(), 2 * n.cantidadPalabrasMesh, &l), 1);
  std::unique_ptr<Lista_Mesh> lista(l);
  EXPECT_EQ(lista->Cantidad(), c.meshes);
}

// Cuts spread over everything before the sample block are refused.
TEST_P(NivelReal, CortesAntesDeLasMuestrasSeRechazan) {
  const auto bytes = Cargar(ruta);
  trNivel entero;
  ASSERT_EQ(LeerBytes(bytes, &entero), 1);
  const std::size_t inicioMuestras = bytes.size() - entero.muestras.size();
  const std::size_t pasos = 97;
  for (std::size_t k = 0; k < pasos; ++k) {
    const std::size_t corte = inicioMuestras * k / pasos;
    trNivel n;
    std::string motivo;
    EXPECT_EQ(LeerNivelMemoria(bytes.data(), corte, &n, &motivo), 0) << "corte en " << corte;
    EXPECT_FALSE(motivo.empty());
  }
  // Right before the sample count, and inside it.
  for (std::size_t corte : {inicioMuestras - 4, inicioMuestras - 1}) {
    trNivel n;
    EXPECT_EQ(LeerNivelMemoria(bytes.data(), corte, &n), 0) << "corte en " << corte;
  }
}

TEST_P(NivelReal, CorteDentroDeLasMuestrasSeAcepta) {
  const auto bytes = Cargar(ruta);
  trNivel entero;
  ASSERT_EQ(LeerBytes(bytes, &entero), 1);
  const std::size_t inicioMuestras = bytes.size() - entero.muestras.size();
  for (std::size_t corte : {inicioMuestras, inicioMuestras + entero.muestras.size() / 2}) {
    trNivel n;
    ASSERT_EQ(LeerNivelMemoria(bytes.data(), corte, &n), 1) << "corte en " << corte;
    EXPECT_EQ(n.muestras.size(), corte - inicioMuestras);
    EXPECT_EQ(n.cantidadObjetosTextura, entero.cantidadObjetosTextura);
  }
}

TEST_P(NivelReal, BloqueZlibCorruptoSeRechaza) {
  auto bytes = Cargar(ruta);
  // Chunk 2's stream starts after the header and chunk 1.
  std::uint32_t c1 = 0;
  std::memcpy(&c1, bytes.data() + 14, 4);
  const std::size_t flujo2 = 10 + 8 + c1 + 8;
  for (std::size_t i = flujo2 + 2; i < flujo2 + 200; ++i) bytes[i] ^= 0xA5;
  trNivel n;
  std::string motivo;
  EXPECT_EQ(LeerBytes(bytes, &n, &motivo), 0);
  EXPECT_THAT(motivo, HasSubstr("bloque 2"));
}

INSTANTIATE_TEST_SUITE_P(Niveles, NivelReal,
                         testing::Values(CasoReal{"test1.tr4", 185, 7, 1447, false},
                                         CasoReal{"title-ng.tr4", 94, 35, 0, true}),
                         [](const auto& caso) {
                           std::string n = caso.param.archivo;
                           return n.substr(0, n.find_first_of(".-"));
                         });

}  // namespace

#include "level/trLector.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

const std::uint8_t kBloque[6] = {1, 2, 3, 4, 5, 6};

TEST(trLector, LeeYAvanza) {
  trLector l;
  l.Iniciar(6, kBloque);
  std::uint8_t d[4] = {};
  ASSERT_EQ(l.Leer(d, 4), 1);
  EXPECT_EQ(l.posicion, 4u);
  EXPECT_EQ(d[0], 1);
  EXPECT_EQ(d[3], 4);
  ASSERT_EQ(l.Leer(d, 2), 1);
  EXPECT_EQ(d[0], 5);
  EXPECT_EQ(d[1], 6);
  EXPECT_EQ(l.posicion, 6u);
}

TEST(trLector, IniciarRebobina) {
  trLector l;
  l.Iniciar(6, kBloque);
  std::uint8_t d[3];
  l.Leer(d, 3);
  l.Iniciar(2, kBloque + 4);
  EXPECT_EQ(l.posicion, 0u);
  EXPECT_EQ(l.tamano, 2u);
  ASSERT_EQ(l.Leer(d, 1), 1);
  EXPECT_EQ(d[0], 5);
}

// Every refusal copies nothing and leaves the position where it was.
struct CasoRechazo {
  const char* nombre;
  const void* base;
  std::uint32_t tamano;
  std::uint32_t posicion;
  std::uint32_t n;
};

class trLectorRechazo : public testing::TestWithParam<CasoRechazo> {};

TEST_P(trLectorRechazo, NoCopiaNiAvanza) {
  const CasoRechazo& c = GetParam();
  trLector l;
  l.Iniciar(c.tamano, c.base);
  l.posicion = c.posicion;
  std::uint8_t d[8] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
  EXPECT_EQ(l.Leer(d, c.n), 0);
  EXPECT_EQ(l.posicion, c.posicion);
  for (std::uint8_t b : d) EXPECT_EQ(b, 0xEE);
}

INSTANTIATE_TEST_SUITE_P(Casos, trLectorRechazo,
                         testing::Values(CasoRechazo{"base_nula", nullptr, 6, 0, 1},
                                         CasoRechazo{"base_nula_cero_bytes", nullptr, 0, 0, 0},
                                         CasoRechazo{"posicion_pasada", kBloque, 6, 7, 0},
                                         CasoRechazo{"termina_fuera", kBloque, 6, 4, 3},
                                         CasoRechazo{"empieza_en_el_final", kBloque, 6, 6, 1},
                                         CasoRechazo{"mas_que_el_bloque", kBloque, 6, 0, 7},
                                         // position + n wraps around 32 bits to a small number.
                                         CasoRechazo{"desborde_32_bits", kBloque, 6, 2,
                                                     0xFFFFFFFFu}),
                         [](const auto& caso) { return std::string(caso.param.nombre); });

TEST(trLector, CeroBytesEnElFinalEsValido) {
  trLector l;
  l.Iniciar(6, kBloque);
  l.posicion = 6;
  std::uint8_t d = 0;
  EXPECT_EQ(l.Leer(&d, 0), 1);
  EXPECT_EQ(l.posicion, 6u);
}

TEST(trLector, LecturaExactaHastaElFinal) {
  trLector l;
  l.Iniciar(6, kBloque);
  std::uint8_t d[6];
  EXPECT_EQ(l.Leer(d, 6), 1);
  EXPECT_EQ(l.Restante(), 0u);
  EXPECT_EQ(l.Leer(d, 1), 0);
}

}  // namespace

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "viewer/MouseD3D.h"

namespace {
// One accumulator seen through a common shape, so every case below runs
// against all five.
struct Acumulador {
  const char* nombre;
  float (MouseD3D::*acumular)(std::int32_t);
  float (MouseD3D::*valor)() const;
};

const Acumulador kAcumuladores[] = {
    {"RotY", &MouseD3D::AcumularRotY, &MouseD3D::RotY},
    {"RotX", &MouseD3D::AcumularRotX, &MouseD3D::RotX},
    {"Zoom", &MouseD3D::AcumularZoom, &MouseD3D::Zoom},
    {"PanX", &MouseD3D::AcumularPanX, &MouseD3D::PanX},
    {"PanY", &MouseD3D::AcumularPanY, &MouseD3D::PanY},
};

class CadaAcumulador : public ::testing::TestWithParam<Acumulador> {
 protected:
  float Paso(MouseD3D& m, std::int32_t p) { return (m.*GetParam().acumular)(p); }
  float Valor(const MouseD3D& m) { return (m.*GetParam().valor)(); }
};

std::string Nombre(const ::testing::TestParamInfo<Acumulador>& info) { return info.param.nombre; }
}  // namespace

TEST(MouseD3D, StartsAtRestWithTheGivenFactorAndZoom) {
  MouseD3D m(0.25f, 6.0f);
  EXPECT_FLOAT_EQ(m.Factor(), 0.25f);
  EXPECT_FLOAT_EQ(m.Zoom(), 6.0f);
  EXPECT_EQ(m.RotY(), 0.0f);
  EXPECT_EQ(m.RotX(), 0.0f);
  EXPECT_EQ(m.PanX(), 0.0f);
  EXPECT_EQ(m.PanY(), 0.0f);
  EXPECT_FALSE(m.Siguiendo());
}

TEST_P(CadaAcumulador, FirstStepOnlyRecordsThePosition) {
  MouseD3D m(0.1f, 6.0f);
  const float antes = Valor(m);
  EXPECT_FLOAT_EQ(Paso(m, 500), antes);
  EXPECT_TRUE(m.Siguiendo());
  // The next step counts from 500, not from 0.
  EXPECT_NEAR(Paso(m, 510), antes - 1.0f, 1e-5f);
}

TEST_P(CadaAcumulador, LargerCoordinatesLowerTheValueByFactorPerPixel) {
  MouseD3D m(0.1f, 6.0f);
  const float inicio = Valor(m);
  Paso(m, 100);
  EXPECT_NEAR(Paso(m, 110), inicio - 1.0f, 1e-5f);
  EXPECT_NEAR(Paso(m, 110), inicio - 1.0f, 1e-5f);  // no movement, no change
  EXPECT_NEAR(Paso(m, 105), inicio - 0.5f, 1e-5f);
}

TEST_P(CadaAcumulador, ReleaseEndsTrackingAndKeepsTheValue) {
  MouseD3D m(0.1f, 6.0f);
  Paso(m, 0);
  const float alcanzado = Paso(m, 20);
  m.Soltar();
  EXPECT_FALSE(m.Siguiendo());
  // A new drag far from where the last one ended starts where it left off.
  EXPECT_FLOAT_EQ(Paso(m, 900), alcanzado);
  EXPECT_NEAR(Paso(m, 890), alcanzado + 1.0f, 1e-5f);
}

TEST_P(CadaAcumulador, FeedingOneLeavesTheOthersAlone) {
  MouseD3D m(0.1f, 6.0f);
  Paso(m, 0);
  Paso(m, 30);
  for (const Acumulador& otro : kAcumuladores) {
    if (otro.acumular == GetParam().acumular) continue;
    MouseD3D limpio(0.1f, 6.0f);
    EXPECT_FLOAT_EQ((m.*otro.valor)(), (limpio.*otro.valor)()) << otro.nombre;
    // Still idle: its first step records only.
    EXPECT_FLOAT_EQ((m.*otro.acumular)(77), (limpio.*otro.valor)()) << otro.nombre;
  }
}

TEST_P(CadaAcumulador, AChangedFactorAppliesToLaterMovementOnly) {
  MouseD3D m(0.1f, 6.0f);
  const float inicio = Valor(m);
  Paso(m, 0);
  Paso(m, 10);  // -1.0
  m.PonerFactor(0.5f);
  EXPECT_NEAR(Paso(m, 12), inicio - 2.0f, 1e-5f);  // -1.0 more for 2 px
}

TEST_P(CadaAcumulador, ZeroFactorFreezesNegativeFactorReverses) {
  MouseD3D quieto(0.0f, 6.0f);
  const float inicio = Valor(quieto);
  Paso(quieto, 0);
  EXPECT_FLOAT_EQ(Paso(quieto, 300), inicio);

  MouseD3D inverso(-0.1f, 6.0f);
  Paso(inverso, 0);
  EXPECT_NEAR(Paso(inverso, 10), inicio + 1.0f, 1e-5f);
}

TEST_P(CadaAcumulador, ExtremePositionsDoNotOverflow) {
  MouseD3D m(1.0f, 6.0f);
  const float inicio = Valor(m);
  Paso(m, INT_MAX);
  const float v = Paso(m, INT_MIN);
  EXPECT_TRUE(std::isfinite(v));
  EXPECT_GT(v, inicio);
}

INSTANTIATE_TEST_SUITE_P(MouseD3D, CadaAcumulador, ::testing::ValuesIn(kAcumuladores), Nombre);

TEST(MouseD3D, ZoomNeverGoesBelowTheBound) {
  MouseD3D m(0.1f, 6.0f);
  m.AcumularZoom(0);
  EXPECT_NEAR(m.AcumularZoom(59), 0.1f, 1e-4f);  // 6.0 - 5.9
  EXPECT_FLOAT_EQ(m.AcumularZoom(61), 0.001f);   // would be -0.1
  EXPECT_FLOAT_EQ(m.AcumularZoom(200), 0.001f);  // still bounded far below
  // Dragging up again raises it from the bound, not from a negative value.
  EXPECT_NEAR(m.AcumularZoom(190), 1.001f, 1e-5f);
}

TEST(MouseD3D, ZoomOfExactlyZeroStaysZero) {
  MouseD3D m(0.5f, 1.0f);
  m.AcumularZoom(0);
  EXPECT_EQ(m.AcumularZoom(2), 0.0f);
}

TEST(MouseD3D, ZoomThatIsNotANumberBecomesTheBound) {
  MouseD3D m(std::numeric_limits<float>::quiet_NaN(), 6.0f);
  m.AcumularZoom(0);
  EXPECT_FLOAT_EQ(m.AcumularZoom(5), 0.001f);
}

TEST(MouseD3D, OnlyYMovementStillMarksYawAsTracking) {
  MouseD3D m(0.1f, 6.0f);
  m.AcumularRotY(40);
  m.AcumularRotX(40);
  EXPECT_EQ(m.AcumularRotY(40), 0.0f);
  EXPECT_NEAR(m.AcumularRotX(50), -1.0f, 1e-5f);
  EXPECT_NEAR(m.AcumularRotY(30), 1.0f, 1e-5f);  // counted from 40
}

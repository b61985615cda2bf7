#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "render/d3d8/d3dx8.h"

namespace {
// Row vector times matrix, as Direct3D transforms a point.
D3DXVECTOR3 Transformar(const D3DXMATRIX& m, D3DXVECTOR3 p) {
  float r[4];
  for (int c = 0; c < 4; ++c) r[c] = p.x * m(0, c) + p.y * m(1, c) + p.z * m(2, c) + m(3, c);
  return {r[0] / r[3], r[1] / r[3], r[2] / r[3]};
}

void EsperarPunto(D3DXVECTOR3 real, D3DXVECTOR3 esperado) {
  EXPECT_NEAR(real.x, esperado.x, 1e-4f);
  EXPECT_NEAR(real.y, esperado.y, 1e-4f);
  EXPECT_NEAR(real.z, esperado.z, 1e-4f);
}
}  // namespace

TEST(D3DX, TranslationThenScaleActsScaleFirst) {
  // Building W = S * T (the later operation multiplied in front) maps (1,0,0)
  // to (1*2)+1 = 3, not (1+1)*2 = 4.
  D3DXMATRIX w, t, s;
  D3DXMatrixIdentity(&w);
  D3DXMatrixTranslation(&t, 1, 0, 0);
  D3DXMatrixMultiply(&w, &t, &w);
  D3DXMatrixScaling(&s, 2, 2, 2);
  D3DXMatrixMultiply(&w, &s, &w);
  EsperarPunto(Transformar(w, {1, 0, 0}), {3, 0, 0});
}

TEST(D3DX, TranslationLivesInTheBottomRow) {
  D3DXMATRIX t;
  D3DXMatrixTranslation(&t, 5, 6, 7);
  EXPECT_FLOAT_EQ(t(3, 0), 5);
  EXPECT_FLOAT_EQ(t(3, 1), 6);
  EXPECT_FLOAT_EQ(t(3, 2), 7);
  EXPECT_FLOAT_EQ(t(0, 3), 0);
}

TEST(D3DX, RotationsTurnClockwiseSeenFromThePositiveAxis) {
  const float cuarto = std::numbers::pi_v<float> / 2;
  D3DXMATRIX r;
  // Left-handed: a quarter turn about Y takes +Z to +X, about X takes +Y to +Z.
  D3DXMatrixRotationY(&r, cuarto);
  EsperarPunto(Transformar(r, {0, 0, 1}), {1, 0, 0});
  D3DXMatrixRotationX(&r, cuarto);
  EsperarPunto(Transformar(r, {0, 1, 0}), {0, 0, 1});
  EXPECT_NEAR(r(1, 2), 1.0f, 1e-6f);  // row 1 = (0, cos, sin, 0)
}

TEST(D3DX, PerspectiveMapsNearAndFarToZeroAndOne) {
  D3DXMATRIX p;
  D3DXMatrixPerspectiveFovLH(&p, std::numbers::pi_v<float> / 4, 1.0f, 0.1f, 3000.0f);
  const float cot = 1.0f / std::tan(std::numbers::pi_v<float> / 8);
  EXPECT_NEAR(p(0, 0), cot, 1e-5f);
  EXPECT_NEAR(p(1, 1), cot, 1e-5f);
  EXPECT_FLOAT_EQ(p(2, 3), 1.0f);
  EXPECT_FLOAT_EQ(p(3, 3), 0.0f);
  EXPECT_NEAR(Transformar(p, {0, 0, 0.1f}).z, 0.0f, 1e-5f);
  EXPECT_NEAR(Transformar(p, {0, 0, 3000.0f}).z, 1.0f, 1e-5f);
}

TEST(D3DX, LookAtPutsTheTargetOnThePositiveZAxis) {
  // Eye 1000 along +Z from the target, looking toward -Z: the target lands at
  // view-space (0, 0, 1000); a point to the world's +X appears on the left.
  D3DXVECTOR3 ojo(10, 20, 1030), objetivo(10, 20, 30), arriba(0, 1, 0);
  D3DXMATRIX v;
  D3DXMatrixLookAtLH(&v, &ojo, &objetivo, &arriba);
  EsperarPunto(Transformar(v, objetivo), {0, 0, 1000});
  EsperarPunto(Transformar(v, {11, 20, 30}), {-1, 0, 1000});
  EsperarPunto(Transformar(v, {10, 21, 30}), {0, 1, 1000});
}

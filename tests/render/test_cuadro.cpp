// Selection and frame: the camera a selection sets and the world matrix a
// frame builds from the view state.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "geometry/dxBufferTextura.h"
#include "level/trMesh.h"
#include "render/Cuadro.h"
#include "render/dxDevice8.h"
#include "render/dxMain.h"
#include "render/grabacion/GrabacionD3D8.h"

namespace {
using Textos = std::vector<std::string>;

D3DXVECTOR3 Transformar(const D3DMATRIX& m, D3DXVECTOR3 p) {
  float r[4];
  for (int c = 0; c < 4; ++c)
    r[c] = p.x * m.m[0][c] + p.y * m.m[1][c] + p.z * m.m[2][c] + m.m[3][c];
  return {r[0] / r[3], r[1] / r[3], r[2] / r[3]};
}

class Cuadro : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(contexto.CrearContexto(), S_OK);
    ASSERT_EQ(contexto.CrearDispositivo(nullptr, true, &dispositivo), S_OK);
    auto* t = new dxTrianguloTex(8);
    for (int i = 0; i < 3; ++i) t->AgregarVertice(static_cast<float>(i), 0, 0);
    buffer.AgregarPoligono(t);
    dispositivo->SubirBuffer(&buffer);
    mesh.centroX = 100;
    mesh.centroY = -200;
    mesh.centroZ = 300;
    grabacion.Olvidar();
  }
  void TearDown() override { delete dispositivo; }

  // The world matrix handed to the device by the last frame.
  D3DMATRIX MundoDibujado() {
    auto llamadas = grabacion.Filtrar("SetTransform");
    EXPECT_FALSE(llamadas.empty());
    return *llamadas.back()->matriz;
  }

  GrabacionD3D8 grabacion;
  FabricaD3D8Temporal instalada{grabacion.Fabrica()};
  dxMain contexto;
  dxDevice8* dispositivo = nullptr;
  dxBufferTextura buffer;
  trMesh mesh;
};
}  // namespace

TEST(Aspecto, IsTheIntegerQuotientOfTheOuterWindowSize) {
  EXPECT_EQ(AspectoVentana(956, 640), 1.0f);
  EXPECT_EQ(AspectoVentana(1920, 640), 3.0f);
  EXPECT_EQ(AspectoVentana(321, 385), 1.0f) << "a quotient of 0 would flatten the projection";
  EXPECT_EQ(AspectoVentana(100, 0), 1.0f);
}

TEST_F(Cuadro, SelectionPutsTheEyeAlongPositiveZFromTheCentre) {
  SeleccionarMesh(*dispositivo, mesh);
  EXPECT_EQ(dispositivo->Ojo().x, 100);
  EXPECT_EQ(dispositivo->Ojo().y, 200);
  EXPECT_EQ(dispositivo->Ojo().z, 1300);
  EXPECT_EQ(dispositivo->Objetivo().x, 100);
  EXPECT_EQ(dispositivo->Objetivo().y, 200);
  EXPECT_EQ(dispositivo->Objetivo().z, 300);
  EXPECT_EQ(grabacion.Contar("SetTransform"), 2u);

  trMesh origen;
  SeleccionarMesh(*dispositivo, origen);
  EXPECT_EQ(dispositivo->Ojo().z, 1000);
  // Extreme centres stay exact: the sums are formed as integers.
  origen.centroY = -32768;
  origen.centroZ = 32767;
  SeleccionarMesh(*dispositivo, origen);
  EXPECT_EQ(dispositivo->Ojo().y, 32768);
  EXPECT_EQ(dispositivo->Ojo().z, 33767);
}

TEST_F(Cuadro, WithNothingSelectedAFrameIsMagenta) {
  PrepararDispositivo(*dispositivo, AspectoVentana(956, 640));
  D3DXMATRIX proyeccion;
  D3DXMatrixPerspectiveFovLH(&proyeccion, std::acos(-1.0f) / 4, 1.0f, 0.1f, 3000.0f);
  EXPECT_EQ(std::memcmp(&dispositivo->Proyeccion(), &proyeccion, sizeof proyeccion), 0);
  grabacion.Olvidar();
  VistaMesh vista;
  DibujarCuadro(*dispositivo, vista, nullptr);
  EXPECT_EQ(grabacion.Textos(), (Textos{"SetRenderState(7,1)", "Clear(0,null,3,0xFFFF00FF,1,0)",
                                        "Present(null,null,null,null)"}));
}

TEST_F(Cuadro, InitialViewScalesBySixThenMovesToTheCentre) {
  VistaMesh vista;
  vista.buffer = &buffer;
  DibujarCuadro(*dispositivo, vista, &mesh);
  const D3DXVECTOR3 p = Transformar(MundoDibujado(), {1, 2, 3});
  EXPECT_FLOAT_EQ(p.x, 6 + 100);
  EXPECT_FLOAT_EQ(p.y, 12 + 200);
  EXPECT_FLOAT_EQ(p.z, 18 + 300);
  EXPECT_EQ(grabacion.Contar("DrawPrimitive"), 1u);
  EXPECT_EQ(grabacion.Textos().back(), "Present(null,null,null,null)");
}

TEST_F(Cuadro, FrameOrderIsScalePitchYawCentrePan) {
  VistaMesh vista;
  vista.buffer = &buffer;
  vista.escala = 2;
  vista.rotX = std::acos(-1.0f) / 2;  // +Y goes to +Z
  vista.rotY = std::acos(-1.0f) / 2;  // +Z goes to +X
  vista.panX = 5;
  vista.panY = -7;
  DibujarCuadro(*dispositivo, vista, &mesh);
  // (0,1,0) scaled to (0,2,0), pitched to (0,0,2), yawed to (2,0,0), then
  // moved to the centre (100, 200, 300) and panned by (5, -7).
  const D3DXVECTOR3 p = Transformar(MundoDibujado(), {0, 1, 0});
  EXPECT_NEAR(p.x, 107, 1e-4);
  EXPECT_NEAR(p.y, 193, 1e-4);
  EXPECT_NEAR(p.z, 300, 1e-4);
}

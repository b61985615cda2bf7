// Walking mesh data into a Lista_Mesh.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "geometry/dxBufferTextura.h"
#include "level/Lista_Mesh.h"
#include "support/EscritorTr4.h"

namespace {

using escritor::Mesh;

// Runs LeerMeshes over `bytes`; the list is owned by the returned pointer.
std::unique_ptr<Lista_Mesh> Leer(const std::vector<std::uint8_t>& bytes) {
  Lista_Mesh* lista = nullptr;
  EXPECT_EQ(LeerMeshes(bytes.data(), static_cast<std::uint32_t>(bytes.size()), &lista), 1);
  EXPECT_NE(lista, nullptr);
  return std::unique_ptr<Lista_Mesh>(lista);
}

trMesh* Registro(const Lista_Mesh& l, int i) {
  trMesh* m = nullptr;
  EXPECT_EQ(l.ObtenerMesh(i, &m), 1);
  return m;
}

Mesh ConCuentas(int v, int n, int r, int t) {
  Mesh m;
  m.vertices.resize(static_cast<std::size_t>(v));
  m.normales.resize(static_cast<std::size_t>(n));
  m.rectangulos.resize(static_cast<std::size_t>(r));
  m.triangulos.resize(static_cast<std::size_t>(t));
  return m;
}

TEST(LeerMeshes, LongitudCeroNoCreaLista) {
  auto* centinela = reinterpret_cast<Lista_Mesh*>(0x1234);
  Lista_Mesh* lista = centinela;
  const std::uint8_t dato = 0;
  EXPECT_EQ(LeerMeshes(&dato, 0, &lista), 0);
  EXPECT_EQ(lista, centinela);
}

// Mesh lengths, alignment included, as the walk must step over them.
struct CasoLongitud {
  int v, n, r, t;
  std::size_t longitud;
  bool alineacion;
};

class LeerMeshesLongitud : public testing::TestWithParam<CasoLongitud> {};

TEST_P(LeerMeshesLongitud, ElSiguienteEmpiezaDondeDebe) {
  const CasoLongitud& c = GetParam();
  Mesh primero = ConCuentas(c.v, c.n, c.r, c.t);
  primero.relleno = {0xAB, 0xCD};
  Mesh segundo;
  segundo.centro[0] = 111;
  segundo.centro[1] = -222;
  segundo.centro[2] = 333;
  const auto bytes = escritor::EscribirMeshes({primero, segundo});
  ASSERT_EQ(bytes.size(), c.longitud + 20);
  auto lista = Leer(bytes);
  ASSERT_EQ(lista->Cantidad(), 2);
  const trMesh* m = Registro(*lista, 0);
  EXPECT_EQ(m->alineacion.has_value(), c.alineacion);
  if (c.alineacion) {
    EXPECT_EQ((*m->alineacion)[1], 0xCD);
  }
  const trMesh* s = Registro(*lista, 1);
  EXPECT_EQ(s->centroX, 111);
  EXPECT_EQ(s->centroY, -222);
  EXPECT_EQ(s->centroZ, 333);
  EXPECT_TRUE(s->alineacion.has_value());
}

INSTANTIATE_TEST_SUITE_P(Casos, LeerMeshesLongitud,
                         testing::Values(CasoLongitud{0, 0, 0, 0, 20, true},
                                         CasoLongitud{2, 0, 0, 1, 40, false},
                                         CasoLongitud{1, 0, 0, 1, 36, true},
                                         CasoLongitud{3, 3, 1, 0, 68, true},
                                         CasoLongitud{1, 1, 1, 1, 52, false}),
                         [](const auto& caso) {
                           const CasoLongitud& c = caso.param;
                           return "V" + std::to_string(c.v) + "N" + std::to_string(c.n) + "R" +
                                  std::to_string(c.r) + "T" + std::to_string(c.t);
                         });

TEST(LeerMeshes, ContenidoDeUnMesh) {
  Mesh m = escritor::MeshCubo(256, 10);
  m.centro[0] = -5;
  m.radio = 0xCAFEBABE;
  m.triangulos.push_back({{7, 6, 5}, 0x8123, 0x0042});
  auto lista = Leer(escritor::EscribirMeshes({m}));
  const trMesh* r = Registro(*lista, 0);
  EXPECT_EQ(r->centroX, -5);
  EXPECT_EQ(r->radio, 0xCAFEBABEu);
  ASSERT_EQ(r->cantidadVertices, 8);
  ASSERT_EQ(r->vertices.size(), 8u);
  EXPECT_EQ(r->vertices[7].x, 256);
  EXPECT_EQ(r->vertices[6].x, -256);
  EXPECT_EQ(r->vertices[6].z, 256);
  ASSERT_EQ(r->normales.size(), 8u);
  EXPECT_EQ(r->normales[0].y, -9459);
  EXPECT_TRUE(r->valoresLuz.empty());
  ASSERT_EQ(r->rectangulos.size(), 6u);
  EXPECT_EQ(r->rectangulos[5].vertices[0], 1);
  EXPECT_EQ(r->rectangulos[5].vertices[3], 3);
  EXPECT_EQ(r->rectangulos[5].textura, 15);
  ASSERT_EQ(r->triangulos.size(), 1u);
  EXPECT_EQ(r->triangulos[0].vertices[2], 5);
  EXPECT_EQ(r->triangulos[0].textura, 0x8123);
  EXPECT_EQ(r->triangulos[0].efectos, 0x0042);
}

TEST(LeerMeshes, NormalesNegativasSonValoresDeLuz) {
  Mesh m = ConCuentas(3, 0, 0, 0);
  m.luces = {10, -20, 30};
  Mesh despues;
  despues.centro[0] = 99;
  const auto bytes = escritor::EscribirMeshes({m, despues});
  // 12 + 18 + 2 + 6 + 2 + 2 = 42, padded to 44.
  ASSERT_EQ(bytes.size(), 44u + 20u);
  auto lista = Leer(bytes);
  ASSERT_EQ(lista->Cantidad(), 2);
  const trMesh* r = Registro(*lista, 0);
  EXPECT_EQ(r->cantidadNormales, -3);
  EXPECT_TRUE(r->normales.empty());
  EXPECT_EQ(r->valoresLuz, (std::vector<std::int16_t>{10, -20, 30}));
  EXPECT_EQ(Registro(*lista, 1)->centroX, 99);
}

// Negative vertex, rectangle or triangle counts consume no bytes.
TEST(LeerMeshes, CuentasNegativas) {
  Mesh m;
  m.cantidadVertices = -4;
  m.cantidadRectangulos = -1;
  m.cantidadTriangulos = -32768;
  Mesh despues;
  despues.centro[2] = 7;
  auto lista = Leer(escritor::EscribirMeshes({m, despues}));
  ASSERT_EQ(lista->Cantidad(), 2);
  const trMesh* r = Registro(*lista, 0);
  EXPECT_EQ(r->cantidadVertices, -4);
  EXPECT_EQ(r->cantidadTriangulos, -32768);
  EXPECT_TRUE(r->vertices.empty());
  EXPECT_TRUE(r->rectangulos.empty());
  EXPECT_TRUE(r->triangulos.empty());
  EXPECT_EQ(Registro(*lista, 1)->centroZ, 7);
}

// A count that runs past the data drops that mesh and ends the walk.
TEST(LeerMeshes, CuentaQuePasaDelFinal) {
  Mesh mentiroso;
  mentiroso.cantidadVertices = 32767;
  auto lista = Leer(escritor::EscribirMeshes({escritor::MeshCubo(1, 0), mentiroso, Mesh{}}));
  EXPECT_EQ(lista->Cantidad(), 1);
}

// Cuts at every byte: whole meshes are kept, a cut one is dropped; a last
// mesh whose two alignment bytes are missing is kept without them.
TEST(LeerMeshes, CadaCorte) {
  const std::vector<Mesh> meshes = {ConCuentas(1, 0, 0, 1), ConCuentas(2, 1, 1, 0),
                                    ConCuentas(1, 0, 0, 0)};
  std::vector<std::uint32_t> inicios;
  const auto bytes = escritor::EscribirMeshes(meshes, &inicios);
  // Each mesh's length without its padding, and with it.
  std::vector<std::size_t> corto, largo;
  for (Mesh m : meshes) {
    largo.push_back(escritor::EscribirMeshes({m}).size());
    m.sinAlineacion = true;
    corto.push_back(escritor::EscribirMeshes({m}).size());
  }
  ASSERT_NE(corto[0], largo[0]);  // the first one is padded
  for (std::uint32_t corte = 1; corte <= bytes.size(); ++corte) {
    int esperados = 0;
    bool sinAlineacion = false;
    for (std::size_t i = 0; i < meshes.size(); ++i) {
      if (corte < inicios[i] + corto[i]) break;
      ++esperados;
      sinAlineacion = corte < inicios[i] + largo[i];
    }
    Lista_Mesh* l = nullptr;
    ASSERT_EQ(LeerMeshes(bytes.data(), corte, &l), 1);
    std::unique_ptr<Lista_Mesh> lista(l);
    ASSERT_EQ(lista->Cantidad(), esperados) << "corte en " << corte;
    if (esperados > 0) {
      const auto u = static_cast<std::size_t>(esperados - 1);
      EXPECT_EQ(Registro(*lista, esperados - 1)->alineacion.has_value(),
                !sinAlineacion && largo[u] != corto[u])
          << "corte en " << corte;
    }
  }
}

TEST(LeerMeshes, UltimoSinBytesDeAlineacionSeConserva) {
  Mesh m = ConCuentas(1, 0, 0, 0);       // 18 + 6 = 24: no padding
  Mesh ultimo = ConCuentas(1, 0, 0, 1);  // 34 + 2 padding
  ultimo.centro[1] = 42;
  ultimo.sinAlineacion = true;
  const auto bytes = escritor::EscribirMeshes({m, ultimo});
  ASSERT_EQ(bytes.size(), 24u + 34u);
  auto lista = Leer(bytes);
  ASSERT_EQ(lista->Cantidad(), 2);
  EXPECT_EQ(Registro(*lista, 1)->centroY, 42);
  EXPECT_FALSE(Registro(*lista, 1)->alineacion.has_value());
  EXPECT_EQ(Registro(*lista, 1)->triangulos.size(), 1u);
}

TEST(Lista_Mesh, ObtenerMeshFueraDeRango) {
  Lista_Mesh lista;
  auto* m = new trMesh();
  lista.Agregar(std::unique_ptr<trMesh>(m));
  lista.Agregar(std::make_unique<trMesh>());
  EXPECT_EQ(lista.Cantidad(), 2);
  trMesh* centinela = reinterpret_cast<trMesh*>(0x10);
  for (int i : {-1, 2, 1000, -2147483647 - 1}) {
    trMesh* r = centinela;
    EXPECT_EQ(lista.ObtenerMesh(i, &r), 0) << i;
    EXPECT_EQ(r, centinela) << i;
  }
  trMesh* r = nullptr;
  EXPECT_EQ(lista.ObtenerMesh(0, &r), 1);
  EXPECT_EQ(r, m);
}

TEST(Lista_Mesh, SinBuffersInstalados) {
  Lista_Mesh lista;
  lista.Agregar(std::make_unique<trMesh>());
  EXPECT_EQ(lista.ObtenerBuffer(0), nullptr);
  EXPECT_EQ(lista.ObtenerBuffer(-1), nullptr);
  // The wrong number of buffers is refused and nothing is taken.
  EXPECT_EQ(lista.InstalarBuffers({}), 0);
  EXPECT_EQ(lista.ObtenerBuffer(0), nullptr);
}

// Destroying a list without buffers releases the records and their arrays
// (the ASan build reports any leak).
TEST(Lista_Mesh, DestruccionSinBuffers) {
  Lista_Mesh* lista = nullptr;
  const auto bytes = escritor::EscribirMeshes({escritor::MeshCubo(3, 0), escritor::MeshCubo(4, 6)});
  ASSERT_EQ(LeerMeshes(bytes.data(), static_cast<std::uint32_t>(bytes.size()), &lista), 1);
  EXPECT_EQ(lista->Cantidad(), 2);
  delete lista;
}

// Counts its destructions, to see the list destroy what it was given.
class BufferContado : public dxBufferTextura {
 public:
  explicit BufferContado(int* contador) : destruidos(contador) {}
  ~BufferContado() override { ++*destruidos; }

 private:
  int* destruidos;
};

TEST(Lista_Mesh, DestruyeSusBuffers) {
  int destruidos = 0;
  {
    Lista_Mesh lista;
    for (int i = 0; i < 3; ++i) lista.Agregar(std::make_unique<trMesh>());
    auto* uno = new BufferContado(&destruidos);
    auto* tres = new BufferContado(&destruidos);
    ASSERT_EQ(lista.InstalarBuffers({uno, nullptr, tres}), 1);
    EXPECT_EQ(lista.ObtenerBuffer(0), uno);
    EXPECT_EQ(lista.ObtenerBuffer(1), nullptr);
    EXPECT_EQ(lista.ObtenerBuffer(2), tres);
    EXPECT_EQ(lista.ObtenerBuffer(3), nullptr);
    // Installing again replaces the set and destroys the old one.
    ASSERT_EQ(lista.InstalarBuffers({new BufferContado(&destruidos), nullptr, nullptr}), 1);
    EXPECT_EQ(destruidos, 2);
  }
  EXPECT_EQ(destruidos, 3);
}

}  // namespace

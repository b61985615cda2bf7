// Opening a level (LeerNivel from a file, then LeerMeshes) against the floor
// of inflating its four chunks with zlib alone.
//
// The floor is, per iteration: allocate an uninitialised buffer of each
// chunk's inflated size, run zlib's uncompress into each from the file bytes
// already in memory, then free the four buffers (held together, as any
// reader that keeps a level's chunks must hold them). It leaves out
// everything else opening does (reading the file, the header, parsing the
// sections, walking the meshes, building and releasing the record), which
// is what the ratio measures.

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "level/Lista_Mesh.h"
#include "level/trNivel.h"
#include "niveles.h"
#include "ratios.h"

namespace {

struct Trozo {
  const std::uint8_t* flujo;
  std::uint32_t comprimido;
  std::uint32_t inflado;
};

std::vector<std::uint8_t> Cargar(const std::string& ruta) {
  std::ifstream f(ruta, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), {}};
}

// The four chunks of a level file, or fewer when the file is cut short.
std::vector<Trozo> Trozos(const std::vector<std::uint8_t>& archivo) {
  std::vector<Trozo> trozos;
  std::size_t p = 10;
  for (int i = 0; i < 4 && p + 8 <= archivo.size(); ++i) {
    Trozo t;
    std::memcpy(&t.inflado, archivo.data() + p, 4);
    std::memcpy(&t.comprimido, archivo.data() + p + 4, 4);
    t.flujo = archivo.data() + p + 8;
    p += 8 + std::size_t{t.comprimido};
    if (p > archivo.size()) break;
    trozos.push_back(t);
  }
  return trozos;
}

void Abrir(benchmark::State& estado, const std::string& ruta) {
  for (auto _ : estado) {
    trNivel nivel;
    std::string motivo;
    if (!LeerNivel(ruta.c_str(), &nivel, &motivo)) {
      estado.SkipWithError(motivo.c_str());
      break;
    }
    Lista_Mesh* lista = nullptr;
    LeerMeshes(nivel.palabrasMesh.data(), 2 * nivel.cantidadPalabrasMesh, &lista);
    benchmark::DoNotOptimize(lista);
    delete lista;
  }
}

void Inflar(benchmark::State& estado, const std::string& ruta) {
  const std::vector<std::uint8_t> archivo = Cargar(ruta);
  // The chunks' places, found once, outside the timing.
  const std::vector<Trozo> trozos = Trozos(archivo);
  if (trozos.size() != 4) {
    estado.SkipWithError("no es un nivel");
    return;
  }
  for (auto _ : estado) {
    std::unique_ptr<std::uint8_t[]> destinos[4];
    for (int i = 0; i < 4; ++i) {
      const Trozo& t = trozos[static_cast<std::size_t>(i)];
      destinos[i].reset(new std::uint8_t[t.inflado + std::size_t{1}]);
      uLongf producido = t.inflado;
      uncompress(destinos[i].get(), &producido, t.flujo, t.comprimido);
      benchmark::DoNotOptimize(destinos[i].get());
    }
    benchmark::ClobberMemory();
  }
}

bool Registrar() {
  for (const NivelBanco& n : NivelesBanco()) {
    benchmark::RegisterBenchmark(("abrir/" + n.nombre).c_str(), Abrir, n.ruta)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("inflar/" + n.nombre).c_str(), Inflar, n.ruta)
        ->Unit(benchmark::kMillisecond);
  }
  const std::string mayor = MayorNivelBanco();
  if (!mayor.empty()) RegistrarRatio("open_vs_inflate", "abrir/" + mayor, "inflar/" + mayor);
  return true;
}

const bool registrado = Registrar();

}  // namespace

// Opening a level (LeerNivel from a file, then LeerMeshes) against the floor
// of inflating its four chunks with zlib alone.
//
// The floor is, per iteration: allocate an uninitialised buffer of each
// chunk's inflated size, run zlib's uncompress into each from the file bytes
// already in memory, then free the four buffers. They are held together, as
// any reader that keeps a level's chunks must hold them, so the floor pays
// the same first-touch page faults for fresh memory as opening does. It
// leaves out everything else opening does (reading the file, the header,
// parsing the sections, walking the meshes, building the record), which is
// what the ratio measures.

#include <benchmark/benchmark.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "level/Lista_Mesh.h"
#include "level/trNivel.h"
#include "ratios.h"
#include "support/EscritorTr4.h"

namespace {

namespace fs = std::filesystem;

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

// The generated level lives in a temporary file for the length of the run.
struct ArchivoTemporal {
  std::string ruta;
  ~ArchivoTemporal() {
    if (!ruta.empty()) std::remove(ruta.c_str());
  }
};

bool Registrar() {
  static ArchivoTemporal generado;
  std::vector<std::pair<std::string, std::string>> niveles;  // name, path
  // Named after the process, so runs side by side do not delete each other's.
  generado.ruta = (fs::temp_directory_path() /
                   ("varidazir_bench_realista_" + std::to_string(::getpid()) + ".tr4"))
                      .string();
  if (escritor::GuardarArchivo(generado.ruta, escritor::EscribirNivel(escritor::NivelRealista())))
    niveles.emplace_back("generado", generado.ruta);
  std::error_code error;
  for (const auto& e : fs::directory_iterator(VARIDAZIR_LEVELS_DIR, error))
    if (e.path().extension() == ".tr4")
      niveles.emplace_back(e.path().filename().string(), e.path().string());

  // The ratio is kept for the level with the most bytes to inflate: the
  // largest in content, and the longest run, so the least shaken by noise.
  std::uint64_t mayor = 0;
  std::string nombreMayor;
  for (const auto& [nombre, ruta] : niveles) {
    benchmark::RegisterBenchmark(("abrir/" + nombre).c_str(), Abrir, ruta)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("inflar/" + nombre).c_str(), Inflar, ruta)
        ->Unit(benchmark::kMillisecond);
    std::uint64_t inflado = 0;
    for (const Trozo& t : Trozos(Cargar(ruta))) inflado += t.inflado;
    if (inflado > mayor) {
      mayor = inflado;
      nombreMayor = nombre;
    }
  }
  if (!nombreMayor.empty())
    RegistrarRatio("open_vs_inflate", "abrir/" + nombreMayor, "inflar/" + nombreMayor);
  return true;
}

const bool registrado = Registrar();

}  // namespace

#include "niveles.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "support/EscritorTr4.h"

namespace fs = std::filesystem;

namespace {
struct ArchivoTemporal {
  std::string ruta;
  ~ArchivoTemporal() {
    if (!ruta.empty()) std::remove(ruta.c_str());
  }
};
}  // namespace

const std::vector<NivelBanco>& NivelesBanco() {
  static ArchivoTemporal generado;
  static const std::vector<NivelBanco> niveles = [] {
    std::vector<NivelBanco> n;
    // Named after the process, so runs side by side do not delete each other's.
    generado.ruta = (fs::temp_directory_path() /
                     ("varidazir_bench_realista_" + std::to_string(::getpid()) + ".tr4"))
                        .string();
    if (escritor::GuardarArchivo(generado.ruta, escritor::EscribirNivel(escritor::NivelRealista())))
      n.push_back({"generado", generado.ruta});
    std::error_code error;
    for (const auto& e : fs::directory_iterator(VARIDAZIR_LEVELS_DIR, error))
      if (e.path().extension() == ".tr4")
        n.push_back({e.path().filename().string(), e.path().string()});
    return n;
  }();
  return niveles;
}

std::string MayorNivelBanco() {
  std::uintmax_t mayor = 0;
  std::string nombre;
  for (const NivelBanco& n : NivelesBanco()) {
    std::error_code error;
    const std::uintmax_t tamano = fs::file_size(n.ruta, error);
    if (!error && tamano > mayor) {
      mayor = tamano;
      nombre = n.nombre;
    }
  }
  return nombre;
}

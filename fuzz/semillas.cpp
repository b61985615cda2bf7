// Writes the seed corpus for fuzz_nivel into the folder given as argument:
// whole level files, level data blocks and mesh data, all from the writer's
// fixtures. Chunks are kept small so every run inflates little.

#include <cstdio>
#include <string>
#include <vector>

#include "support/EscritorTr4.h"

namespace {

escritor::Nivel SinPaginas(escritor::Nivel n) {
  n.paginas32.clear();
  n.paginas16.clear();
  n.bloque3.resize(16);
  n.muestras.resize(8);
  return n;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "uso: varidazir-semillas CARPETA\n");
    return 2;
  }
  const std::string carpeta = argv[1];
  std::vector<std::pair<std::string, std::vector<std::uint8_t>>> semillas;

  const escritor::Nivel pequeno = escritor::NivelPequeno();
  const escritor::Nivel liviano = SinPaginas(pequeno);
  semillas.emplace_back("nivel_pequeno.tr4", escritor::EscribirNivel(pequeno));
  semillas.emplace_back("nivel_sin_paginas.tr4", escritor::EscribirNivel(liviano));
  semillas.emplace_back("nivel_vacio.tr4", escritor::EscribirNivel(escritor::Nivel{}));

  escritor::Nivel cola = liviano;
  cola.colaCruda = std::vector<std::uint8_t>{2, 0, 0, 0, 1, 2, 3};
  semillas.emplace_back("nivel_cola_rota.tr4", escritor::EscribirNivel(cola));

  escritor::Nivel raros = liviano;
  raros.meshes[0].cantidadRectangulos = -3;
  raros.meshes[1].sinAlineacion = true;
  raros.salas[0].vertices = -7;
  semillas.emplace_back("nivel_cuentas_raras.tr4", escritor::EscribirNivel(raros));

  semillas.emplace_back("datos_pequeno.bin", escritor::EscribirDatosNivel(pequeno));
  semillas.emplace_back("datos_cuentas_raras.bin", escritor::EscribirDatosNivel(raros));
  semillas.emplace_back("meshes_pequeno.bin", escritor::EscribirMeshes(pequeno.meshes));

  for (const auto& [nombre, bytes] : semillas) {
    if (!escritor::GuardarArchivo(carpeta + "/" + nombre, bytes)) {
      std::fprintf(stderr, "varidazir-semillas: no se puede escribir %s/%s\n", carpeta.c_str(),
                   nombre.c_str());
      return 2;
    }
  }
  return 0;
}

// Writes the demo level to the file named by its one argument. Run by the
// build, so that demo.tr4 sits beside the viewer.
#include <cstdio>

#include "viewer/demo/NivelDemo.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "uso: %s destino.tr4\n", argv[0]);
    return 2;
  }
  if (!escritor::GuardarArchivo(argv[1], escritor::EscribirNivel(NivelDemo()))) {
    std::fprintf(stderr, "no se pudo escribir %s\n", argv[1]);
    return 1;
  }
  return 0;
}

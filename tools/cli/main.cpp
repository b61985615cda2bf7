// varidazir-cli: the headless companion of the viewer.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "comandos.h"

namespace {

// One line per command; a new command adds its entry here and its own file.
const Comando kComandos[] = {
    {"info", "[--json] NIVEL.tr4", ComandoInfo},
    {"render",
     "NIVEL.tr4 --mesh N --out IMAGEN.png [--size AxB] [--yaw R] [--pitch R] [--scale S] "
     "[--pan X Y] [--16bit] [--wireframe]",
     ComandoRender},
};

int Uso() {
  for (const Comando& c : kComandos)
    std::fprintf(stderr, "uso: varidazir-cli %s %s\n", c.nombre, c.uso);
  return kSalidaFallo;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Uso();
  for (const Comando& c : kComandos)
    if (std::strcmp(argv[1], c.nombre) == 0)
      return c.ejecutar(std::vector<std::string>(argv + 2, argv + argc));
  std::fprintf(stderr, "varidazir-cli: comando desconocido: %s\n", argv[1]);
  return Uso();
}

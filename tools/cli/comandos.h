// The commands of varidazir-cli. Each lives in its own file and is listed in
// the dispatch table of main.cpp.
#pragma once

#include <string>
#include <vector>

// Exit codes shared by every command.
constexpr int kSalidaBien = 0;
constexpr int kSalidaFallo = 2;  // usage error, unreadable or refused input

struct Comando {
  const char* nombre;
  const char* uso;  // the arguments after the command's name, for the usage line
  // Runs with the arguments that follow the command's name; returns the exit
  // code. Output on stdout, one-line errors on stderr.
  int (*ejecutar)(const std::vector<std::string>& argumentos);
};

// info [--json] NIVEL.tr4: container fields, section counts, pages and the
// meshes of a level.
int ComandoInfo(const std::vector<std::string>& argumentos);

// render NIVEL.tr4 --mesh N --out FILE.png [...]: one frame of mesh N drawn
// as the viewer draws it, written as PNG.
int ComandoRender(const std::vector<std::string>& argumentos);

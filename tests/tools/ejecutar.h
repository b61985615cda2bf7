// Runs the built varidazir-cli as a program and captures what it says.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

struct ResultadoCli {
  int codigo = -1;
  std::string salida, errores;
};

// `argumentos` must already be quoted for the shell.
inline ResultadoCli EjecutarCli(const std::string& argumentos) {
  // One file per process: CTest runs test cases side by side.
  const std::string errores =
      testing::TempDir() + "/cli_errores_" + std::to_string(::getpid()) + ".txt";
  const std::string orden =
      std::string("'") + VARIDAZIR_CLI + "' " + argumentos + " 2>'" + errores + "'";
  ResultadoCli r;
  std::FILE* p = popen(orden.c_str(), "r");
  if (p == nullptr) return r;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0) r.salida.append(buffer, n);
  const int estado = pclose(p);
  r.codigo = WIFEXITED(estado) ? WEXITSTATUS(estado) : -1;
  {
    std::ifstream f(errores);
    r.errores.assign(std::istreambuf_iterator<char>(f), {});
  }
  std::remove(errores.c_str());
  return r;
}

// Ratios printed after Google Benchmark's own table: each compares the real
// time of one benchmark with the real time of a floor measured in the same run.
#pragma once

#include <string>

// Prints `ratio <nombre> <value>` with value = time(numerador) / time(denominador),
// both given as benchmark names exactly as the table shows them. A ratio whose
// benchmarks did not run (filtered out, or skipped for lack of a level) is
// left out.
void RegistrarRatio(std::string nombre, std::string numerador, std::string denominador);

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "ratios.h"

namespace {
struct Ratio {
  std::string nombre, numerador, denominador;
};

std::vector<Ratio>& Ratios() {
  static std::vector<Ratio> ratios;
  return ratios;
}

// Console table as usual, and the real time of every run kept by name.
class Informe : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (!run.error_occurred && run.run_type == Run::RT_Iteration)
        tiempos[run.benchmark_name()] = run.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> tiempos;
};
}  // namespace

void RegistrarRatio(std::string nombre, std::string numerador, std::string denominador) {
  Ratios().push_back({std::move(nombre), std::move(numerador), std::move(denominador)});
}

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  Informe informe;
  benchmark::RunSpecifiedBenchmarks(&informe);
  benchmark::Shutdown();
  for (const Ratio& r : Ratios()) {
    auto a = informe.tiempos.find(r.numerador);
    auto b = informe.tiempos.find(r.denominador);
    if (a != informe.tiempos.end() && b != informe.tiempos.end() && b->second > 0)
      std::printf("ratio %s %.3f\n", r.nombre.c_str(), a->second / b->second);
  }
  return 0;
}

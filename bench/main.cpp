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

// Console table as usual, and the real time of every benchmark kept by name:
// with --benchmark_repetitions, the median of the repetitions, which the
// noise of a shared machine moves least.
class Informe : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const std::string nombre = run.run_name.str();
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
        medianas[nombre] = run.GetAdjustedRealTime();
      else if (run.run_type == Run::RT_Iteration)
        tiempos[nombre] = run.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
  double Tiempo(const std::string& nombre) const {
    if (auto m = medianas.find(nombre); m != medianas.end()) return m->second;
    if (auto t = tiempos.find(nombre); t != tiempos.end()) return t->second;
    return 0;
  }

 private:
  std::map<std::string, double> tiempos, medianas;
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
    const double a = informe.Tiempo(r.numerador), b = informe.Tiempo(r.denominador);
    if (a > 0 && b > 0) std::printf("ratio %s %.3f\n", r.nombre.c_str(), a / b);
  }
  return 0;
}

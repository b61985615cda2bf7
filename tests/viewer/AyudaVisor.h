// Shared set-up of the window tests: program-start state for the viewer's
// globals, levels written to a temporary folder, and running the event loop.
#pragma once

#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <array>
#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "support/EscritorTr4.h"
#include "viewer/Visor.h"

// The context is a static object that the program creates once; each test
// starts from a new one, as a new run of the program would, so that no test
// inherits a Direct3D object from an implementation already gone.
inline void ReiniciarContexto() {
  contextoD3D.~dxMain();
  new (&contextoD3D) dxMain();
}

inline void ReiniciarVista() {
  VistaActual = VistaMesh{};
  meshActual = nullptr;
}

// Runs the event loop for `ms` milliseconds, as the application would.
inline void CorrerBucle(int ms) {
  QEventLoop bucle;
  QTimer::singleShot(ms, &bucle, &QEventLoop::quit);
  bucle.exec();
}

// A level with one small cube per centre and two solid pages, so every face
// has a page and an object texture to take.
inline escritor::Nivel NivelConCentros(const std::vector<std::array<std::int16_t, 3>>& centros) {
  escritor::Nivel n;
  escritor::AgregarPaginaSolida(n, 200, 40, 40);
  escritor::AgregarPaginaSolida(n, 40, 40, 200);
  for (std::uint16_t i = 0; i < 6; ++i)
    n.objetosTextura.push_back(
        escritor::TexturaObjeto::Rectangulo(static_cast<std::uint16_t>(i % 2), 0, 0, 255, 255));
  for (const auto& c : centros) {
    escritor::Mesh m = escritor::MeshCubo(10, 0);
    m.centro[0] = c[0];
    m.centro[1] = c[1];
    m.centro[2] = c[2];
    n.meshes.push_back(m);
  }
  return n;
}

// Writes levels into a folder that goes with the object.
class CarpetaNiveles {
 public:
  std::string Guardar(const std::string& nombre, const std::vector<std::uint8_t>& bytes) {
    const std::string ruta = carpeta.filePath(QString::fromStdString(nombre)).toStdString();
    escritor::GuardarArchivo(ruta, bytes);
    return ruta;
  }
  std::string Guardar(const std::string& nombre, const escritor::Nivel& nivel) {
    return Guardar(nombre, escritor::EscribirNivel(nivel));
  }

 private:
  QTemporaryDir carpeta;
};

// A window with no screen: an OpenGL 3.3 core context on Mesa's surfaceless
// EGL platform, drawing into a framebuffer object of a fixed size. The
// command-line tool and the tests render through it; the viewer uses a Qt
// window instead.
//
//   std::string motivo;
//   auto ventana = VentanaEGL::Crear(256, 256, &motivo);
//   if (!ventana) { ... motivo says why (no EGL, no GL 3.3) ... }
//   PonerFabricaD3D8(FabricaD3D8GL(ventana.get()));
//   ... CreateDevice(..., ventana.get(), ...), draw, Present ...
//   std::vector<std::uint8_t> rgba = ventana->LeerPixeles();
//   ventana->GuardarPNG("marco.png");
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "render/d3d8/d3d8.h"

class VentanaEGL final : public IVentanaD3D {
 public:
  // Null when EGL, the surfaceless platform or a GL 3.3 core context is not
  // available; `motivo` then says which, in English.
  static std::unique_ptr<VentanaEGL> Crear(int ancho, int alto, std::string* motivo = nullptr);
  ~VentanaEGL() override;
  VentanaEGL(const VentanaEGL&) = delete;
  VentanaEGL& operator=(const VentanaEGL&) = delete;

  bool HacerActual() override;
  // Finishes the frame's GL work and counts it; there is no screen to show.
  void Presentar() override;
  void TamanoCliente(int* ancho, int* alto) override;
  unsigned FramebufferDestino() override;
  // Waits until every GL command given so far has been carried out; for
  // timing what a frame really costs.
  void Esperar();

  // The framebuffer's pixels as RGBA, 8 bits each, ancho * alto * 4 bytes,
  // top row first as a person would see the window. Empty on failure.
  std::vector<std::uint8_t> LeerPixeles();
  // Writes `LeerPixeles()` as a PNG file.
  bool GuardarPNG(const std::string& ruta, std::string* motivo = nullptr);
  int Presentaciones() const { return presentaciones_; }
  // Returns and clears GL's error flags: 0 when nothing failed since the
  // last call. For tests, which do not call GL themselves.
  unsigned ErroresGL();

 private:
  struct Egl;
  VentanaEGL(int ancho, int alto);

  std::unique_ptr<Egl> egl_;
  int ancho_, alto_;
  unsigned fbo_ = 0, color_ = 0;
  int presentaciones_ = 0;
};

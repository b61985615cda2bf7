// What a device and the resources it created share: the window whose GL
// context holds their GL objects, and a way to reach the device's queue of
// pending draws. Resources outlive their device when the program never
// releases them, and any of them may outlive the window; every GL call goes
// through `Activar` first so that none is made once the context is gone.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "render/d3d8/d3d8.h"

namespace gl8 {

class ArregloTexturasGL;
class DispositivoGL;

struct ContextoGL {
  explicit ContextoGL(IVentanaD3D* v) : ventana(v), vida(v->Vida()) {}

  IVentanaD3D* ventana;
  std::weak_ptr<const void> vida;
  // The device while it exists; its resources tell it when a GL object
  // that queued draws may use is about to change or go away.
  DispositivoGL* dispositivo = nullptr;
  // The texture arrays the textures share (see ArreglosGL.h); each lives
  // while a texture holds one of its layers.
  std::vector<std::weak_ptr<ArregloTexturasGL>> arreglos;

  // True when GL may be called: the window still exists and its context is
  // current on this thread.
  bool Activar() const { return !vida.expired() && ventana->HacerActual(); }
  bool Vivo() const { return !vida.expired(); }
  // Called before a resource changes GL objects or bindings: the device
  // draws what it has queued, so that the change only affects later draws,
  // and forgets which GL state it believes is bound.
  void PrepararCambio();
};

// Bumped by whoever changes GL bindings: a device when it applies its state,
// a resource when it uploads. A device whose last application is no longer
// the newest mark binds everything again, so several devices (or a device
// and its resources) sharing one GL context never trust a stale cache.
std::uint64_t& MarcaEstadoGL();

}  // namespace gl8

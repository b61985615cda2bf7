// COM-style reference counting for the GL implementation's objects.
#pragma once

#include "render/d3d8/d3d8.h"

namespace gl8 {

// Implements AddRef/Release for one Direct3D interface: the object starts
// with one reference and deletes itself when the last one goes.
template <class ComD3D8>
class ObjetoCOM : public ComD3D8 {
 public:
  ULONG AddRef() override { return ++referencias_; }
  ULONG Release() override {
    if (referencias_ == 0) return 0;
    const ULONG quedan = --referencias_;
    if (quedan == 0) delete this;
    return quedan;
  }

 protected:
  ObjetoCOM() = default;
  ObjetoCOM(const ObjetoCOM&) = delete;
  ObjetoCOM& operator=(const ObjetoCOM&) = delete;

 private:
  ULONG referencias_ = 1;
};

}  // namespace gl8

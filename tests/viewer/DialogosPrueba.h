// The dialog seam as a test drives it: it answers the open dialog with a
// chosen file (or cancels), closes every message box at once, and records
// what was asked and shown, and when, for the test to check.
#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "viewer/Dialogos.h"

struct DialogoVisto {
  QString titulo;
  QString filtro;
};

struct MensajeVisto {
  QString titulo;
  QString texto;
  TipoMensaje tipo;
  // Whatever the test wants to know about the moment the box was up
  // (filled by `alMostrar`).
  std::size_t momento = 0;
};

class DialogosPrueba : public IDialogos {
 public:
  bool Ejecutar(TOpenDialog& dialogo) override {
    dialogos.push_back({dialogo.Title, dialogo.Filter});
    if (cancelar) return false;
    dialogo.FileName = archivo;
    return true;
  }
  void MostrarMensaje(const QString& titulo, const QString& texto, TipoMensaje tipo) override {
    mensajes.push_back({titulo, texto, tipo, alMostrar ? alMostrar() : 0});
  }

  // Answers.
  QString archivo;
  bool cancelar = false;
  std::function<std::size_t()> alMostrar;

  // Records.
  std::vector<DialogoVisto> dialogos;
  std::vector<MensajeVisto> mensajes;
};

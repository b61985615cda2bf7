// The open dialog and message boxes on screen, with Qt's own dialogs.
#pragma once

#include "viewer/Dialogos.h"

class QWidget;

class DialogosQt : public IDialogos {
 public:
  // `dueno` centres the file dialog; message boxes have no owner window.
  explicit DialogosQt(QWidget* ventanaDuena = nullptr) : dueno(ventanaDuena) {}
  // The window exists only after the boxes it may show while it is built.
  void PonerDueno(QWidget* ventanaDuena) { dueno = ventanaDuena; }
  bool Ejecutar(TOpenDialog& dialogo) override;
  void MostrarMensaje(const QString& titulo, const QString& texto, TipoMensaje tipo) override;

 private:
  QWidget* dueno;
};

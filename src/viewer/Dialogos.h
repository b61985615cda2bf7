// The modal boxes the main window needs: the open dialog and message boxes.
//
// The window asks through this interface instead of opening Qt dialogs
// itself, so that tests can choose the file, answer the box and see what was
// shown (and when) without a person at the screen. DialogosQt is the
// implementation the program uses.
#pragma once

#include <QObject>
#include <QString>

// What VCL's TOpenDialog holds: the command sets the title and the filter on
// every use, runs it, and reads the chosen name. The dialog itself exists
// only while it runs.
class TOpenDialog : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;
  QString Title;
  // A Qt name filter: "Name (*.ext)".
  QString Filter;
  QString FileName;
};

enum class TipoMensaje {
  Aviso,  // a plain notice, no icon
  Error,  // something the user asked for did not happen
};

class IDialogos {
 public:
  virtual ~IDialogos() = default;
  // Runs the dialog modally. True with `dialogo.FileName` set when the user
  // chose a file (which need not exist); false, with nothing changed, when
  // the dialog was cancelled.
  virtual bool Ejecutar(TOpenDialog& dialogo) = 0;
  // A modal box with one OK button and no owner window; returns once closed.
  virtual void MostrarMensaje(const QString& titulo, const QString& texto, TipoMensaje tipo) = 0;
};

#include "viewer/DialogosQt.h"

#include <QFileDialog>
#include <QMessageBox>

bool DialogosQt::Ejecutar(TOpenDialog& dialogo) {
  QFileDialog ventana(dueno, dialogo.Title);
  ventana.setNameFilter(dialogo.Filter);
  // As a Windows open dialog with no options: a typed name is accepted even
  // when no such file exists; the reader then says what is wrong with it.
  ventana.setFileMode(QFileDialog::AnyFile);
  ventana.setAcceptMode(QFileDialog::AcceptOpen);
  if (!dialogo.FileName.isEmpty()) ventana.selectFile(dialogo.FileName);
  if (ventana.exec() != QDialog::Accepted) return false;
  const QStringList elegidos = ventana.selectedFiles();
  if (elegidos.isEmpty()) return false;
  dialogo.FileName = elegidos.front();
  return true;
}

void DialogosQt::MostrarMensaje(const QString& titulo, const QString& texto, TipoMensaje tipo) {
  QMessageBox caja(tipo == TipoMensaje::Error ? QMessageBox::Warning : QMessageBox::NoIcon, titulo,
                   texto, QMessageBox::Ok);
  caja.exec();
}

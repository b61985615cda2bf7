// The main window, "VARIDAZIR": a fixed layout of a source/target pair, the
// File menu and the viewport panel. It declares its components and its event
// handlers and keeps no other state; the handlers work on the viewer's
// global objects through the operations in Visor.h.
//
// Every component has the designed object name, parent, position and size
// (relative to the client area below the menu bar) and nothing is anchored:
// resizing the window moves nothing. Only the "Source:" list, the spin
// factor and the viewport do anything.
#pragma once

#include <QMainWindow>

#include "viewer/EventosRaton.h"

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QProgressBar;
class QWidget;
class IDialogos;
class OcioAplicacion;
class TListBox;
class TOpenDialog;
class VentanaPanel;

class TForm1 : public QMainWindow {
  Q_OBJECT
 public:
  // Builds the window from its layout and runs FormCreate, as VCL's
  // CreateForm does; Form1 already refers to it while FormCreate runs.
  // `dialogos` runs the open dialog and the message boxes; it must outlive
  // the window.
  explicit TForm1(IDialogos* dialogos, QWidget* padre = nullptr);
  ~TForm1() override;

  // Components, in the designed order.
  QMenuBar* MainMenu1;
  QMenu* File1;
  QAction* Open1;
  QAction* N1;
  QAction* Exit1;
  QLabel* Panel1;
  QProgressBar* ProgressBar1;
  QProgressBar* ProgressBar2;
  QGroupBox* GroupBox1;
  QGroupBox* GroupBox2;
  TListBox* ListBox1;
  TListBox* ListBox2;
  TListBox* ListBox3;
  TListBox* ListBox4;
  TOpenDialog* OpenDialog1;
  QLineEdit* Edit1;
  QLabel* Label1;

  // Handlers. `Sender` is never used, as in the design.
  void FormCreate(QObject* Sender);
  void FormPaint(QObject* Sender);
  void Open1Click(QObject* Sender);
  void MyIdleHandler(QObject* Sender, bool& Done);
  void ListBox1Click(QObject* Sender);
  void Exit1Click(QObject* Sender);
  void FormClose(QObject* Sender);
  void Panel1MouseMove(QObject* Sender, TShiftState Shift, int X, int Y);
  void Panel1MouseUp(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

  // The surface inside Panel1 that the device draws into.
  VentanaPanel* VentanaVisor() const { return ventanaPanel; }
  // The idle hook that runs MyIdleHandler.
  OcioAplicacion* Ocio() const { return ocio; }

 protected:
  void paintEvent(QPaintEvent* evento) override;
  void closeEvent(QCloseEvent* evento) override;
  void showEvent(QShowEvent* evento) override;

 private:
  void CrearComponentes();
  void CrearMenu();
  void CrearVisor();
  void OrdenarTabulacion();
  void AjustarTamanoExterior();

  IDialogos* dialogos;
  VentanaPanel* ventanaPanel = nullptr;
  OcioAplicacion* ocio = nullptr;
  bool tamanoExteriorAjustado = false;
};

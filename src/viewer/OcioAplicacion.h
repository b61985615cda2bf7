// The equivalent of VCL's Application->OnIdle for a Qt event loop.
//
// The handler runs each time the GUI thread's event loop has dispatched what
// was pending and is about to wait for more (the event dispatcher's
// aboutToBlock signal): once after every batch of events, and never while no
// event arrives, so an idle application sleeps instead of spinning. As in
// VCL, a handler that leaves `Done` false asks to be called again without
// waiting; it then gets another pass as soon as the loop comes round.
//
// Passes run only in the outermost event loop. A modal dialog runs a nested
// loop from inside an event handler, and the design has an idle pass never
// overlap a handler (the open command, for one, is half done while its
// notice is up); the first pass after the dialog returns catches up.
#pragma once

#include <QObject>
#include <functional>

class OcioAplicacion : public QObject {
  Q_OBJECT
 public:
  using Manejador = std::function<void(QObject* Sender, bool& Done)>;

  explicit OcioAplicacion(QObject* padre = nullptr);

  // Installs the handler (an empty one uninstalls it).
  void PonerOnIdle(Manejador manejador);
  // Idle passes run so far, for tests and measurements.
  long long Pasadas() const { return pasadas; }

 private:
  void AntesDeEsperar();

  Manejador onIdle;
  bool dentro = false;
  long long pasadas = 0;
};

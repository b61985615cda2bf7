#include "viewer/OcioAplicacion.h"

#include <QAbstractEventDispatcher>
#include <QThread>

OcioAplicacion::OcioAplicacion(QObject* padre) : QObject(padre) {
  // The dispatcher of the thread that owns this object: the GUI thread.
  QAbstractEventDispatcher* despachador = QAbstractEventDispatcher::instance(thread());
  if (despachador != nullptr)
    connect(despachador, &QAbstractEventDispatcher::aboutToBlock, this,
            &OcioAplicacion::AntesDeEsperar, Qt::DirectConnection);
}

void OcioAplicacion::PonerOnIdle(Manejador manejador) { onIdle = std::move(manejador); }

void OcioAplicacion::AntesDeEsperar() {
  if (!onIdle || dentro) return;
  if (QThread::currentThread()->loopLevel() > 1) return;
  dentro = true;
  ++pasadas;
  bool done = true;
  onIdle(this, done);
  dentro = false;
  // Not done: keep the loop from sleeping so that another pass follows.
  if (!done) {
    if (QAbstractEventDispatcher* d = QAbstractEventDispatcher::instance(thread())) d->wakeUp();
  }
}

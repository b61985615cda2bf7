#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <functional>

#include "viewer/OcioAplicacion.h"

namespace {
// Runs the event loop for `ms` milliseconds, as the application would.
void Correr(int ms) {
  QEventLoop bucle;
  QTimer::singleShot(ms, &bucle, &QEventLoop::quit);
  bucle.exec();
}

class Ocio : public ::testing::Test {
 protected:
  void SetUp() override {
    // Nothing from earlier tests left to dispatch.
    QCoreApplication::processEvents();
    ocio.PonerOnIdle([this](QObject*, bool& done) {
      ++pasadas;
      done = terminar;
    });
  }
  OcioAplicacion ocio;
  int pasadas = 0;
  bool terminar = true;
};
}  // namespace

TEST_F(Ocio, NoEventsNoPasses) {
  Correr(400);
  // The loop's own start and the timer that ends it: a few passes, not a
  // stream of them.
  EXPECT_LE(pasadas, 3);
}

TEST_F(Ocio, OnePassFollowsEachBatchOfEvents) {
  // Five events, each scheduled by the one before, so that no two can fall
  // into the same batch however late the machine runs them.
  QEventLoop bucle;
  int eventos = 0;
  std::function<void()> siguiente = [&] {
    if (++eventos < 5)
      QTimer::singleShot(20, &bucle, siguiente);
    else
      QTimer::singleShot(20, &bucle, &QEventLoop::quit);
  };
  QTimer::singleShot(20, &bucle, siguiente);
  const int antes = pasadas;
  bucle.exec();
  EXPECT_EQ(eventos, 5);
  // One pass after each event, plus the loop's start and the quit timer.
  EXPECT_GE(pasadas - antes, 5);
  EXPECT_LE(pasadas - antes, 5 + 3);
}

TEST_F(Ocio, NotDoneAsksForMorePassesWithoutWaiting) {
  terminar = false;
  Correr(100);
  // The loop keeps coming round while the handler says it is not done: far
  // more passes than the two or three a quiet loop makes.
  EXPECT_GT(pasadas, 20);
}

TEST_F(Ocio, NestedLoopsRunNoPasses) {
  QEventLoop externo;
  int dentroDelAnidado = -1;
  QTimer::singleShot(20, &externo, [&] {
    const int antes = pasadas;
    QEventLoop anidado;  // as a modal dialog runs one inside a handler
    for (int i = 1; i <= 5; ++i) QTimer::singleShot(10 * i, &anidado, [] {});
    QTimer::singleShot(80, &anidado, &QEventLoop::quit);
    anidado.exec();
    dentroDelAnidado = pasadas - antes;
    QTimer::singleShot(50, &externo, &QEventLoop::quit);
  });
  externo.exec();
  EXPECT_EQ(dentroDelAnidado, 0);
  EXPECT_GT(pasadas, 0);
}

TEST_F(Ocio, AnUninstalledHandlerIsNotCalled) {
  ocio.PonerOnIdle({});
  Correr(50);
  EXPECT_EQ(pasadas, 0);
}

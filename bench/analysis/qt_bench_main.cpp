// The main of the analysis benchmarks: text and windows need a widget application, drawn off the
// screen.

#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdlib>

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

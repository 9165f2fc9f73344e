#include "app/window/program_start.h"
#include "app/window/tarvex_application.h"

int main(int argc, char* argv[]) {
  tarvex::TarvexApplication app(argc, argv);
  const auto FMMain = tarvex::StartMainWindow();
  return tarvex::TarvexApplication::exec();
}

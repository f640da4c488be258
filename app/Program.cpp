#include "app/Program.h"

#include "platform/display/DisplayBackend.h"

TProgram::TProgram() : FFonts(std::make_unique<TProgramFonts>()) {}

int TProgram::ScreenColorBits() {
  if (FScreenColorBits == 0) MeasureScreenColorBits();
  return FScreenColorBits;
}

void TProgram::MeasureScreenColorBits() {
  FScreenColorBits = TheDisplay().ColorDepth();
}

void TProgram::SetFonts(std::unique_ptr<TProgramFonts> fonts) {
  FFonts = fonts ? std::move(fonts) : std::make_unique<TProgramFonts>();
}

TProgram& Program() {
  static TProgram program;
  return program;
}

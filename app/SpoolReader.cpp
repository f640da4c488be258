#include "app/SpoolReader.h"

TSpoolReader::TSpoolReader(const std::string& Path) : FFile(Path) {
  FFile.Reset();
}

bool TSpoolReader::AtEnd() {
  return !FGivenBack && FFile.Eof();
}

void TSpoolReader::Next(std::string& Line) {
  if (!FGivenBack) return FFile.ReadLn(Line);
  Line = std::move(*FGivenBack);
  FGivenBack.reset();
}

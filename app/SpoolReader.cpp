#include "app/SpoolReader.h"

TSpoolReader::TSpoolReader(const std::string& Path) : FFile(Path) {
  FFile.Reset();
}

bool TSpoolReader::AtEnd() {
  return !FGivenBack && FFile.Eof();
}

std::string TSpoolReader::Next() {
  if (!FGivenBack) return FFile.ReadLn();
  std::string line = std::move(*FGivenBack);
  FGivenBack.reset();
  return line;
}

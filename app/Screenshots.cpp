#include "app/Screenshots.h"

#include <cstdio>
#include <filesystem>
#include <ostream>

#include "forms/Form.h"
#include "platform/display/DisplayBackend.h"
#include "platform/draw/ImageFiles.h"

TScreenshots::TScreenshots(std::string folder, std::ostream& err)
    : FFolder(std::move(folder)), FErr(err) {
  if (FFolder.empty()) return;
  std::error_code error;
  std::filesystem::create_directories(FFolder, error);
  if (error) Fail("cannot make the folder " + FFolder + ": " + error.message());
}

void TScreenshots::Take(TForm& window) {
  if (FFolder.empty()) return;
  window.PaintPending();
  char number[16];
  std::snprintf(number, sizeof number, "%02d-", ++FCount);
  const std::string path = FFolder + "/" + number + window.Name() + ".png";
  TSurface pixels;
  std::string why = "the window cannot be read";
  if (!TheDisplay().Capture(window.DisplayWindow(), pixels) || !SavePngFile(path, pixels, &why))
    Fail("cannot save " + path + ": " + why);
}

void TScreenshots::Fail(const std::string& complaint) {
  FErr << "quillet: " << complaint << "; no more pictures are saved\n";
  FFolder.clear();
}

#pragma once
// PNG pictures of the windows of a run without a display, numbered in the order they were
// taken: "01-fMain.png", "02-fWarn.png", ... in the folder given.

#include <iosfwd>
#include <string>

class TForm;

class TScreenshots {
 public:
  // An empty folder takes no pictures. The folder is made when missing; what cannot be
  // made or written is told on err, once, and the run goes on without pictures.
  TScreenshots(std::string folder, std::ostream& err);

  // The window as it is on the screen now, with whatever it has still to paint painted.
  void Take(TForm& window);

 private:
  void Fail(const std::string& complaint);

  std::string FFolder;
  std::ostream& FErr;
  int FCount = 0;
};

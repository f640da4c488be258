#pragma once
// Makes sure the "Verdana" typeface, which every window uses, is there for the run. When
// no installed font is named exactly "Verdana" (letter case counts), the file verdana.ttf
// of the program folder is added and the windows are told; the destructor takes it away
// again. As a local of main() it does so on every way out, the error exit of
// settings-only mode and an escaping exception included.

#include <string>

constexpr char VerdanaFamily[] = "Verdana";
constexpr char VerdanaFileName[] = "verdana.ttf";

class TVerdanaFont {
 public:
  TVerdanaFont();
  ~TVerdanaFont();
  TVerdanaFont(const TVerdanaFont&) = delete;
  TVerdanaFont& operator=(const TVerdanaFont&) = delete;

 private:
  std::string FAddedPath;  // the file added for the run; empty when none was
};

#pragma once
// The root of every class that can send an event: the first argument of every event is a
// TObject*, and anything can be deleted through one. It lives here, below every layer, so
// that the socket layer and the window layer agree on one sender type.

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;
};

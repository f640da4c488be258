#pragma once
// The root of the socket layer's classes: something that can be the sender of an event and
// be deleted through a base pointer.

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;
};

#include "ui/CaptionDrag.h"

#include "forms/Exceptions.h"
#include "forms/Form.h"
#include "platform/MessageLoop.h"

void DragOwnerWindow(TComponent* owner) {
  auto* form = dynamic_cast<TForm*>(owner);
  if (!form) throw EInvalidCast();
  SendMessage(form->Handle(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

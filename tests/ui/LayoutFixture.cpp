#include "LayoutFixture.h"

#include <cstdio>
#include <sstream>
#include <typeinfo>

#include "forms/Edit.h"
#include "ui/CLabel.h"
#include "ui/IButton.h"
#include "ui/QnButton.h"
#include "ui/QnGroupBox.h"
#include "ui/Title.h"

namespace {
std::string Hex(TColor c) {
  char text[12];
  std::snprintf(text, sizeof text, "%06X", c);
  return text;
}

std::string FontText(const TFont& f) {
  return f.Name() + "/" + std::to_string(f.Height()) + "/" + Hex(f.Color()) +
         (f.Style() == fsUnderline ? "/u"
          : f.Style() == 0         ? "/-"
                                   : "/?");
}

struct TestPictureInfo {
  TPictureId id;
  const char* name;
  int w, h;
  TColor corner;  // the pixel at (0, 0) tells pictures of one size apart
};
const TestPictureInfo kPictures[] = {
    {TPictureId::Title, "title", 256, 23, RGB(0, 0, 7)},
    {TPictureId::CloseInactive, "close", 19, 19, clWhite},
    {TPictureId::CloseActive, "closeActive", 19, 19, clRed},
    {TPictureId::MainWindow, "main", 34, 39, clNavy},
};

std::string PictureText(TPicture* p) {
  auto* b = dynamic_cast<TBitmap*>(p->Graphic());
  std::string name = "?";
  for (const auto& info : kPictures)
    if (b && b->Width() == info.w && b->Height() == info.h &&
        b->Surface().Pixel(0, 0) == info.corner)
      name = info.name;
  return name + "/" + std::to_string(p->Width()) + "x" + std::to_string(p->Height());
}

template <class T>
std::string Keys(const T* b) {
  return std::string(b->Default() ? " default" : "") + (b->Cancel() ? " cancel" : "");
}
}  // namespace

std::unique_ptr<TBitmap> LayoutTest::TestPicture(TPictureId id) {
  for (const auto& info : kPictures)
    if (info.id == id)
      return id == TPictureId::Title ? Gradient(info.w, info.h)
                                     : Solid(info.w, info.h, info.corner);
  return nullptr;
}

THandlers LayoutTest::Recorders(const std::string& windowName) {
  const std::map<std::string, std::vector<std::string>> clicks = {
      {"fMain", {"FormCreate", "FormActivate", "IButton2Click"}},
      {"fSetup", {"FormCreate", "IButton2Click", "QnButton1Click", "QnButton2Click"}},
      {"fWarn", {"FormCreate", "IButton2Click", "qDelClick", "qConClick"}},
  };
  THandlers handlers;
  for (const std::string& name : clicks.at(windowName))
    handlers[name] = TNotifyEvent([this, name](TObject*) { called.push_back(name); });
  if (windowName == "fMain")
    handlers["FormKeyDown"] =
        TKeyEvent([this](TObject*, WORD&, TShiftState) { called.push_back("FormKeyDown"); });
  return handlers;
}

void LayoutTest::Build(const TWindowLayout& layout) {
  form = std::make_unique<TForm>(nullptr);
  BuildLayout(form.get(), layout, Recorders(std::string(layout.Form.Name)), TestPicture);
}

std::string LayoutTest::HandlerName(const std::function<void()>& call) {
  called.clear();
  call();
  return called.size() == 1 ? called[0] : "?";
}

std::string LayoutTest::TypeName(const TControl* c) {
  const std::type_info& t = typeid(*c);
  for (auto [type, name] : {std::pair{&typeid(TQnGroupBox), "TQnGroupBox"},
                            {&typeid(TQnButton), "TQnButton"},
                            {&typeid(TIButton), "TIButton"},
                            {&typeid(TTitle), "TTitle"},
                            {&typeid(TCLabel), "TCLabel"},
                            {&typeid(TLabel), "TLabel"},
                            {&typeid(TEdit), "TEdit"},
                            {&typeid(TImage), "TImage"}})
    if (t == *type) return name;
  return "?";
}

std::string LayoutTest::Shared(const TControl* c) {
  std::ostringstream s;
  if (auto* p = dynamic_cast<const TQnGroupBox*>(c))
    s << (p->BrdStyle() == brdNormal ? "brdNormal" : "brdSingle") << " fill=" << Hex(p->Color())
      << " frame=" << Hex(p->BrdColor()) << " r=" << p->RadiusTL() << p->RadiusTR() << p->RadiusBL()
      << p->RadiusBR();
  if (auto* b = dynamic_cast<const TQnButton*>(c))
    s << "fill=" << Hex(b->InactiveColor()) << "/" << Hex(b->ActiveColor())
      << " text=" << Hex(b->InactiveTextColor()) << "/" << Hex(b->ActiveTextColor())
      << " back=" << Hex(b->BackColor()) << " frame=" << Hex(b->IBrdColor()) << "/"
      << Hex(b->ABrdColor()) << (b->Alignment() == taCenter ? " centred" : " aligned?");
  if (auto* l = dynamic_cast<const TLabel*>(c))
    s << (l->Transparent() ? "transparent " : "opaque ") << Hex(l->Color())
      << (l->AutoSize() ? " autosize" : " fixed") << (l->WordWrap() ? " wrap" : " oneline")
      << (l->ShowAccelChar() ? " prefix" : " noprefix");
  return s.str();
}

std::string LayoutTest::Describe(TControl* c) {
  std::ostringstream s;
  TWinControl* parent = c->Parent();
  int index = 0;
  while (parent->Controls(index) != c) ++index;
  s << c->Name() << " " << TypeName(c) << " " << parent->Name() << "[" << index << "] " << c->Left()
    << "," << c->Top() << " " << c->Width() << "x" << c->Height();
  auto* button = dynamic_cast<TQnButton*>(c);
  if (button || dynamic_cast<TLabel*>(c) || dynamic_cast<TEdit*>(c)) {
    const bool windowFont = c->ParentFont() && c->Font()->SameAs(*form->Font());
    s << " \"" << (button ? button->Caption() : c->Text())
      << "\" font=" << (windowFont ? "window" : FontText(*c->Font()));
  }
  if (auto* l = dynamic_cast<TLabel*>(c); l && l->Alignment() != taLeftJustify)
    s << (l->Alignment() == taRightJustify ? " right" : " centred");
  if (button)
    s << " r=" << button->RadiusTL() << button->RadiusTR() << button->RadiusBL()
      << button->RadiusBR() << Keys(button);
  if (auto* e = dynamic_cast<TEdit*>(c)) {
    s << " tab=" << e->TabOrder() << (e->TabStop() ? "" : " nostop");
    if (e->PasswordChar()) s << " pass=" << e->PasswordChar();
  }
  if (auto* i = dynamic_cast<TImage*>(c)) {
    s << (i->Stretch() ? " stretch" : "") << (i->AutoSize() ? " autosize" : "")
      << " pic=" << PictureText(i->Picture());
    if (auto* b = dynamic_cast<TIButton*>(c))
      s << " picA=" << PictureText(b->PictureA()) << Keys(b);
  }
  if (c->OnClick) s << " click=" << HandlerName([&] { c->OnClick(c); });
  return s.str();
}

std::string LayoutTest::Description() {
  std::ostringstream s;
  TForm* f = form.get();
  s << f->Name() << " \"" << f->Caption() << "\" " << f->ClientWidth() << "x" << f->ClientHeight()
    << " " << Hex(f->Color()) << " font=" << FontText(*f->Font()) << " help=" << f->HelpContext()
    << (f->Position() == TPosition::poScreenCenter ? " centred" : "")
    << " create=" << HandlerName([&] { f->OnCreate(f); });
  if (f->OnActivate) s << " activate=" << HandlerName([&] { f->OnActivate(f); });
  WORD key = VK_RETURN;
  if (f->OnKeyDown) s << " keydown=" << HandlerName([&] { f->OnKeyDown(f, key, 0); });
  for (int i = 0; i < f->ComponentCount(); ++i)
    if (auto* c = dynamic_cast<TControl*>(f->Components(i))) s << "\n" << Describe(c);
  return s.str();
}

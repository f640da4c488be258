// Each window built from its layout and read back control by control, against the windows
// as they were drawn up: names, kinds, parents and creation order, bounds, texts, fonts,
// alignment, radii, default and cancel buttons, tab order, pictures and handlers.

#include "LayoutFixture.h"
#include "forms/Edit.h"
#include "ui/QnGroupBox.h"
#include "ui/WindowLayouts.h"

namespace {

struct WindowCase {
  const TWindowLayout& (*layout)();
  const char* expected;
};

const WindowCase kWindows[] = {
    {MainLayout,
     R"(fMain "Quillet" 392x100 C0C0C0 font=Verdana/-12/004000/- help=1 centred create=FormCreate activate=FormActivate keydown=FormKeyDown
QnGroupBox1 TQnGroupBox fMain[0] 1,1 390x98
QnGroupBox2 TQnGroupBox QnGroupBox1[0] 2,2 386x94
Title TTitle QnGroupBox2[0] 1,1 383x23 stretch pic=title/256x23
CLabel1 TCLabel QnGroupBox2[1] 7,5 217x14 "Quillet 1.1" font=Verdana/-12/00FFFF/-
IButton2 TIButton QnGroupBox2[2] 363,3 19x19 pic=close/19x19 picA=closeActive/19x19 click=IButton2Click
QnGroupBox3 TQnGroupBox QnGroupBox2[3] 0,24 386x70
lInfo TLabel QnGroupBox3[0] 59,26 312x16 "..." font=window
Image TImage QnGroupBox3[1] 13,14 34x39 autosize pic=main/34x39)"},
    {SetupLayout,
     R"(fSetup "Quillet Settings" 328x187 C0C0C0 font=Verdana/-12/004000/- help=1 centred create=FormCreate
QnGroupBox1 TQnGroupBox fSetup[0] 2,1 326x184
QnGroupBox2 TQnGroupBox QnGroupBox1[0] 2,2 322x180
Title TTitle QnGroupBox2[0] 1,1 318x23 stretch pic=title/256x23
CLabel1 TCLabel QnGroupBox2[1] 7,5 217x14 "Quillet Settings" font=Verdana/-12/00FFFF/-
IButton2 TIButton QnGroupBox2[2] 299,3 19x19 pic=close/19x19 picA=closeActive/19x19 click=IButton2Click
QnGroupBox3 TQnGroupBox QnGroupBox2[3] 0,24 322x156
Label1 TLabel QnGroupBox3[0] 7,16 100x14 "POP3 server:" font=window right
Label2 TLabel QnGroupBox3[1] 109,41 130x14 "Port (default 110):" font=window right
Label3 TLabel QnGroupBox3[2] 7,66 100x14 "POP3 account:" font=window right
Label4 TLabel QnGroupBox3[3] 7,91 100x14 "Password:" font=window right
eServ TEdit QnGroupBox3[4] 112,12 195x22 "" font=window tab=0
ePort TEdit QnGroupBox3[5] 244,37 63x22 "110" font=window tab=1 nostop
eUser TEdit QnGroupBox3[6] 112,62 195x22 "" font=window tab=2
ePass TEdit QnGroupBox3[7] 112,87 195x22 "" font=window tab=3 pass=*
QnGroupBox4 TQnGroupBox QnGroupBox3[8] 0,120 322x36
QnButton1 TQnButton QnGroupBox4[0] 2,2 158x31 "Save" font=window r=2020 default click=QnButton1Click
QnButton2 TQnButton QnGroupBox4[1] 161,2 158x31 "Cancel" font=window r=0202 cancel click=QnButton2Click)"},
    {WarnLayout,
     R"(fWarn "Warning!" 509x235 C0C0C0 font=Verdana/-12/004000/- help=1 centred create=FormCreate
QnGroupBox1 TQnGroupBox fWarn[0] 1,1 508x232
QnGroupBox2 TQnGroupBox QnGroupBox1[0] 2,2 504x230
Title TTitle QnGroupBox2[0] 1,1 501x23 stretch pic=title/256x23
CLabel1 TCLabel QnGroupBox2[1] 7,5 217x14 "Warning!" font=Verdana/-12/00FFFF/-
IButton2 TIButton QnGroupBox2[2] 480,3 19x19 pic=close/19x19 picA=closeActive/19x19 click=IButton2Click
QnGroupBox3 TQnGroupBox QnGroupBox2[3] 0,24 504x204
l1 TLabel QnGroupBox3[0] 63,14 44x14 "From:" font=Verdana/-12/000040/-
l2 TLabel QnGroupBox3[1] 47,34 60x14 "Subject:" font=Verdana/-12/000040/-
l3 TLabel QnGroupBox3[2] 16,54 91x14 "Attached file:" font=Verdana/-12/000040/-
lFrom TLabel QnGroupBox3[3] 110,14 385x14 "" font=window
lSubj TLabel QnGroupBox3[4] 110,34 385x14 "" font=window
lName TLabel QnGroupBox3[5] 110,54 385x14 "" font=window
qDel TQnButton QnGroupBox3[6] 3,168 248x31 "Delete & continue scanning" font=window r=2020 click=qDelClick
qCon TQnButton QnGroupBox3[7] 252,168 248x31 "Continue scanning" font=window r=0202 default cancel click=qConClick
QnGroupBox4 TQnGroupBox QnGroupBox3[8] 0,83 504x83
Label1 TLabel QnGroupBox4[0] 15,12 473x14 "Checking results" font=Verdana/-12/000040/u
ll1 TLabel QnGroupBox4[1] 15,32 473x14 "..." font=window
ll2 TLabel QnGroupBox4[2] 15,52 473x14 "..." font=window)"},
};

// What every control of a kind shares: panels as constructed, the hover buttons' colours,
// standard labels (and, before the window's creation step, the caption label) opaque in the
// parent's silver with a fixed size.
const std::map<std::string, std::string> kShared = {
    {"TQnGroupBox", "brdNormal fill=C0C0C0 frame=004000 r=2222"},
    {"TQnButton", "fill=004000/00FF00 text=00FFFF/004000 back=C0C0C0 frame=000000/000000 centred"},
    {"TLabel", "opaque C0C0C0 fixed oneline prefix"},
    {"TCLabel", "opaque C0C0C0 fixed oneline prefix"},
};

TEST_F(LayoutTest, EveryControlOfTheThreeWindowsReadsBackAsDrawnUp) {
  for (const WindowCase& w : kWindows) {
    Build(w.layout());
    EXPECT_FALSE(form->Loading());
    EXPECT_EQ(Description(), w.expected);
    for (int i = 0; i < form->ComponentCount(); ++i) {
      auto* c = static_cast<TControl*>(form->Components(i));
      auto shared = kShared.find(TypeName(c));
      EXPECT_EQ(Shared(c), shared == kShared.end() ? "" : shared->second) << c->Name();
    }
  }
}

THandlers Without(THandlers handlers, const std::string& name) {
  handlers.erase(name);
  return handlers;
}
THandlers With(THandlers handlers, const std::string& name, THandler handler) {
  handlers[name] = std::move(handler);
  return handlers;
}

TEST_F(LayoutTest, AWindowThatDoesNotFitItsLayoutFailsLoudly) {
  using enum TControlKind;
  const TNotifyEvent ignore = [](TObject*) {};
  const TWindowProps tiny{.Name = "f", .Caption = "f", .ClientWidth = 9, .ClientHeight = 9};
  const TControlRow orphan[] = {{"lInfo", StandardLabel, "QnGroupBox3", 0, 0, 9, 9}};
  const TControlRow twice[] = {{"p", Panel, kWindow, 0, 0, 9, 9},
                               {"p", Panel, kWindow, 0, 0, 9, 9}};
  const TControlRow inLabel[] = {{"l", StandardLabel, kWindow, 0, 0, 9, 9},
                                 {"p", Panel, "l", 0, 0, 9, 9}};
  const struct {
    TWindowLayout layout;
    THandlers handlers;
    TPictureSource pictures;
  } cases[] = {
      {SetupLayout(), Without(Recorders("fSetup"), "QnButton2Click"), TestPicture},
      {SetupLayout(), With(Recorders("fSetup"), "FormActivate", ignore), TestPicture},
      {SetupLayout(), With(Recorders("fSetup"), "QnButton1Click", TNotifyEvent()), TestPicture},
      {MainLayout(), With(Recorders("fMain"), "FormKeyDown", ignore), TestPicture},
      {MainLayout(), Recorders("fMain"), [](TPictureId) { return std::unique_ptr<TBitmap>(); }},
      {{tiny, orphan}, {}, TestPicture},
      {{tiny, twice}, {}, TestPicture},
      {{tiny, inLabel}, {}, TestPicture},
  };
  for (const auto& c : cases) {
    TForm window(nullptr);
    EXPECT_THROW(BuildLayout(&window, c.layout, c.handlers, c.pictures), ELayoutError)
        << &c - cases;
  }
  Build(SetupLayout());
  EXPECT_THROW(Find<TQnGroupBox>("eServ"), ELayoutError);
  EXPECT_THROW(Find<TEdit>("eHost"), ELayoutError);
}

}  // namespace

// The settings dialog through the real DLL: what the host is asked to show,
// what each closing stores, and the numbers it accepts.
#include <windows.h>

#include "host/ansi/FarUtil.h"
#include "platform/Win32Api.h"
#include "tests/win32/PluginTestSupport.h"

using namespace testsupport;

namespace {

enum { kTemplateBox = 1, kColour = 4, kBlankBox = 5, kCols = 8, kColsTh = 11, kWidth = 13, kHeight = 15, kOk = 17, kCancel = 18 };

TDialogAnswer Answer(int result, std::vector<std::pair<int, std::string>> edits = {}, std::vector<int> toggles = {}) {
  TDialogAnswer a;
  a.Result = result;
  a.Edits = std::move(edits);
  a.Toggles = std::move(toggles);
  return a;
}

class ConfigDialog : public PluginTest {
 protected:
  void TearDown() override {
    Win32 = RealWin32Api();
    PluginTest::TearDown();
  }
  // What the registry holds for the seven settings, as raw bytes.
  std::vector<std::string> Stored() const {
    std::vector<std::string> v;
    for (const char* name : {"Template", "Blank", "Cols", "ColsTh", "Width", "Height", "BgColor"})
      v.push_back(ReadValue(SettingsKey(), name).Data);
    return v;
  }
  // The edit texts and box states of one showing.
  static std::vector<std::string> Shown(const TDialogCall& d) {
    return {std::to_string(d.Items[kTemplateBox].Selected), d.Items[kColour].Data, std::to_string(d.Items[kBlankBox].Selected),
            d.Items[kCols].Data, d.Items[kColsTh].Data, d.Items[kWidth].Data, d.Items[kHeight].Data};
  }
  static std::vector<std::string> Defaults() {
    return {Dword(0), Dword(1), Dword(0), Dword(6), Dword(120), Dword(100), std::string("000000", 7)};
  }
};

std::vector<std::string> gWrites;
LONG WINAPI RecordWrite(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) {
  gWrites.push_back(name);
  return RealWin32Api().RegSetValueExA(key, name, reserved, type, data, size);
}

using S = std::vector<std::string>;

}  // namespace

TEST_F(ConfigDialog, ShowsTheNineteenItemsOfTheSettingsDialog) {
  StartPlugin();
  EXPECT_EQ(host_->Configure(0), 0);
  ASSERT_EQ(host_->Dialogs.size(), 1u);
  const TDialogCall& d = host_->Dialogs[0];
  EXPECT_EQ(d.ModuleNumber, host_->ModuleNumber);
  EXPECT_EQ(d.X1, -1);
  EXPECT_EQ(d.Y1, -1);
  EXPECT_EQ(d.X2, 41);
  EXPECT_EQ(d.Y2, 14);
  EXPECT_STREQ(d.HelpTopic, "Config") << "F1 opens the settings' topic of the help file";
  struct {
    int type, x1, y1, x2, y2, focus, selected;
    uint32_t flags;
    int defaultButton;
    const char* data;
  } want[19] = {
      {3, 3, 1, 37, 12, 0, 0, 0, 0, "Galvora"},
      {8, 5, 2, 6, 0, 0, 0, 0, 0, "Use template files"},
      {0, 1, 3, 0, 0, 0, 0, 0x10200, 0, ""},
      {0, 5, 4, 1, 0, 0, 0, 0, 0, "Colour:"},
      {6, 15, 4, 20, 0, -1, 0, 0, 0, "000000"},
      {8, 22, 4, 6, 0, 0, 1, 0, 0, "New window"},
      {0, 1, 5, 0, 0, 0, 0, 0x10200, 0, ""},
      {0, 5, 6, 1, 0, 0, 0, 0, 0, "Images per row:"},
      {6, 24, 6, 27, 0, -1, 0, 0, 0, "0"},
      {0, 1, 7, 0, 0, 0, 0, 0x10200, 0, ""},
      {0, 5, 8, 1, 0, 0, 0, 0, 0, "Thumbs per row:"},
      {6, 24, 8, 27, 0, -1, 0, 0, 0, "6"},
      {0, 5, 9, 10, 0, 0, 0, 0, 0, "Width:"},
      {6, 14, 9, 18, 0, 0, 0, 0, 0, "120"},
      {0, 20, 9, 1, 0, 0, 0, 0, 0, "Height:"},
      {6, 28, 9, 32, 0, 0, 0, 0, 0, "100"},
      {0, 1, 10, 0, 0, 0, 0, 0x10200, 0, ""},
      {7, 0, 11, 0, 0, 0, 0, 0x4000, -1, "OK"},
      {7, 0, 11, 0, 0, 0, 0, 0x4000, 0, "Cancel"},
  };
  ASSERT_EQ(d.Items.size(), 19u);
  for (int i = 0; i < 19; ++i) {
    const auto& it = d.Items[i];
    const auto& w = want[i];
    EXPECT_EQ((std::vector<intptr_t>{it.Type, it.X1, it.Y1, it.X2, it.Y2, it.Focus, it.Selected, static_cast<intptr_t>(it.Flags),
                                it.DefaultButton}),
              (std::vector<intptr_t>{w.type, w.x1, w.y1, w.x2, w.y2, w.focus, w.selected, static_cast<intptr_t>(w.flags),
                                w.defaultButton}))
        << "item " << i;
    EXPECT_STREQ(it.Data, w.data) << "item " << i;
  }
}

TEST_F(ConfigDialog, OkWithoutChangesRewritesAllSevenInTheRecordsOrder) {
  StartPlugin(/*linked=*/true);
  // Changed behind the plugin's back: OK writes the record's values again.
  SetDword(SettingsKey(), "Cols", 99);
  SetValue(SettingsKey(), "BgColor", REG_SZ, std::string("ffffff", 7));
  gWrites.clear();
  Win32.RegSetValueExA = RecordWrite;
  host_->DialogAnswers.push_back(Answer(kOk));
  EXPECT_EQ(host_->Configure(0), 0);
  EXPECT_EQ(gWrites, (S{"Template", "Blank", "Cols", "ColsTh", "Width", "Height", "BgColor"}));
  EXPECT_EQ(Stored(), Defaults());
}

TEST_F(ConfigDialog, NumbersThatParseAreStored) {
  StartPlugin();
  host_->DialogAnswers.push_back(Answer(kOk, {{kCols, " 7"}, {kColsTh, "$1F"}, {kWidth, "-5"}, {kHeight, "$FFFFFFFF"},
                                              {kColour, "336699"}},
                                        {kTemplateBox, kBlankBox}));
  EXPECT_EQ(host_->Configure(0), 0);
  EXPECT_EQ(host_->Dialogs.size(), 1u);
  EXPECT_EQ(Stored(), (S{Dword(1), Dword(0), Dword(7), Dword(31), Dword(static_cast<uint32_t>(-5)), Dword(0xFFFFFFFFu),
                         std::string("336699", 7)}));
  // The next showing starts from what was stored.
  host_->Configure(0);
  EXPECT_EQ(Shown(host_->Dialogs[1]), (S{"1", "336699", "0", "7", "31", "-5", "-1"}));
}

TEST_F(ConfigDialog, InvalidNumberBringsTheDialogBackAsTypedWithTheFocusOnIt) {
  StartPlugin();
  const std::vector<std::string> before = Stored();
  for (const char* bad : {"12a", "2147483648", "", "7 ", "$"}) {
    host_->Dialogs.clear();
    host_->Boxes.clear();
    host_->DialogAnswers = {Answer(kOk, {{kWidth, bad}, {kCols, "3"}, {kColour, "abc"}}, {kTemplateBox}),
                            Answer(kCancel)};
    EXPECT_EQ(host_->Configure(0), 0) << bad;
    ASSERT_EQ(host_->Dialogs.size(), 2u) << bad;
    // What the user typed and set is there again, the focus on the field
    // that is no number, and a message named it first.
    EXPECT_EQ(Shown(host_->Dialogs[1]), (S{"1", "abc", "1", "3", "6", bad, "100"})) << bad;
    for (int i = 0; i < 19; ++i) EXPECT_EQ(host_->Dialogs[1].Items[i].Focus != 0, i == kWidth) << bad << " item " << i;
    ASSERT_EQ(host_->Boxes.size(), 1u) << bad;
    EXPECT_EQ(host_->Boxes[0].Lines, (S{"Galvora", std::string("Width: ") + bad, "is not a whole number."})) << bad;
    EXPECT_EQ(Stored(), before) << bad;
  }
  // Corrected, everything typed is stored; the first bad field of several is named.
  host_->Boxes.clear();
  host_->DialogAnswers = {Answer(kOk, {{kHeight, "x"}, {kColsTh, "y"}, {kColour, "abc"}}),
                          Answer(kOk, {{kHeight, "90"}, {kColsTh, "4"}})};
  host_->Configure(0);
  EXPECT_EQ(host_->Boxes.at(0).Lines.at(1), "Thumbs per row: y");
  EXPECT_EQ(Stored(), (S{Dword(0), Dword(1), Dword(0), Dword(4), Dword(120), Dword(90), std::string("abc", 4)}));
}

TEST_F(ConfigDialog, CancelAfterARejectedNumberLeavesRecordAndRegistryAsTheyWere) {
  StartPlugin();
  const std::vector<std::string> before = Stored();
  host_->DialogAnswers = {Answer(kOk, {{kWidth, "12a"}}, {kTemplateBox, kBlankBox}), Answer(-1)};
  host_->Configure(0);
  EXPECT_EQ(Stored(), before);
  host_->DialogAnswers = {Answer(kOk, {{kHeight, "x"}}, {kTemplateBox}), Answer(kCancel, {}, {kBlankBox})};
  host_->Configure(0);
  EXPECT_EQ(Stored(), before);
  // The record too: the next showing has the boxes as they were at first,
  // and a page still uses the built-in layout.
  host_->Configure(0);
  ASSERT_EQ(host_->Dialogs.size(), 5u);
  EXPECT_EQ(Shown(host_->Dialogs[4]), (S{"0", "000000", "1", "0", "6", "120", "100"}));
  EXPECT_NE(Slurp(RunMenu(1)).find("<title>Galvora Far Plugin</title>"), std::string::npos);
}

TEST_F(ConfigDialog, SecondButtonAndEscStoreNothing) {
  StartPlugin();
  const std::vector<std::string> before = Stored();
  host_->DialogAnswers = {Answer(kCancel, {{kCols, "4"}}, {kTemplateBox})};
  EXPECT_EQ(host_->Configure(0), 0);
  host_->DialogAnswers = {Answer(-1, {{kCols, "4"}}, {kTemplateBox})};
  EXPECT_EQ(host_->Configure(0), 0);
  EXPECT_EQ(Stored(), before);
  host_->Configure(0);
  EXPECT_EQ(Shown(host_->Dialogs[2]), (S{"0", "000000", "1", "0", "6", "120", "100"}));
}

TEST_F(ConfigDialog, EmptyColourIsStoredAsASingleZeroByte) {
  StartPlugin();
  host_->DialogAnswers = {Answer(kOk, {{kColour, ""}})};
  host_->Configure(0);
  const TRegValue v = ReadValue(SettingsKey(), "BgColor");
  EXPECT_EQ(v.Type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(v.Data, std::string(1, '\0'));
}

TEST_F(ConfigDialog, CheckBoxesShowAndSetOnlyTheLowByte) {
  SetDword(SettingsKey(), "Template", 0x100);
  SetDword(SettingsKey(), "Blank", 0x201);
  StartPlugin();
  host_->DialogAnswers = {Answer(kOk)};
  host_->Configure(0);
  EXPECT_EQ(Shown(host_->Dialogs[0])[0], "0");
  EXPECT_EQ(Shown(host_->Dialogs[0])[2], "1");
  EXPECT_EQ(ReadValue(SettingsKey(), "Template").Data, Dword(0x100));
  host_->DialogAnswers = {Answer(kOk, {}, {kTemplateBox, kBlankBox})};
  host_->Configure(0);
  EXPECT_EQ(ReadValue(SettingsKey(), "Template").Data, Dword(0x101));
  EXPECT_EQ(ReadValue(SettingsKey(), "Blank").Data, Dword(0x200));
}

TEST_F(ConfigDialog, CommandMenuShowsTheDialogThenTheMenuAgain) {
  StartPlugin();
  host_->MenuAnswers = {4, -1};
  host_->DialogAnswers = {Answer(kOk, {{kColsTh, "3"}})};
  EXPECT_EQ(host_->OpenPlugin(), INVALID_HANDLE_VALUE);
  ASSERT_EQ(host_->Menus.size(), 2u);
  EXPECT_EQ(host_->Menus[1].Items[4].Selected, -1);
  EXPECT_EQ(ReadValue(SettingsKey(), "ColsTh").Data, Dword(3));
}

// The dialog builder's call of the host, with a description of its own.
TEST_F(ConfigDialog, RunDialogStoresEveryReferenceUnlessCancelled) {
  StartPlugin(/*linked=*/true);
  using V = TDialogValue;
  uint8_t box = 0;
  std::string text = "before", none;
  const TDialogDescription d = {
      V::Of(DI_DOUBLEBOX), V::Of(3), V::Of(0), V::Of(30), V::Of(0), V::Of(0),          V::Of(0), V::Of(0),
      V::Of(DI_CHECKBOX),  V::Of(5), V::Of(2), V::Of(6),  V::Of(0), V::RefBool(&box),  V::Of(0), V::Of(12),
      V::Of(DI_FIXEDIT),   V::Of(5), V::Of(3), V::Of(9),  V::Of(0), V::Of(0),          V::Of(0), V::RefText(&text),
      V::Of(DI_TEXT),      V::Of(5), V::Of(4), V::Of(9),  V::Of(0), V::Of(0),          V::Of(0), V::RefText(nullptr),
      V::Of(DI_BUTTON),    V::Of(0), V::Of(5), V::Of(0),  V::Of(0), V::Of(0),          V::Of(0), V::Of(13),
  };
  host_->DialogAnswers = {Answer(-1, {{2, "typed"}}, {1})};
  EXPECT_EQ(RunDialog(nullptr, d, 34, 8), -1);
  EXPECT_EQ(box, 0);
  EXPECT_EQ(text, "before");
  // Whichever item closes it, every reference is stored.
  for (int result : {4, 2}) {
    host_->DialogAnswers = {Answer(result, {{2, "typed " + std::to_string(result)}}, {1})};
    EXPECT_EQ(RunDialog(nullptr, d, 34, 8), result);
    EXPECT_EQ(text, "typed " + std::to_string(result));
  }
  EXPECT_EQ(box, 0) << "toggled twice";
  const TDialogCall& call = host_->Dialogs.back();
  EXPECT_EQ(call.X2, 34);
  EXPECT_EQ(call.Y2, 8);
  EXPECT_EQ(call.Items.size(), 5u);
  EXPECT_EQ(call.Items[0].Y2, 6) << "one below the last item";
}

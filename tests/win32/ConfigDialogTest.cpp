// The settings dialog through the real DLL: what the host is asked to show,
// what each closing stores, and the numbers it accepts.
#include <windows.h>

#include "core/Messages.h"
#include "host/ansi/FarUtil.h"
#include "platform/Win32Api.h"
#include "tests/win32/PluginTestSupport.h"

using namespace testsupport;

namespace {

enum {
  kTemplateBox = 1, kThumbsBox = 2, kColour = 5, kBlankBox = 6, kCols = 9, kColsTh = 12, kWidth = 14, kHeight = 16,
  kOk = 18, kCancel = 19
};

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
    for (const char* name : {"Template", "Blank", "Cols", "ColsTh", "Width", "Height", "BgColor", "MakeThumbs"})
      v.push_back(ReadValue(SettingsKey(), name).Data);
    return v;
  }
  // The edit texts and box states of one showing.
  static std::vector<std::string> Shown(const TDialogCall& d) {
    return {std::to_string(d.Items[kTemplateBox].Selected), d.Items[kColour].Data, std::to_string(d.Items[kBlankBox].Selected),
            d.Items[kCols].Data, d.Items[kColsTh].Data, d.Items[kWidth].Data, d.Items[kHeight].Data};
  }
  static std::vector<std::string> Defaults() {
    return {Dword(0), Dword(1), Dword(0), Dword(6), Dword(120), Dword(100), std::string("000000", 7), Dword(0)};
  }
};

std::vector<std::string> gWrites;
LONG WINAPI RecordWrite(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) {
  gWrites.push_back(name);
  return RealWin32Api().RegSetValueExA(key, name, reserved, type, data, size);
}

using S = std::vector<std::string>;

}  // namespace

TEST_F(ConfigDialog, OpensOnItsFirstItemWithOkAsTheDefaultButton) {
  StartPlugin();
  EXPECT_EQ(host_->Configure(0), 0);
  ASSERT_EQ(host_->Dialogs.size(), 1u);
  const TDialogCall& d = host_->Dialogs[0];
  EXPECT_EQ((std::vector<int>{d.X1, d.Y1, d.X2, d.Y2}), (std::vector<int>{-1, -1, 41, 15}));
  EXPECT_STREQ(d.HelpTopic, "Config") << "F1 opens the settings' topic of the help file";
  ASSERT_EQ(d.Items.size(), 20u);
  EXPECT_EQ((std::vector<int>{d.Items[0].Y1, d.Items[0].Y2}), (std::vector<int>{1, 13})) << "the frame";
  // Typing at once changes the first check box, not the colour; Enter is OK.
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(d.Items[i].Focus != 0, i == kTemplateBox) << "item " << i;
    EXPECT_EQ(d.Items[i].DefaultButton != 0, i == kOk) << "item " << i;
  }
  EXPECT_EQ(Shown(d), (S{"0", "000000", "1", "0", "6", "120", "100"}));
}

TEST_F(ConfigDialog, OkWithoutChangesRewritesAllEightInTheRecordsOrder) {
  StartPlugin(/*linked=*/true);
  // Changed behind the plugin's back: OK writes the record's values again.
  SetDword(SettingsKey(), "Cols", 99);
  SetValue(SettingsKey(), "BgColor", REG_SZ, std::string("ffffff", 7));
  gWrites.clear();
  Win32.RegSetValueExA = RecordWrite;
  host_->DialogAnswers.push_back(Answer(kOk));
  EXPECT_EQ(host_->Configure(0), 0);
  EXPECT_EQ(gWrites, (S{"Template", "Blank", "Cols", "ColsTh", "Width", "Height", "BgColor", "MakeThumbs"}));
  EXPECT_EQ(Stored(), Defaults());
}

TEST_F(ConfigDialog, NumbersThatParseAreStored) {
  StartPlugin();
  host_->DialogAnswers.push_back(Answer(kOk, {{kCols, " 7"}, {kColsTh, "$1F"}, {kWidth, "-5"}, {kHeight, "$FFFFFFFF"},
                                              {kColour, "336699"}},
                                        {kTemplateBox, kBlankBox, kThumbsBox}));
  EXPECT_EQ(host_->Configure(0), 0);
  EXPECT_EQ(host_->Dialogs.size(), 1u);
  EXPECT_EQ(Stored(), (S{Dword(1), Dword(0), Dword(7), Dword(31), Dword(static_cast<uint32_t>(-5)), Dword(0xFFFFFFFFu),
                         std::string("336699", 7), Dword(1)}));
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
    for (int i = 0; i < 20; ++i) EXPECT_EQ(host_->Dialogs[1].Items[i].Focus != 0, i == kWidth) << bad << " item " << i;
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
  EXPECT_EQ(Stored(), (S{Dword(0), Dword(1), Dword(0), Dword(4), Dword(120), Dword(90), std::string("abc", 4), Dword(0)}));
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
  host_->SelectName("none.jpg");
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

TEST_F(ConfigDialog, CheckBoxesShowAnyNonZeroValueAndStoreOneOrZero) {
  SetDword(SettingsKey(), "Template", 0x100);
  SetDword(SettingsKey(), "Blank", static_cast<uint32_t>(-1));
  StartPlugin();
  host_->DialogAnswers = {Answer(kOk)};
  host_->Configure(0);
  EXPECT_EQ(Shown(host_->Dialogs[0])[0], "1");
  EXPECT_EQ(Shown(host_->Dialogs[0])[2], "1");
  EXPECT_EQ(ReadValue(SettingsKey(), "Template").Data, Dword(1));
  host_->DialogAnswers = {Answer(kOk, {}, {kTemplateBox, kBlankBox})};
  host_->Configure(0);
  EXPECT_EQ(ReadValue(SettingsKey(), "Template").Data, Dword(0)) << "a box cleared is off, whatever was stored";
  EXPECT_EQ(ReadValue(SettingsKey(), "Blank").Data, Dword(0));
}

TEST_F(ConfigDialog, ColourIsHexDigitsOrAColoursName) {
  StartPlugin();
  for (const char* good : {"336699", "#abc", "Red", "rebeccapurple"}) {
    host_->DialogAnswers = {Answer(kOk, {{kColour, good}})};
    host_->Configure(0);
    EXPECT_EQ(ReadValue(SettingsKey(), "BgColor").Data, std::string(good) + '\0');
  }
  host_->Boxes.clear();
  host_->Dialogs.clear();
  host_->DialogAnswers = {Answer(kOk, {{kColour, "12345"}, {kCols, "x"}}), Answer(kOk, {{kColour, ""}, {kCols, "1"}}),
                          Answer(kCancel)};
  host_->Configure(0);
  ASSERT_EQ(host_->Dialogs.size(), 3u);
  EXPECT_NE(host_->Dialogs[1].Items[kColour].Focus, 0);
  ASSERT_EQ(host_->Boxes.size(), 2u) << "the colour is named first, as it comes first";
  EXPECT_EQ(host_->Boxes[0].Lines, (S{"Galvora", "Colour: 12345", "is neither hex digits (as 336699) nor the name of a colour."}));
  EXPECT_EQ(host_->Boxes[1].Lines.at(1), "Colour: ") << "no colour is none of them either";
  EXPECT_EQ(ReadValue(SettingsKey(), "BgColor").Data, std::string("rebeccapurple") + '\0');
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

// The 1.x dialog service with a description of its own.
TEST_F(ConfigDialog, RunDialogStoresEveryBoundVariableUnlessCancelled) {
  StartPlugin(/*linked=*/true);
  int32_t box = 0;
  std::string text = "before";
  TDialogDescription d(5);
  d[0] = {dkFrame, 3, 0, 30, MTitle};
  d[1] = {dkCheckBox, 5, 2, 6, MUseTemplates};
  d[1].Check = &box;
  d[2] = {dkEdit, 5, 3, 9};
  d[2].Edit = &text;
  d[3] = {dkLabel, 5, 4, 9};
  d[4] = {dkButton, 0, 5, 0, MOk};
  host_->DialogAnswers = {Answer(-1, {{2, "typed"}}, {1})};
  EXPECT_EQ(RunDialog(nullptr, d, 34, 8), -1);
  EXPECT_EQ(box, 0);
  EXPECT_EQ(text, "before");
  // Whichever item closes it, every bound variable is stored.
  for (int result : {4, 2}) {
    host_->DialogAnswers = {Answer(result, {{2, "typed " + std::to_string(result)}}, {1})};
    EXPECT_EQ(RunDialog(nullptr, d, 34, 8), result);
    EXPECT_EQ(text, "typed " + std::to_string(result));
  }
  EXPECT_EQ(box, 0) << "toggled twice";
  const TDialogCall& call = host_->Dialogs.back();
  EXPECT_EQ((std::vector<int>{call.X2, call.Y2, call.Items[0].Y2}), (std::vector<int>{34, 8, 6}));
}

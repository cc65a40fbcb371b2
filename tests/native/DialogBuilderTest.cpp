#include "host/ansi/DialogBuilder.h"

#include <gtest/gtest.h>

#include <cstring>

#include "settings/ConfigDialog.h"

namespace {

// Stands in for GetMsg, which keeps the low seven bits of what it is given.
std::vector<int> gAsked;
const char* Message(int id) {
  static std::string texts[128];
  gAsked.push_back(id);
  texts[id & 127] = "message " + std::to_string(id & 127);
  return texts[id & 127].c_str();
}

using V = TDialogValue;

TDialogDescription Item(int type, int x1, int y1, int x2, V focus, V selected, int flags, V data) {
  return {V::Of(type), V::Of(x1), V::Of(y1), V::Of(x2), focus, selected, V::Of(flags), data};
}

TDialogDescription Join(std::initializer_list<TDialogDescription> items) {
  TDialogDescription all;
  for (const auto& i : items) all.insert(all.end(), i.begin(), i.end());
  return all;
}

}  // namespace

TEST(BuildDialogItems, EightValuesMakeAnItemAndATrailingRestIsIgnored) {
  TConfigTexts texts;
  TDialogDescription d = DescribeConfigDialog(texts);
  ASSERT_EQ(d.size(), 152u);
  EXPECT_EQ(BuildDialogItems(d, Message).size(), 19u);
  d.push_back(V::Of(7));
  EXPECT_EQ(BuildDialogItems(d, Message).size(), 19u);
  EXPECT_TRUE(BuildDialogItems(TDialogDescription(7, V::Of(1)), Message).empty());
}

TEST(BuildDialogItems, TakesEachPlaceByItsKind) {
  uint8_t flag = 1;
  std::string text = "typed";
  TDialogDescription d = Join({
      Item(DI_DOUBLEBOX, 3, 0, 37, V::Of(0), V::Of(0), 0, V::Of(0)),
      Item(DI_CHECKBOX, 5, 2, 6, V::Of(256), V::RefBool(&flag), 0, V::Of(0x187)),
      Item(DI_CHECKBOX, 5, 3, 6, V::Of(3), V::OfBool(true), 0, V::RefText(nullptr)),
      Item(DI_FIXEDIT, 5, 4, 9, V::OfBool(true), V::Of(1), 0x10200, V::RefText(&text)),
  });
  gAsked.clear();
  std::vector<FarDialogItem> items = BuildDialogItems(d, Message);
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(gAsked, (std::vector<int>{0, 135}));
  EXPECT_EQ(items[1].Type, DI_CHECKBOX);
  EXPECT_EQ(items[1].X1, 5);
  EXPECT_EQ(items[1].Y1, 2);
  EXPECT_EQ(items[1].X2, 6);
  EXPECT_EQ(items[1].Y2, 0);
  EXPECT_EQ(items[1].Focus, 0) << "only the low byte of 256 counts";
  EXPECT_EQ(items[2].Focus, -1);
  EXPECT_EQ(items[3].Focus, -1) << "a boolean true in place 5";
  EXPECT_EQ(items[1].Selected, 1);
  EXPECT_EQ(items[2].Selected, 1);
  EXPECT_EQ(items[3].Selected, 0) << "an integer describes no selection";
  EXPECT_STREQ(items[1].Data, "message 7") << "the low byte of 0x187 is 135, which is message 7";
  EXPECT_STREQ(items[2].Data, "");
  EXPECT_STREQ(items[3].Data, "typed");
  EXPECT_EQ(items[3].Flags, 0x10200u);
  for (const FarDialogItem& item : items) EXPECT_EQ(item.DefaultButton, 0);
}

TEST(BuildDialogItems, FocusOfABooleanOrAReferenceIsItsValue) {
  uint8_t on = 1, off = 0;
  TDialogDescription d = Join({
      Item(DI_DOUBLEBOX, 3, 0, 37, V::OfBool(false), V::Of(0), 0, V::Of(0)),
      Item(DI_FIXEDIT, 5, 1, 9, V::RefBool(&on), V::Of(0), 0, V::Of(0)),
      Item(DI_FIXEDIT, 5, 2, 9, V::RefBool(&off), V::Of(0), 0, V::Of(0)),
  });
  std::vector<FarDialogItem> items = BuildDialogItems(d, Message);
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].Focus, 0);
  EXPECT_EQ(items[1].Focus, -1);
  EXPECT_EQ(items[2].Focus, 0);
}

TEST(BuildDialogItems, FirstButtonAloneIsTheDefault) {
  TDialogDescription d = Join({
      Item(DI_DOUBLEBOX, 3, 0, 37, V::Of(0), V::Of(0), 0, V::Of(0)),
      Item(DI_BUTTON, 0, 5, 0, V::Of(0), V::Of(0), 0, V::Of(13)),
      Item(DI_BUTTON, 0, 5, 0, V::Of(0), V::Of(0), 0, V::Of(14)),
  });
  std::vector<FarDialogItem> items = BuildDialogItems(d, Message);
  EXPECT_EQ(items[0].DefaultButton, 0);
  EXPECT_EQ(items[1].DefaultButton, -1);
  EXPECT_EQ(items[2].DefaultButton, 0);
}

TEST(BuildDialogItems, FrameRunsFromRowOneToBelowTheLastItem) {
  std::vector<FarDialogItem> single =
      BuildDialogItems(Item(DI_DOUBLEBOX, 3, 7, 37, V::Of(0), V::Of(0), 0, V::Of(0)), Message);
  ASSERT_EQ(single.size(), 1u);
  EXPECT_EQ(single[0].Y1, 1);
  EXPECT_EQ(single[0].Y2, 8) << "its own described row plus one";

  TConfigTexts texts;
  std::vector<FarDialogItem> items = BuildDialogItems(DescribeConfigDialog(texts), Message);
  EXPECT_EQ(items[0].Y1, 1);
  EXPECT_EQ(items[0].Y2, 12);
}

TEST(BuildDialogItems, LongTextsAreCutAtTheField) {
  std::string longText(600, 'x');
  std::vector<FarDialogItem> items =
      BuildDialogItems(Item(DI_TEXT, 0, 0, 0, V::Of(0), V::Of(0), 0, V::RefText(&longText)), Message);
  EXPECT_EQ(std::string(items[0].Data), std::string(511, 'x'));
}

TEST(StoreDialogResults, StoresEveryReferenceBack) {
  uint8_t a = 0, b = 1;
  std::string text = "old", untouched = "same";
  TDialogDescription d = Join({
      Item(DI_DOUBLEBOX, 3, 0, 37, V::Of(0), V::Of(0), 0, V::RefText(nullptr)),
      Item(DI_CHECKBOX, 5, 2, 6, V::Of(0), V::RefBool(&a), 0, V::Of(12)),
      Item(DI_CHECKBOX, 5, 3, 6, V::Of(0), V::RefBool(&b), 0, V::Of(6)),
      Item(DI_FIXEDIT, 5, 4, 9, V::Of(0), V::Of(0), 0, V::RefText(&text)),
  });
  std::vector<FarDialogItem> items = BuildDialogItems(d, Message);
  items[1].Selected = 0x101;  // only the low byte goes back
  items[2].Selected = 0;
  std::memset(items[3].Data, 'y', sizeof items[3].Data);  // no terminator at all
  StoreDialogResults(d, items);
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 0);
  EXPECT_EQ(text, std::string(512, 'y'));
  EXPECT_EQ(untouched, "same");
}

TEST(CopyToField, CutsAndTerminates) {
  char field[4] = {'a', 'a', 'a', 'a'};
  CopyToField(field, sizeof field, "abcdef");
  EXPECT_STREQ(field, "abc");
  CopyToField(field, sizeof field, nullptr);
  EXPECT_STREQ(field, "");
}

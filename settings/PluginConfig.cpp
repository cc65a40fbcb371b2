#include "settings/PluginConfig.h"

#include "settings/SettingsStore.h"

TPluginConfig PluginConfig;

void LoadSettings(TSettingsStore& store) {
  PluginConfig.Template = store.ReadInt("Template", 0);
  PluginConfig.Blank = store.ReadInt("Blank", 1);
  PluginConfig.Cols = store.ReadInt("Cols", 0);
  PluginConfig.ColsTh = store.ReadInt("ColsTh", 6);
  PluginConfig.Width = store.ReadInt("Width", 120);
  PluginConfig.Height = store.ReadInt("Height", 100);
  PluginConfig.BgColor = store.ReadStr("BgColor", "000000");
}

void StoreSettings(TSettingsStore& store) {
  store.WriteInt("Template", PluginConfig.Template);
  store.WriteInt("Blank", PluginConfig.Blank);
  store.WriteInt("Cols", PluginConfig.Cols);
  store.WriteInt("ColsTh", PluginConfig.ColsTh);
  store.WriteInt("Width", PluginConfig.Width);
  store.WriteInt("Height", PluginConfig.Height);
  store.WriteStr("BgColor", PluginConfig.BgColor);
}

#include "settings/PluginConfig.h"

TPluginConfig PluginConfig;

void LoadSettings(TSettingsSession& s) {
  PluginConfig.Template = s.ReadInt("Template", 0);
  PluginConfig.Blank = s.ReadInt("Blank", 1);
  PluginConfig.Cols = s.ReadInt("Cols", 0);
  PluginConfig.ColsTh = s.ReadInt("ColsTh", 6);
  PluginConfig.Width = s.ReadInt("Width", 120);
  PluginConfig.Height = s.ReadInt("Height", 100);
  PluginConfig.BgColor = s.ReadStr("BgColor", "000000");
  PluginConfig.MakeThumbs = s.ReadInt("MakeThumbs", 1);
  PluginConfig.ThumbCacheMB = s.ReadInt("ThumbCacheMB", 512);
}

void LoadSettings(TSettingsStore& store) { LoadSettings(*store.Open()); }

void StoreSettings(TSettingsStore& store) {
  const std::unique_ptr<TSettingsSession> s = store.Open();
  s->WriteInt("Template", PluginConfig.Template);
  s->WriteInt("Blank", PluginConfig.Blank);
  s->WriteInt("Cols", PluginConfig.Cols);
  s->WriteInt("ColsTh", PluginConfig.ColsTh);
  s->WriteInt("Width", PluginConfig.Width);
  s->WriteInt("Height", PluginConfig.Height);
  s->WriteStr("BgColor", PluginConfig.BgColor);
  s->WriteInt("MakeThumbs", PluginConfig.MakeThumbs);
}

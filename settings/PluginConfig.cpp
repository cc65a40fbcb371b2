#include "settings/PluginConfig.h"

TPluginConfig PluginConfig;

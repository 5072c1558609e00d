// The one application object, built before the entry point runs.
#include "app/tv_setting_app.h"

TvSettingApp theApp;

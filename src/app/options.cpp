// options.cpp - the options of this run.
#include "app/options.h"

#include "app/scene_schedule.h"

VelunarOptions g_options;

void ApplyShowOptions(const VelunarOptions& opts) { SetGentleFlashes(opts.gentle); }

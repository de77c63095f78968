// options.cpp - the options of this run.
#include "app/options.h"

VelunarOptions g_options;

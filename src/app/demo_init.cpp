#include "app/demo.h"

bool InitDemo() { return true; }

#include "framework/Wnd.h"

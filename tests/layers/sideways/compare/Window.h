#include "compare/Engine.h"
#include <windows.h>

#include "compare/Engine.h"
#include "compare/Window.h"

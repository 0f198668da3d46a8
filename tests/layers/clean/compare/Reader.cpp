#include "snapshot/Format.h"

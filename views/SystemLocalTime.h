// The machine's local time, as the system converts file times with its
// current time-zone bias.
#pragma once

#include "seams/TimeConverter.h"

const ITimeConverter& SystemLocalTime();

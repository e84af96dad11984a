#pragma once

#include "util/lirvel_datetime.h"

// Whether a stamp stored with a book still describes the file the scan found. The scan's stamps
// are whole seconds, and a stored stamp comes back from its text form only nearly equal, so
// both are compared as the nearest whole second. A stored stamp of 0 (none, or unreadable) never
// matches.
bool SameStamp(TDateTime stored, TDateTime current);

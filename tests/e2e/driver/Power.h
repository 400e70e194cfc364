#pragma once
// The system's word that the machine woke up, sent to the program from outside.

#include "Commands.h"

namespace e2e {

// resume <title> automatic|user: WM_POWERBROADCAST to every top-level window of the process that owns
// the window of that title.
int resume(Words words);

}  // namespace e2e

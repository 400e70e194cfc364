#pragma once
// The timers' ticks, counted only in the idle measurement's build of the program (bench/idle), which
// defines KESTROVE_COUNT_TICKS and the counter; the product counts nothing.

namespace kestrove::win32 {

#ifdef KESTROVE_COUNT_TICKS
void countTick();
#else
inline void countTick() {}
#endif

}  // namespace kestrove::win32

// The clock the stand-ins time events with, so that their figures compare.
#ifndef MORVASK_TESTS_STANDINS_MICROSECONDS_H_
#define MORVASK_TESTS_STANDINS_MICROSECONDS_H_

#include <windows.h>

/// Microseconds on the performance counter, which all processes share.
inline unsigned long long Microseconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return now.QuadPart * 1000000ull / frequency.QuadPart;
}

#endif  // MORVASK_TESTS_STANDINS_MICROSECONDS_H_

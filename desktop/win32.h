// The one door to the platform. Every other file of the program includes this
// header instead of a system header, so the same sources build against real
// Windows and against the simulated desktop of the host tests.
#pragma once

#if defined(VANTREL_SIM)
#include "sim/win32_sim.h"
#else
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

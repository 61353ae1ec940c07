#pragma once

// The platform headers, in the order they need: windows.h first, then the
// automation and registration headers that build on it.
// clang-format off
#include <windows.h>
#include <oleauto.h>
#include <olectl.h>
// clang-format on

#pragma once

#include <gtest/gtest.h>

// A test whose input (the real plot files, a built module, an installed locale) is missing skips on a
// developer's machine; in CI, where everything must be there, it fails, so a broken checkout cannot look
// green.
#ifdef MARQUILL_CI
#define SKIP_WITHOUT_INPUT(why) FAIL() << why
#else
#define SKIP_WITHOUT_INPUT(why) GTEST_SKIP() << why
#endif

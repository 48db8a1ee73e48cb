#pragma once

// Gives the test process a settings store of its own, an INI file in a temporary directory, holding the
// defaults and an accepted license. Tests that change settings use it: ctest runs test programs in
// parallel, and the shared test store would let them see each other's values. Call it before the first
// window is created; later calls do nothing.
void usePrivateSettingsStore();

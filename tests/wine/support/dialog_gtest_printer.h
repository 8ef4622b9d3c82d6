#pragma once

// gtest reports every failed check on standard output and also through OutputDebugStringA. Under
// Wine on an emulated CPU (qemu user mode) the exception behind OutputDebugStringA crashes the
// process, so the first failure ended a test program before it could close its dialogs and
// restore the registry. This swaps gtest's result printer for one that prints the same on
// standard output only. gtest allows the call before main(); a second call does nothing.
void PrintFailuresWithoutDebugOutput();

#pragma once
// The data files on disk: loading at start-up and saving after every change. A save writes the
// whole file beside the old one and replaces it in one step; when it fails the old file stays
// whole and the user is told.
#include <windows.h>

// Loads "personal.inf", "group.inf" and, in recipient mode, "PreDef.ADR" into g_program.book,
// whose sort orders are built when first needed. Nothing is reported on failure: the lists stay
// absent.
void LoadAddressData();
// Each returns false (after telling the user) when the file could not be replaced; does
// nothing and returns true when its list does not exist.
bool SavePersonalFile(HWND owner);
bool SaveGroupFile(HWND owner);
void FreeAddressData();

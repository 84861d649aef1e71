// DLL loading that the folder the program runs from cannot hijack: a medium, a
// download folder or a temporary folder may hold a DLL named like a system one.
#pragma once

#include <windows.h>

// Restricts the search for DLLs loaded later, by this program or by the system's
// own DLLs on its behalf, to the system folder. Called first thing in WinMain.
void RestrictDllLoading();

// Loads the common controls and registers the window classes in `classes`
// (ICC_ flags). Not imported statically: the library is not one of the system's
// known DLLs, so the loader would look for it and its own imports beside the
// program before WinMain could restrict anything.
void InitCommonControlsFromSystem(DWORD classes);

// Loads a DLL of the system folder by its full path, for the libraries used only
// now and then (accessibility); null when the system has none.
HMODULE LoadSystemLibrary(const wchar_t* name);

#pragma once

// Lets the process load DLLs by name from the system folder only, not from
// the program's own folder or the current one, where anybody may have put a
// file under a system DLL's name. A system too old for that drops at least
// the current folder from the search. Called first thing at start-up.
void RestrictDllSearchToSystemFolder();

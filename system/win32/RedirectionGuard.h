// The system's own guard against links that a standard user planted for a program
// running with administrator rights.
#pragma once

// Makes the system refuse, for this process, every junction that no administrator
// made. Called first thing in the programs that change the system; nothing happens
// where the system has no such guard.
void GuardAgainstUntrustedJunctions();

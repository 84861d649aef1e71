// Whether this process runs with an administrator's rights. A unit of its own: what
// asks only this does not take the processes' code into the program with it.
#pragma once

// Whether this process runs with administrator rights: with an administrator's full
// token, or as an account that has no other.
bool IsProcessElevated();

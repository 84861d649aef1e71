// Included ahead of every C++ source of the Windows builds. The C++ library declares
// std::string and std::wstring instantiated in itself, so each program links its whole
// instantiation, and on i686 --gc-sections keeps every member (.eh_frame refers to all of
// them): some 50 KB nobody calls. Undeclared, each member used is compiled from the same
// headers where it is used, and the rest never exist. -1 is the library's own setting
// for "no extern templates for the strings, the rest as usual".
#include <bits/c++config.h>
#undef _GLIBCXX_EXTERN_TEMPLATE
#define _GLIBCXX_EXTERN_TEMPLATE -1

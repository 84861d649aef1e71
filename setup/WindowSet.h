// The setup program's seven windows, as the program and the window tests create them.
#pragma once

class Application;
class System;
struct Medium;

// Creates them in their order, the menu first: the menu owns the others.
void CreateWindowSet(Application& application, System& system, const Medium& medium);

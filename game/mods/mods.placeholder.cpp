namespace wf { int Placeholder_mods() { return 0; } }

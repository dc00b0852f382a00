namespace wf { int Placeholder_startup() { return 0; } }

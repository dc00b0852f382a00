namespace wf { int Placeholder_help() { return 0; } }

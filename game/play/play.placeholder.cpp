namespace wf { int Placeholder_play() { return 0; } }

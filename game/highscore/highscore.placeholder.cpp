namespace wf { int Placeholder_highscore() { return 0; } }

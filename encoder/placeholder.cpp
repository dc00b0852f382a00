namespace wf { int EncoderPlaceholder() { return 0; } }

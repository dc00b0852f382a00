#pragma once
// The whole server program but its main(): parses the command line, opens the
// database, listens and serves until SIGINT or SIGTERM.
namespace wf {

int RunServer(int argc, char** argv);

}  // namespace wf

#include "ServerMain.h"

int main(int argc, char** argv) {
    return wf::RunServer(argc, argv);
}

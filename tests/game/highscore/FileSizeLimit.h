#pragma once
// While alive, no file of this process can grow beyond `bytes`: the kernel
// refuses the write as on a full disk. Works for root as well, where
// directory permissions do not.
#include <sys/resource.h>

#include <csignal>

namespace wf::test {

struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes) : previous(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit limit{bytes, old.rlim_max};
        active = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, previous);
    }
    bool Active() const { return active; }

    void (*previous)(int);
    rlimit old{};
    bool active = false;
};

}  // namespace wf::test

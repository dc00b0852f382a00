#pragma once
// While alive, no file of this process can grow beyond `bytes`: the kernel
// refuses the write as on a full disk. Works for root as well, where
// directory permissions do not.
#include <sys/resource.h>

#include <csignal>

namespace wf::test {

class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, previous_);
    }
    bool Active() const { return active_; }

  private:
    rlimit old_{};
    void (*previous_)(int) = nullptr;
    bool active_ = false;
};

}  // namespace wf::test

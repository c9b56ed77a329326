// A FUSE file system that never answers, as a network share or a FUSE mount
// whose server has hung: mounted on the folder given, every look at it waits.
// Says "mounted" on its standard output once it is. On SIGTERM or SIGINT, and
// at the latest after the given seconds (a test that hung must not leave it
// behind), it lets go: closing the device aborts the connection, so that
// whatever waits gets an error, and the mount is detached. Needs root.
//
//   korvel_deadmount <mount point> [seconds, default 120]
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: korvel_deadmount <mount point> [seconds]\n");
        return 2;
    }
    const unsigned seconds = argc > 2 ? unsigned(std::strtoul(argv[2], nullptr, 10)) : 120;
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTERM);
    sigaddset(&stop, SIGINT);
    sigaddset(&stop, SIGALRM);
    sigprocmask(SIG_BLOCK, &stop, nullptr);

    const int fd = open("/dev/fuse", O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        std::perror("/dev/fuse");
        return 1;
    }
    // Nobody ever reads the device: the kernel's first request stays
    // unanswered, and every later one waits behind it.
    const std::string options = "fd=" + std::to_string(fd) + ",rootmode=40000,user_id=0,group_id=0";
    if (mount("korveldead", argv[1], "fuse.korveldead", MS_NOSUID | MS_NODEV, options.c_str()) != 0) {
        std::perror("mount");
        return 1;
    }
    std::printf("mounted\n");
    std::fflush(stdout);

    alarm(seconds);
    int signal = 0;
    sigwait(&stop, &signal);
    close(fd);
    umount2(argv[1], MNT_DETACH);
    return 0;
}

// RunWithoutRoot: runs a test body as an unprivileged user when the tests run as root, whom file
// permissions do not stop. POSIX only.
#pragma once

#include <gtest/gtest.h>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <iostream>
#include <system_error>

// As root: in a child process that hands folder (and, with bFilesToo, everything below it) to user
// "nobody" and drops to that user. Otherwise: here. True when the body ran without a failure.
inline bool RunWithoutRoot(const std::filesystem::path& folder, const std::function<void()>& body,
                           bool bFilesToo = false)
{
    if (::geteuid() != 0) {
        body();
        return !::testing::Test::HasFailure();
    }
    constexpr uid_t kNobody = 65534;
    std::error_code ec;
    if (bFilesToo) {
        for (auto it = std::filesystem::recursive_directory_iterator(folder, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
            if (::lchown(it->path().c_str(), kNobody, kNobody) != 0)
                return false;
        }
    }
    if (ec || ::chown(folder.c_str(), kNobody, kNobody) != 0)
        return false;
    std::cout.flush();
    const pid_t pid = ::fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            ::_exit(3);
        body();
        std::cout.flush();
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    return ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

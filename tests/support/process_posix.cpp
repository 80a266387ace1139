#include "process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

namespace vardane::test {
namespace {

[[noreturn]] void fail(int error, const std::string& what)
{
    throw std::system_error(error, std::generic_category(), what);
}

// A file without a name, for one of the child's standard streams: unlike a
// pipe it never fills up, however much the child writes before we read. The
// child shares its offset, so it is read and written here at stated offsets.
class Scratch {
public:
    Scratch()
    {
        std::string name = (std::filesystem::temp_directory_path() / "vardane-process-XXXXXX").string();
        fd_ = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd_ < 0) {
            fail(errno, "mkostemp " + name);
        }
        ::unlink(name.c_str());
    }
    ~Scratch() { ::close(fd_); }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    [[nodiscard]] int fd() const { return fd_; }
    void write(const std::string& bytes) const
    {
        for (std::size_t done = 0; done < bytes.size();) {
            const auto wrote =
                ::pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
            if (wrote < 0) {
                fail(errno, "pwrite");
            }
            done += static_cast<std::size_t>(wrote);
        }
    }
    [[nodiscard]] std::string read() const
    {
        std::string bytes;
        char buffer[65536];
        ssize_t got = 0;
        do {
            got = ::pread(fd_, buffer, sizeof buffer, static_cast<off_t>(bytes.size()));
            if (got < 0) {
                fail(errno, "pread");
            }
            bytes.append(buffer, static_cast<std::size_t>(got));
        } while (got > 0);
        return bytes;
    }

private:
    int fd_;
};

class FileActions {
public:
    FileActions() { ::posix_spawn_file_actions_init(&actions_); }
    ~FileActions() { ::posix_spawn_file_actions_destroy(&actions_); }
    FileActions(const FileActions&) = delete;
    FileActions& operator=(const FileActions&) = delete;

    void standardStream(int target, const Scratch& file)
    {
        ::posix_spawn_file_actions_adddup2(&actions_, file.fd(), target);
    }
    [[nodiscard]] const posix_spawn_file_actions_t* get() const { return &actions_; }

private:
    posix_spawn_file_actions_t actions_{};
};

// The char* list that exec wants, pointing into `words`, which outlive it.
std::vector<char*> pointers(std::vector<std::string>& words)
{
    std::vector<char*> list;
    for (std::string& word : words) {
        list.push_back(word.data());
    }
    list.push_back(nullptr);
    return list;
}

}  // namespace

Ran runProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
               const std::vector<std::string>& environment, const std::string& input)
{
    const Scratch in, out, err;
    in.write(input);
    FileActions actions;
    actions.standardStream(STDIN_FILENO, in);
    actions.standardStream(STDOUT_FILENO, out);
    actions.standardStream(STDERR_FILENO, err);

    std::vector<std::string> words{program.string()};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<std::string> variables = environment;
    pid_t child = 0;
    const int refused = ::posix_spawn(&child, program.c_str(), actions.get(), nullptr, pointers(words).data(),
                                      pointers(variables).data());
    if (refused != 0) {
        fail(refused, "posix_spawn " + program.string());
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            fail(errno, "waitpid");
        }
    }
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), out.read(), err.read()};
}

}  // namespace vardane::test
